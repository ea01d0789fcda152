#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <memory>

#include "app/instancelock.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "browse/cardcatalogue.h"
#include "core/appinfo.h"
#include "core/fonts.h"
#include "core/startup.h"
#include "session/context.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(tv::kAppTitle);
  tv::installFontSubstitutions();

  const tv::InstanceLock lock;
  tv::StartupOutcome outcome = tv::InitApplication(QApplication::applicationDirPath(), !lock.acquired());
  if (!outcome.ok()) {
    QMessageBox box(QMessageBox::Warning, tv::kAppTitle, outcome.error, QMessageBox::Ok);
    box.exec();
    return 1;
  }

  tv::AppContext ctx;
  ctx.gCardDb = std::move(outcome.gCardDb);
  std::unique_ptr<tv::Main> mainWindow;
  auto* splash = new tv::WindowOpen(outcome.labelText, [&] {
    mainWindow = std::make_unique<tv::Main>(ctx);
    mainWindow->show();
  });
  splash->show();
  // The start-up window stays two seconds whatever happens: time to make the
  // card catalogue once it is on screen.
  QTimer::singleShot(100, [&] {
    try {
      tv::prepareCardCatalogue(*ctx.gCardDb, ctx.gSortField);
    } catch (const tv::DbError&) {
      // The first search reports it.
    }
  });
  return QApplication::exec();
}

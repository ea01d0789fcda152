#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <memory>

#include "app/instancelock.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "browse/search.h"
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
  // The start-up window stays two seconds whatever happens: time to make
  // what the first search and the first keystroke would wait for, once the
  // window is on screen.
  QTimer::singleShot(100, [&] {
    try {
      tv::prepareSearches(ctx);
    } catch (const tv::DbError&) {
      // The name box reports it when it is used.
    }
  });
  return QApplication::exec();
}

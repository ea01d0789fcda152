#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <memory>

#include "app/cardupdatedialog.h"
#include "app/instancelock.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "browse/cardcatalogue.h"
#include "core/appinfo.h"
#include "core/fonts.h"
#include "core/startup.h"
#include "core/translations.h"
#include "session/context.h"

int main(int argc, char** argv) {
  // Past a file-size limit a write then fails and the save says so, instead
  // of the signal ending the program with the deck unsaved.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication app(argc, argv);
  QApplication::setApplicationName(tv::kAppTitle);
  tv::installFontSubstitutions();
  tv::installQtTranslations();

  const tv::InstanceLock lock;
  tv::StartupOutcome outcome = tv::InitApplication(QApplication::applicationDirPath(), !lock.acquired());
  // Installed and started for the first time: the card database is made
  // from the card data installed with the program.
  if (outcome.iniMissing && tv::offerCardDatabase(QApplication::applicationDirPath()))
    outcome = tv::InitApplication(QApplication::applicationDirPath(), false);
  if (!outcome.ok()) {
    QMessageBox box(QMessageBox::Warning, tv::kAppTitle, outcome.error, QMessageBox::Ok);
    box.exec();
    return 1;
  }

  tv::AppContext ctx;
  ctx.gCardDb = std::move(outcome.gCardDb);
  ctx.gDatabasePath = outcome.gDatabasePath;
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

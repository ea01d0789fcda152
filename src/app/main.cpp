#include <QApplication>
#include <QMessageBox>
#include <csignal>
#include <memory>

#include "app/cardupdatedialog.h"
#include "app/instancelock.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "browse/search.h"
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
  // The start-up window stays two seconds whatever happens. Once it is on
  // screen, the program makes what the main window, the first large search
  // and the first keystroke in the name box would otherwise wait for: the
  // main window is built and loaded hidden, and the tick only shows it.
  std::unique_ptr<tv::Main> mainWindow;
  bool building = false, ticked = false;
  auto* splash = new tv::WindowOpen(outcome.labelText, [&] {
    ticked = true;
    if (building) return;  // a message box of the load event is open: shown when it is done
    if (!mainWindow) mainWindow = std::make_unique<tv::Main>(ctx);
    mainWindow->show();
  });
  splash->afterShown([&] {
    building = true;
    try {
      tv::prepareSearches(ctx);
    } catch (const tv::DbError&) {
      // The name box reports it when it is used.
    }
    mainWindow = std::make_unique<tv::Main>(ctx);
    building = false;
    if (ticked) mainWindow->show();
  });
  splash->show();
  return QApplication::exec();
}

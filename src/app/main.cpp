#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <csignal>
#include <memory>

#include "app/cardupdatedialog.h"
#include "app/deckanalysistab.h"
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

  // `talviks FILE`: that deck once the window is up. A copy already running
  // is handed the file and comes to the front; without a file, a second
  // start is refused as always.
  const QStringList arguments = QApplication::arguments();
  const QString given = arguments.size() > 1 ? QFileInfo(arguments.at(1)).absoluteFilePath() : QString();
  const tv::InstanceLock lock;
  if (!lock.acquired() && !given.isEmpty() && tv::InstanceChannel::handOver(given)) return 0;
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
  // screen, the program makes what the main window, the first large search,
  // the first keystroke in the name box and the analysis would otherwise wait
  // for: the main window is built and loaded hidden, and the tick only shows it.
  std::unique_ptr<tv::Main> mainWindow;
  bool building = false, shown = false;
  QStringList files;  // to open once the main window is shown
  if (!given.isEmpty()) files << given;
  tv::InstanceChannel channel;
  channel.listen();
  QObject::connect(&channel, &tv::InstanceChannel::fileReceived, [&](const QString& file) {
    if (shown)
      mainWindow->takeHandedOverFile(file);
    else
      files << file;
  });
  const auto showMain = [&] {
    shown = true;
    mainWindow->show();
    for (const QString& file : files) mainWindow->openGivenFile(file);
  };
  bool ticked = false;
  auto* splash = new tv::WindowOpen(outcome.labelText, [&] {
    ticked = true;
    if (building) return;  // a message box of the load event is open: shown when it is done
    if (!mainWindow) mainWindow = std::make_unique<tv::Main>(ctx);
    showMain();
  });
  splash->afterShown([&] {
    if (mainWindow) return;  // the tick came first and showed it
    building = true;
    try {
      tv::prepareSearches(ctx);
      if (tv::DeckAnalysisTab::formatRemembered()) tv::cardFacts(ctx);
      ctx.gCardDb->releaseMemory(true);
    } catch (const tv::DbError&) {
      // The name box and the analysis report it when they are used.
    }
    mainWindow = std::make_unique<tv::Main>(ctx);
    building = false;
    if (ticked) showMain();
  });
  splash->show();
  return QApplication::exec();
}

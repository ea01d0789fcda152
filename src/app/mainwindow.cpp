#include "app/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "app/cardupdatedialog.h"
#include "app/controls.h"
#include "app/deckbuildtab.h"
#include "app/deckoutputtab.h"
#include "app/decktextdialogs.h"
#include "app/guarded.h"
#include "app/printing.h"
#include "app/tokentab.h"
#include "browse/windowdata.h"
#include "core/appinfo.h"
#include "deck/deckfile.h"
#include "output/htmldecklist.h"
#include "output/sheets.h"
#include "text/atomicfile.h"

namespace tv {

namespace {

// Where the tab widget will put its pages, asked of the style before the
// widget is first laid out (which happens only once it is shown).
QPoint tabPageOrigin(QTabWidget* tabs) {
  QStyleOptionTabWidgetFrame opt;
  opt.initFrom(tabs);
  opt.rect = tabs->rect();
  opt.lineWidth = tabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tabs);
  opt.shape = QTabBar::RoundedNorth;
  opt.tabBarSize = tabs->tabBar()->sizeHint();
  opt.tabBarRect = QRect(QPoint(0, 0), opt.tabBarSize);
  return tabs->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &opt, tabs).topLeft();
}

const QString kDeckFilter = QStringLiteral("すべてのファイル (*.*)|*.*|タルヴィクス ファイル (*.tvf)|*.tvf|");
constexpr int kDeckFilterIndex = 2;

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

}  // namespace

Main::Main(AppContext& ctx, QWidget* parent) : QMainWindow(parent, kWindowFlags), ctx_(ctx) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(kAppTitle);

  SSTab1 = named(new QTabWidget(this), "SSTab1");
  setCentralWidget(SSTab1);
  deckBuildTab_ = named(new DeckBuildTab(ctx_), "DeckBuildTab");
  deckOutputTab_ = named(new DeckOutputTab(ctx_), "DeckOutputTab");
  tokenTab_ = named(new TokenTab(ctx_), "TokenTab");
  SSTab1->addTab(deckBuildTab_, QStringLiteral("デッキ作成"));
  SSTab1->addTab(deckOutputTab_, QStringLiteral("デッキ出力編集"));
  SSTab1->addTab(tokenTab_, QStringLiteral("トークン出力編集"));
  SSTab1->setFixedSize(twips(9870), twips(7815));
  // 代理カード印刷 stands beside the tab row, above the page: on the tab
  // control itself, shown with its tab.
  auto* proxyPrint = deckBuildTab_->findChild<QPushButton*>(QStringLiteral("cmd_ProxyPrint"));
  proxyPrint->setParent(SSTab1);
  connect(SSTab1, &QTabWidget::currentChanged, proxyPrint,
          [proxyPrint](int tab) { proxyPrint->setVisible(tab == 0); });
  const QPoint origin = tabPageOrigin(SSTab1);
  for (QWidget* page : {static_cast<QWidget*>(deckBuildTab_), static_cast<QWidget*>(deckOutputTab_),
                        static_cast<QWidget*>(tokenTab_)})
    shiftToPage(page, origin);
  SSTab1->tabBar()->installEventFilter(this);
  connect(SSTab1, &QTabWidget::currentChanged, this, &Main::SSTab1_GotFocus);
  createMenus();
  CommonDialog1.setMessageBox([this](const MessageBoxRequest& request) { return messageBox_(request); });
  deckBuildTab_->setPrintUi(printUi(deckBuildTab_));
  tokenTab_->setPrintUi(printUi(tokenTab_));
  fitCaptions(this);
  // Ctrl+E must end the program from every control, also where a text field
  // would take the key for itself.
  qApp->installEventFilter(this);

  setFixedSize(SSTab1->width(), SSTab1->height() + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Form_Load();
}

void Main::createMenus() {
  auto item = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                     void (Main::*handler)()) {
    QAction* action = named(menu->addAction(caption), name);
    action->setShortcut(key);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  auto separator = [](QMenu* menu, const char* name) { return named(menu->addSeparator(), name); };

  M_Fail = named(menuBar()->addMenu(QStringLiteral("ファイル(&F)")), "M_Fail");
  M_Open =
      item(M_Fail, "M_Open", QStringLiteral("デッキを開く(&O)"), Qt::CTRL | Qt::Key_O, &Main::M_Open_Click);
  M_OpenText =
      item(M_Fail, "M_OpenText", QStringLiteral("テキストから読み込み(&T)..."), {}, &Main::M_OpenText_Click);
  M_Kubun1 = separator(M_Fail, "M_Kubun1");
  M_Save =
      item(M_Fail, "M_Save", QStringLiteral("デッキ保存(&S)"), Qt::CTRL | Qt::Key_S, &Main::M_Save_Click);
  M_SaveHtml = item(M_Fail, "M_SaveHtml", QStringLiteral("デッキHTML出力(&H)"), Qt::CTRL | Qt::Key_H,
                    &Main::M_SaveHtml_Click);
  M_SaveText =
      item(M_Fail, "M_SaveText", QStringLiteral("テキストで保存(&X)..."), {}, &Main::M_SaveText_Click);
  // After the deck commands, before 終了's separator: no existing item moves.
  M_Kubun3 = separator(M_Fail, "M_Kubun3");
  M_UpdateCards = item(M_Fail, "M_UpdateCards", QStringLiteral("カードデータの更新(&U)..."), {},
                       &Main::M_UpdateCards_Click);
  M_Kubun2 = separator(M_Fail, "M_Kubun2");
  M_Close = item(M_Fail, "M_Close", QStringLiteral("終了(&E)"), Qt::CTRL | Qt::Key_E, &Main::M_Close_Click);

  M_Print = named(menuBar()->addMenu(QStringLiteral("印刷(&P)")), "M_Print");
  M_PrintDec = item(M_Print, "M_PrintDec", QStringLiteral("デッキ印刷(&D)"), Qt::CTRL | Qt::Key_D,
                    &Main::M_PrintDec_Click);
  M_PrintProxy = item(M_Print, "M_PrintProxy", QStringLiteral("代理カード印刷(&P)"), Qt::CTRL | Qt::Key_P,
                      &Main::M_PrintProxy_Click);
  M_PrintToken = item(M_Print, "M_PrintToken", QStringLiteral("トークン印刷(&T)"), Qt::CTRL | Qt::Key_T,
                      &Main::M_PrintToken_Click);

  M_Help = named(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), "M_Help");
  M_Ver =
      item(M_Help, "M_Ver", QStringLiteral("バージョン情報(&V)"), Qt::CTRL | Qt::Key_V, &Main::M_Ver_Click);
}

void Main::Form_Load() {
  // The close command is gone with the window's close button (constructor);
  // closeEvent refuses the rest.
  guarded(this, [&] { emptyWorkingTables(*ctx_.gCardDb); });
  deckBuildTab_->load();
  tokenTab_->load();
}

void Main::M_Open_Click() {
  if (!mayDropDeck()) return;
  const std::optional<QString> path = CommonDialog1.showOpen(kDeckFilter, kDeckFilterIndex);
  if (!path) return;
  const DeckFileOutcome opened = OpenDeckFile(*ctx_.gCardDb, *path);
  if (!opened.ok) {
    messageBox(QMessageBox::Warning, opened.error);
    return;
  }
  deckOutputTab_->setPrintTitle(opened.deck.title);
  deckOutputTab_->setPrintComment(opened.deck.comment);
  deckBuildTab_->showReplacedDeck();
  deckTracker_.markSaved(
      {deckOutputTab_->printTitle(), deckOutputTab_->printComment(), opened.deck.main, opened.deck.side});
  focusTabControl();
}

void Main::focusTabControl() {
  // The tab control gains the focus anew, which rebuilds the preview; a
  // window without the focus gets no focus event, so then it is done here.
  previewRebuilt_ = false;
  deckBuildTab_->focusReload();
  SSTab1->setFocus();
  if (!previewRebuilt_) SSTab1_GotFocus();
}

void Main::M_OpenText_Click() {
  if (!mayDropDeck()) return;
  DeckTextImportDialog dialog(ctx_, CommonDialog1, messageBox_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  bool replaced = false;
  // The title and the comment stay: a deck list carries neither.
  guarded(this, [&] {
    replaceDeckTables(*ctx_.gCardDb, dialog.result().deck);
    replaced = true;
  });
  if (!replaced) return;
  deckBuildTab_->showReplacedDeck();
  focusTabControl();
}

void Main::M_SaveText_Click() {
  std::optional<QString> text;
  guarded(this, [&] { text = writeDeckText(readDeckTables(*ctx_.gCardDb), *cardNames(ctx_)); });
  if (!text) return;
  DeckTextExportDialog dialog(*text, CommonDialog1, messageBox_, this);
  dialog.exec();
}

void Main::M_Save_Click() { saveDeck(); }

bool Main::saveDeck() {
  const std::optional<QString> path = CommonDialog1.showSave(kDeckFilter, kDeckFilterIndex);
  if (!path) return false;
  const DeckFileOutcome saved =
      SaveDeckFile(*ctx_.gCardDb, *path, deckOutputTab_->printTitle(), deckOutputTab_->printComment());
  if (!saved.ok) {
    messageBox(QMessageBox::Warning, saved.error);
    return false;
  }
  deckTracker_.markSaved(saved.deck);
  return true;
}

Deck Main::currentDeck() {
  Deck deck = readDeckTables(*ctx_.gCardDb);
  deck.title = deckOutputTab_->printTitle();
  deck.comment = deckOutputTab_->printComment();
  return deck;
}

bool Main::mayDropDeck() {
  bool changed = true;  // a deck that cannot be read is asked about
  try {
    changed = deckTracker_.changed(currentDeck());
  } catch (const DbError&) {
  }
  if (!changed) return true;
  switch (messageBox(QMessageBox::Question, QStringLiteral("デッキが変更されています。保存しますか？"),
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return saveDeck();
    case QMessageBox::No:
      return true;
    default:
      return false;
  }
}

void Main::M_SaveHtml_Click() {
  const std::optional<QString> path = CommonDialog1.showSave(
      QStringLiteral("すべてのファイル (*.*)|*.*|Ｗｅｂ ファイル (*.html)|*.html|"), 2);
  if (!path) return;
  guarded(this, [&] {
    const QString page =
        HtmlDeckList(*ctx_.gCardDb, deckOutputTab_->htmlCardText()).page(deckOutputTab_->printTitle());
    QString error;
    if (!writeFileAtomically(*path, htmlFileBytes(page), &error))
      messageBox(QMessageBox::Warning, QStringLiteral("HTMLファイルを保存できませんでした。\r\n") + error);
  });
}

void Main::M_UpdateCards_Click() {
  QString done;
  std::unique_ptr<Database> db =
      updateCardDatabase(this, CardDataDialog, messageBox_, *ctx_.gCardDb, ctx_.gDatabasePath, &done);
  if (!db) return;
  // The deck came along in the new connection; the title, the comment and
  // what counts as saved stay as they are.
  ctx_.gCardDb = std::move(db);
  ctx_.gCardNames.reset();
  deckBuildTab_->load();
  tokenTab_->load();
  deckBuildTab_->showReplacedDeck();
  SSTab1_GotFocus();
  messageBox(QMessageBox::Information, done);
}

void Main::M_Close_Click() {
  if (!mayDropDeck()) return;
  // A failure is reported but never keeps the program open: there is no other way out.
  guarded(this, [&] { emptyWorkingTables(*ctx_.gCardDb); });
  closing_ = true;
  close();
}

void Main::M_PrintDec_Click() {
  const DeckPrintTexts texts{deckOutputTab_->printTitle(), deckOutputTab_->printComment(),
                             deckOutputTab_->printDeck(), versionText(),
                             QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)};
  runPrintJob(printUi(this), [&](PrintJob& job) { PrintDeckList(job, texts); });
}

void Main::M_PrintProxy_Click() { deckBuildTab_->cmd_ProxyPrint_Click(); }

void Main::M_PrintToken_Click() { tokenTab_->cmd_TPrint_Click(); }

void Main::M_Ver_Click() { messageBox(QMessageBox::NoIcon, versionMessageText()); }

QMessageBox::StandardButton Main::messageBox(QMessageBox::Icon icon, const QString& text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton) {
  return messageBox_({this, icon, text, buttons, defaultButton});
}

PrintUi Main::printUi(QWidget* parent) {
  // Both asked when used, so that a replaced message box or chooser counts.
  return {parent, [this](const MessageBoxRequest& request) { return messageBox_(request); },
          [this] { return CommonDialog1.showSave(kPdfFilter, 1); }};
}

void Main::SSTab1_GotFocus() {
  previewRebuilt_ = true;
  deckOutputTab_->RefreshPrintPreview();
}

void Main::closeEvent(QCloseEvent* event) {
  if (closing_)
    event->accept();
  else
    event->ignore();
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SSTab1->tabBar() && event->type() == QEvent::FocusIn) SSTab1_GotFocus();
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Ctrl+V stays paste where there is text to paste into.
    const auto* line = qobject_cast<QLineEdit*>(watched);
    const auto* text = qobject_cast<QPlainTextEdit*>(watched);
    const auto* combo = qobject_cast<QComboBox*>(watched);
    const bool editable =
        (line && !line->isReadOnly()) || (text && !text->isReadOnly()) || (combo && combo->isEditable());
    if (key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_E) ||
        (key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_V) && !editable)) {
      event->ignore();
      return true;  // not the control's: the menu's shortcut runs
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tv

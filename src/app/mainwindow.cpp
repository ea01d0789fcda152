#include "app/mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "app/cardupdatedialog.h"
#include "app/controls.h"
#include "app/deckanalysistab.h"
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

// The one local file a drop brings; empty for anything else.
QString droppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().constFirst();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

// "元に戻す: 追加 Lightning Bolt", an ampersand in a card name shown as itself.
QString stepCaption(const QString& verb, const QString& step) {
  return step.isEmpty() ? verb
                        : verb + QStringLiteral(": ") + QString(step).replace(u'&', QStringLiteral("&&"));
}

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
  CommonDialog1.setFolder(choices_.deckFolder());
  deckBuildTab_->setDeckChangeRunner(
      [this](DeckStep step, const std::function<void()>& change) { deckStep(step, change); });
  const OutputChoices output = choices_.output();
  deckOutputTab_->setOptions(output.print, output.htmlCardText);
  connect(deckOutputTab_, &DeckOutputTab::optionsChanged, this, [this] {
    choices_.setOutput({deckOutputTab_->printOptions(), deckOutputTab_->htmlCardText()});
  });
  rememberSearchTimer_.setSingleShot(true);
  rememberSearchTimer_.setInterval(300);
  connect(&rememberSearchTimer_, &QTimer::timeout, this, &Main::rememberSearch);
  connect(deckBuildTab_, &DeckBuildTab::searchChoicesChanged, this, [this] {
    if (!loadingLists_) rememberSearchTimer_.start();
  });
  pendingTimer_.setSingleShot(true);
  connect(&pendingTimer_, &QTimer::timeout, this, &Main::openPendingFile);
  // A file dropped anywhere on the window, a text field included.
  setAcceptDrops(true);
  deckBuildTab_->setPrintUi(printUi(deckBuildTab_));
  tokenTab_->setPrintUi(printUi(tokenTab_));
  fitCaptions(this);
  // Laid out by Qt's layouts, so after the captions of the placed controls
  // were fitted to their given sizes.
  analysisTab_ = named(new DeckAnalysisTab(ctx_), "DeckAnalysisTab");
  SSTab1->addTab(analysisTab_, QStringLiteral("デッキ分析"));
  analysisTab_->setFileUi(&CommonDialog1,
                          [this](const MessageBoxRequest& request) { return messageBox_(request); });
  connect(deckBuildTab_, &DeckBuildTab::deckListChanged, analysisTab_, &DeckAnalysisTab::deckChanged);
  connect(analysisTab_, &DeckAnalysisTab::problemLinesChanged, deckBuildTab_,
          &DeckBuildTab::showProblemLines);
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
  // The other ways to a deck follow the open commands, so that デッキを開く
  // stays first and the separator under them stays where it was.
  M_New = item(M_Fail, "M_New", QStringLiteral("新規作成"), Qt::CTRL | Qt::Key_N, &Main::M_New_Click);
  M_Recent = named(M_Fail->addMenu(QStringLiteral("最近使ったデッキ")), "M_Recent");
  M_Recent->setAccessibleName(QStringLiteral("最近使ったデッキ"));
  M_Recent->menuAction()->setObjectName(QStringLiteral("M_Recent"));
  M_Kubun1 = separator(M_Fail, "M_Kubun1");
  M_Save =
      item(M_Fail, "M_Save", QStringLiteral("デッキ保存(&S)"), Qt::CTRL | Qt::Key_S, &Main::M_Save_Click);
  M_SaveHtml = item(M_Fail, "M_SaveHtml", QStringLiteral("デッキHTML出力(&H)"), Qt::CTRL | Qt::Key_H,
                    &Main::M_SaveHtml_Click);
  M_SaveText =
      item(M_Fail, "M_SaveText", QStringLiteral("テキストで保存(&X)..."), {}, &Main::M_SaveText_Click);
  // After the save commands: デッキ保存 and デッキHTML出力 stay side by side.
  M_SaveAs = item(M_Fail, "M_SaveAs", QStringLiteral("名前を付けて保存"), Qt::CTRL | Qt::SHIFT | Qt::Key_S,
                  &Main::M_SaveAs_Click);
  // After the deck commands, before 終了's separator: no existing item moves.
  M_Kubun3 = separator(M_Fail, "M_Kubun3");
  M_UpdateCards = item(M_Fail, "M_UpdateCards", QStringLiteral("カードデータの更新(&U)..."), {},
                       &Main::M_UpdateCards_Click);
  M_Kubun2 = separator(M_Fail, "M_Kubun2");
  M_Close = item(M_Fail, "M_Close", QStringLiteral("終了(&E)"), Qt::CTRL | Qt::Key_E, &Main::M_Close_Click);

  // Between ファイル and 印刷, where editing menus stand.
  M_Edit = named(menuBar()->addMenu(QStringLiteral("編集(&E)")), "M_Edit");
  M_Edit->setAccessibleName(QStringLiteral("編集"));
  M_Undo = item(M_Edit, "M_Undo", QStringLiteral("元に戻す"), Qt::CTRL | Qt::Key_Z, &Main::M_Undo_Click);
  M_Redo = item(M_Edit, "M_Redo", QStringLiteral("やり直し"), Qt::CTRL | Qt::Key_Y, &Main::M_Redo_Click);
  updateEditMenu();
  updateRecentMenu();

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
  analysisTab_->load();
  loadSearchLists();
  tokenTab_->load();
}

void Main::loadSearchLists() {
  loadingLists_ = true;
  expansionCodes_.clear();
  guarded(this, [&] { expansionCodes_ = readExpansionCodes(*ctx_.gCardDb); });
  deckBuildTab_->load(choices_.search());
  loadingLists_ = false;
}

void Main::rememberSearch() {
  rememberSearchTimer_.stop();
  const SearchFilter filter = deckBuildTab_->searchFilter();
  SearchChoices chosen{filter.sortField, {}};
  for (int line : filter.selectedSets)
    if (line < expansionCodes_.size()) chosen.expansionCodes << expansionCodes_[line];
  choices_.setSearch(chosen);
}

void Main::M_Open_Click() {
  if (!mayDropDeck()) return;
  const std::optional<QString> path = CommonDialog1.showOpen(kDeckFilter, kDeckFilterIndex);
  if (path) openDeckFile(*path);
}

bool Main::openDeckFile(const QString& path) {
  bool opened = false;
  deckStep(
      DeckStep::Open,
      [&] {
        const DeckFileOutcome o = OpenDeckFile(*ctx_.gCardDb, path);
        if (!o.ok) {
          messageBox(QMessageBox::Warning, o.error);
          return;
        }
        deckOutputTab_->setPrintTitle(o.deck.title);
        deckOutputTab_->setPrintComment(o.deck.comment);
        deckBuildTab_->showReplacedDeck();
        deckTracker_.markSaved(
            {deckOutputTab_->printTitle(), deckOutputTab_->printComment(), o.deck.main, o.deck.side});
        focusTabControl();
        opened = true;
      },
      QFileInfo(path).fileName());
  if (opened) usedDeckFile(path);
  return opened;
}

void Main::openRecentDeck(const QString& path) {
  if (!QFileInfo::exists(path)) {
    choices_.forgetDeckFile(path);
    updateRecentMenu();
    messageBox(QMessageBox::Warning,
               QStringLiteral("「%1」が見つかりません。\r\n最近使ったデッキの一覧から外しました。")
                   .arg(QFileInfo(path).fileName()));
    return;
  }
  if (mayDropDeck()) openDeckFile(path);
}

void Main::openGivenFile(const QString& path) {
  pendingFiles_ << path;
  pendingTimer_.start(0);
}

void Main::takeHandedOverFile(const QString& path) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  openGivenFile(path);
}

void Main::openPendingFile() {
  if (pendingFiles_.isEmpty()) return;
  // Not in the middle of another question, dialog or menu: after it.
  if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
    pendingTimer_.start(250);
    return;
  }
  const QString path = pendingFiles_.takeFirst();
  if (!pendingFiles_.isEmpty()) pendingTimer_.start(0);
  if (!mayDropDeck()) return;
  if (isDeckFile(path))
    openDeckFile(path);
  else
    importDeckText(path);
}

void Main::usedDeckFile(const QString& path) {
  deckFile_ = QFileInfo(path).absoluteFilePath();
  choices_.useDeckFile(deckFile_);
  updateRecentMenu();
}

void Main::updateRecentMenu() {
  // The action being triggered may be one of them: each goes once it has done.
  for (QAction* old : M_Recent->actions()) {
    M_Recent->removeAction(old);
    old->setObjectName({});
    old->deleteLater();
  }
  const QStringList paths = choices_.recentDecks();
  for (int i = 0; i < paths.size(); ++i) {
    const QString shown = M_Recent->fontMetrics().elidedText(paths[i], Qt::ElideMiddle, 480);
    QAction* action = M_Recent->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace(u'&', QStringLiteral("&&"))));
    action->setObjectName(QStringLiteral("M_Recent%1").arg(i + 1));
    action->setToolTip(paths[i]);
    connect(action, &QAction::triggered, this, [this, path = paths[i]] { openRecentDeck(path); });
  }
  M_Recent->setEnabled(!paths.isEmpty());
}

void Main::deckStep(DeckStep step, const std::function<void()>& change, const QString& fileName) {
  const bool text = step == DeckStep::Open || step == DeckStep::New;
  std::optional<DeckMoment> before;
  try {
    before = deckMoment(text);
  } catch (const DbError&) {
  }
  change();
  // A deck that could not be read is a deck the history no longer describes.
  bool described = false;
  if (before) {
    try {
      history_.record(step, *before, deckMoment(text), fileName);
      described = true;
    } catch (const DbError&) {
    }
  }
  if (!described) history_.clear();
  updateEditMenu();
}

DeckMoment Main::deckMoment(bool withText) {
  const std::array<int, 2> lines = deckBuildTab_->selectedDeckLines();
  std::optional<DeckText> text;
  if (withText) text = DeckText{deckOutputTab_->printTitle(), deckOutputTab_->printComment()};
  return readDeckMoment(*ctx_.gCardDb, ctx_.gSortField, lines[0], lines[1], text);
}

void Main::M_Undo_Click() {
  std::optional<DeckRestored> restored;
  guarded(this, [&] { restored = history_.undo(*ctx_.gCardDb, ctx_.gSortField); });
  showRestored(restored);
}

void Main::M_Redo_Click() {
  std::optional<DeckRestored> restored;
  guarded(this, [&] { restored = history_.redo(*ctx_.gCardDb, ctx_.gSortField); });
  showRestored(restored);
}

void Main::showRestored(const std::optional<DeckRestored>& restored) {
  if (restored) {
    if (restored->text) {
      deckOutputTab_->setPrintTitle(restored->text->title);
      deckOutputTab_->setPrintComment(restored->text->comment);
    }
    deckBuildTab_->showDeck(restored->main, restored->side);
    SSTab1_GotFocus();  // the preview follows, as after opening a deck
  }
  updateEditMenu();
}

void Main::updateEditMenu() {
  M_Undo->setText(stepCaption(QStringLiteral("元に戻す"), history_.undoName()));
  M_Undo->setEnabled(history_.canUndo());
  M_Redo->setText(stepCaption(QStringLiteral("やり直し"), history_.redoName()));
  M_Redo->setEnabled(history_.canRedo());
}

void Main::M_New_Click() {
  if (!mayDropDeck()) return;
  deckStep(DeckStep::New, [&] {
    bool emptied = false;
    guarded(this, [&] {
      replaceDeckTables(*ctx_.gCardDb, {});
      emptied = true;
    });
    if (!emptied) return;
    deckOutputTab_->setPrintTitle({});
    deckOutputTab_->setPrintComment({});
    deckBuildTab_->showReplacedDeck();
    deckTracker_.markSaved({});
    deckFile_.clear();
    focusTabControl();
  });
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
  if (mayDropDeck()) importDeckText(std::nullopt);
}

void Main::importDeckText(const std::optional<QString>& file) {
  DeckTextImportDialog dialog(ctx_, CommonDialog1, messageBox_, this);
  if (file && !dialog.readFile(*file)) return;
  if (dialog.exec() != QDialog::Accepted) return;
  deckStep(DeckStep::ImportText, [&] {
    bool replaced = false;
    // The title and the comment stay: a deck list carries neither.
    guarded(this, [&] {
      replaceDeckTables(*ctx_.gCardDb, dialog.result().deck);
      replaced = true;
    });
    if (!replaced) return;
    deckFile_.clear();
    deckBuildTab_->showReplacedDeck();
    focusTabControl();
  });
}

void Main::M_SaveText_Click() {
  std::optional<QString> text;
  guarded(this, [&] { text = writeDeckText(readDeckTables(*ctx_.gCardDb), *cardNames(ctx_)); });
  if (!text) return;
  DeckTextExportDialog dialog(*text, CommonDialog1, messageBox_, this);
  dialog.exec();
}

void Main::M_Save_Click() { saveDeck(); }

void Main::M_SaveAs_Click() { saveDeck(deckFile_.isEmpty() ? choices_.deckFolder() : deckFile_); }

bool Main::saveDeck(const QString& offered) {
  const std::optional<QString> path = offered.isEmpty()
                                          ? CommonDialog1.showSave(kDeckFilter, kDeckFilterIndex)
                                          : CommonDialog1.showSave(kDeckFilter, kDeckFilterIndex, offered);
  if (!path) return false;
  const DeckFileOutcome saved =
      SaveDeckFile(*ctx_.gCardDb, *path, deckOutputTab_->printTitle(), deckOutputTab_->printComment());
  if (!saved.ok) {
    messageBox(QMessageBox::Warning, saved.error);
    return false;
  }
  deckTracker_.markSaved(saved.deck);
  usedDeckFile(*path);
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
  // The expansions chosen are kept by code, so that the new card data selects them again.
  if (rememberSearchTimer_.isActive()) rememberSearch();
  // The carried deck takes the new card values: one more step to undo.
  deckStep(DeckStep::CardDataUpdate, [&] {
    std::unique_ptr<Database> db =
        updateCardDatabase(this, CardDataDialog, messageBox_, *ctx_.gCardDb, ctx_.gDatabasePath, &done);
    if (!db) return;
    // The deck came along in the new connection; the title, the comment and
    // what counts as saved stay as they are.
    ctx_.gCardDb = std::move(db);
    ctx_.gCardNames.reset();
    ctx_.gCardFacts.reset();
    analysisTab_->load();
    loadSearchLists();
    tokenTab_->load();
    deckBuildTab_->showReplacedDeck();
    SSTab1_GotFocus();
  });
  if (!done.isEmpty()) messageBox(QMessageBox::Information, done);
}

void Main::M_Close_Click() {
  if (rememberSearchTimer_.isActive()) rememberSearch();
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
  const QEvent::Type type = event->type();
  const bool drop = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
  const bool key = type == QEvent::ShortcutOverride || type == QEvent::KeyPress;
  if ((!drop && !key) || !watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
    return QMainWindow::eventFilter(watched, event);
  if (drop) {
    auto* dropped = static_cast<QDropEvent*>(event);
    const QString file = droppedFile(dropped->mimeData());
    if (file.isEmpty()) return QMainWindow::eventFilter(watched, event);
    dropped->setDropAction(Qt::CopyAction);
    dropped->accept();
    // Opened once the drop is over: the program that dragged waits for it.
    if (type == QEvent::Drop) openGivenFile(file);
    return true;
  }
  const QKeyCombination keys = static_cast<QKeyEvent*>(event)->keyCombination();
  // Ctrl+V stays paste where there is text to paste into.
  auto* line = qobject_cast<QLineEdit*>(watched);
  auto* text = qobject_cast<QPlainTextEdit*>(watched);
  const auto* combo = qobject_cast<QComboBox*>(watched);
  const bool editable =
      (line && !line->isReadOnly()) || (text && !text->isReadOnly()) || (combo && combo->isEditable());
  if (type == QEvent::ShortcutOverride && (keys == QKeyCombination(Qt::CTRL, Qt::Key_E) ||
                                           (keys == QKeyCombination(Qt::CTRL, Qt::Key_V) && !editable))) {
    event->ignore();
    return true;  // not the control's: the menu's shortcut runs
  }
  // A text field keeps Ctrl+Z and Ctrl+Y for its own text (Ctrl+Y as its
  // redo on every platform); elsewhere they undo and redo the deck.
  if (keys == QKeyCombination(Qt::CTRL, Qt::Key_Y) && editable && (line || text)) {
    if (type == QEvent::ShortcutOverride) {
      event->accept();
    } else {
      line ? line->redo() : text->redo();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace tv

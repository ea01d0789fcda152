#include "app/mainwindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include "app/core/appinfo.h"
#include "app/twips.h"
#include "browse/cardtext.h"
#include "browse/windowdata.h"

namespace tv {

namespace {

// Positions are twips from the tab control's corner, the tab row included;
// a page starts below the tab row, at `origin`.
struct Place {
  QPoint origin;
  void operator()(QWidget* w, int left, int top, int width, int height) const {
    w->setGeometry(twips(left) - origin.x(), twips(top) - origin.y(), twips(width), twips(height));
  }
};

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

template <typename W>
W* named(W* w, const char* name) {
  w->setObjectName(QLatin1StringView(name));
  return w;
}

ListBox* newList(QWidget* parent, const char* name) { return named(new ListBox(parent), name); }

QCheckBox* newCheck(QWidget* parent, const char* name, const QString& caption, bool checked) {
  auto* box = named(new QCheckBox(caption, parent), name);
  box->setChecked(checked);
  return box;
}

QPlainTextEdit* newTextBox(QWidget* parent, const char* name, const QFont* font) {
  auto* box = named(new QPlainTextEdit(parent), name);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  if (font) box->setFont(*font);
  return box;
}

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;

}  // namespace

Main::Main(AppContext& ctx, QWidget* parent) : QMainWindow(parent, kWindowFlags), ctx_(ctx) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(kAppTitle);

  SSTab1 = named(new QTabWidget(this), "SSTab1");
  setCentralWidget(SSTab1);
  QWidget* pages[3];
  const QString titles[3] = {QStringLiteral("デッキ作成"), QStringLiteral("デッキ出力編集"),
                             QStringLiteral("トークン出力編集")};
  for (int i = 0; i < 3; ++i) {
    pages[i] = new QWidget;
    pages[i]->setObjectName(QStringLiteral("SSTab1_Tab%1").arg(i));
    SSTab1->addTab(pages[i], titles[i]);
  }
  SSTab1->setFixedSize(twips(9870), twips(7815));
  const QPoint top = tabPageOrigin(SSTab1);
  createDeckTab(pages[0], top);
  createOutputTab(pages[1], top);
  createTokenTab(pages[2], top);
  createMenus();

  setFixedSize(SSTab1->width(), SSTab1->height() + menuBar()->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Form_Load();
}

void Main::createDeckTab(QWidget* page, QPoint top) {
  const Place place{top};
  const Place inFrame{};

  Frame1 = named(new QGroupBox(QStringLiteral("エキスパンション"), page), "Frame1");
  place(Frame1, 120, 480, 2055, 1335);
  lst_CardSet = newList(Frame1, "lst_CardSet");
  lst_CardSet->setSelectionMode(QAbstractItemView::ExtendedSelection);
  inFrame(lst_CardSet, 120, 240, 1815, 960);

  fra_Color = named(new QGroupBox(QStringLiteral("色"), page), "fra_Color");
  place(fra_Color, 120, 1800, 2055, 1335);
  chk_W = newCheck(fra_Color, "chk_W", QStringLiteral("白"), true);
  chk_U = newCheck(fra_Color, "chk_U", QStringLiteral("青"), true);
  chk_B = newCheck(fra_Color, "chk_B", QStringLiteral("黒"), true);
  chk_M = newCheck(fra_Color, "chk_M", QStringLiteral("マルチ"), true);
  chk_R = newCheck(fra_Color, "chk_R", QStringLiteral("赤"), true);
  chk_G = newCheck(fra_Color, "chk_G", QStringLiteral("緑"), true);
  chk_N = newCheck(fra_Color, "chk_N", QStringLiteral("無色"), true);
  int row = 0;
  for (QCheckBox* box : {chk_W, chk_U, chk_B, chk_M}) inFrame(box, 240, 240 + 255 * row++, 795, 255);
  row = 0;
  for (QCheckBox* box : {chk_R, chk_G, chk_N}) inFrame(box, 1080, 240 + 255 * row++, 855, 255);

  fra_CardType = named(new QGroupBox(QStringLiteral("タイプ"), page), "fra_CardType");
  place(fra_CardType, 120, 3120, 2055, 1815);
  chk_Land = newCheck(fra_CardType, "chk_Land", QStringLiteral("土地"), true);
  chk_Instant = newCheck(fra_CardType, "chk_Instant", QStringLiteral("インスタント"), true);
  chk_Sorcery = newCheck(fra_CardType, "chk_Sorcery", QStringLiteral("ソーサリー"), true);
  chk_Enchantment = newCheck(fra_CardType, "chk_Enchantment", QStringLiteral("エンチャント"), true);
  chk_Artifact = newCheck(fra_CardType, "chk_Artifact", QStringLiteral("アーティファクト"), true);
  chk_Creature = newCheck(fra_CardType, "chk_Creature", QStringLiteral("クリーチャー"), true);
  row = 0;
  for (QCheckBox* box : {chk_Land, chk_Instant, chk_Sorcery, chk_Enchantment, chk_Artifact, chk_Creature})
    inFrame(box, 240, 240 + 255 * row++, 1755, 255);

  fra_CType = named(new QGroupBox(QStringLiteral("種族"), page), "fra_CType");
  place(fra_CType, 120, 4920, 2055, 735);
  chk_CType = newCheck(fra_CType, "chk_CType", QString(), false);
  inFrame(chk_CType, 120, 240, 255, 300);
  cmb_CType = named(new QComboBox(fra_CType), "cmb_CType");
  cmb_CType->setEditable(true);
  cmb_CType->setInsertPolicy(QComboBox::NoInsert);
  inFrame(cmb_CType, 420, 240, 1515, 360);

  fra_Sort = named(new QGroupBox(QStringLiteral("ソート"), page), "fra_Sort");
  place(fra_Sort, 120, 5640, 2055, 1575);
  opt_NameE = named(new QRadioButton(QStringLiteral("英語名"), fra_Sort), "opt_NameE");
  opt_NameN = named(new QRadioButton(QStringLiteral("日本語名"), fra_Sort), "opt_NameN");
  opt_Cost = named(new QRadioButton(QStringLiteral("コスト"), fra_Sort), "opt_Cost");
  opt_Attack = named(new QRadioButton(QStringLiteral("パワー"), fra_Sort), "opt_Attack");
  opt_Defence = named(new QRadioButton(QStringLiteral("タフネス"), fra_Sort), "opt_Defence");
  row = 0;
  for (QRadioButton* option : {opt_NameE, opt_NameN, opt_Cost, opt_Attack, opt_Defence})
    inFrame(option, 240, 240 + 255 * row++, 1695, 255);
  opt_NameE->setChecked(true);

  cmd_reload = named(new QPushButton(QStringLiteral("再検索"), page), "cmd_reload");
  place(cmd_reload, 120, 7320, 2055, 375);

  Label1 = named(new QLabel(QStringLiteral("カード内容"), page), "Label1");
  place(Label1, 2280, 480, 1575, 255);
  const QFont detailFont(QStringLiteral("ＭＳ Ｐゴシック"), 12);
  txt_CardText = newTextBox(page, "txt_CardText", &detailFont);
  place(txt_CardText, 2280, 720, 7455, 2775);

  cmd_ProxyPrint = named(new QPushButton(QStringLiteral("代理カード印刷"), page), "cmd_ProxyPrint");
  place(cmd_ProxyPrint, 8040, 360, 1455, 375);

  Label2 = named(new QLabel(QStringLiteral("カードリスト"), page), "Label2");
  place(Label2, 2280, 3600, 1575, 255);
  lst_CardList = newList(page, "lst_CardList");
  place(lst_CardList, 2280, 3840, 3135, 3840);

  cmd_AddMain = named(new QPushButton(QStringLiteral("→追加"), page), "cmd_AddMain");
  place(cmd_AddMain, 5520, 4200, 975, 375);
  cmd_DellMain = named(new QPushButton(QStringLiteral("←削除"), page), "cmd_DellMain");
  place(cmd_DellMain, 5520, 4680, 975, 375);

  Label3 = named(new QLabel(QStringLiteral("デッキリスト"), page), "Label3");
  place(Label3, 6600, 3600, 1575, 255);
  lbl_Main = named(new QLabel(QStringLiteral("-メイン- 0枚"), page), "lbl_Main");
  place(lbl_Main, 5400, 3960, 1095, 255);
  lst_DecList = newList(page, "lst_DecList");
  place(lst_DecList, 6600, 3840, 3135, 1860);

  cmd_MoveSide = named(new QPushButton(QStringLiteral("↓"), page), "cmd_MoveSide");
  place(cmd_MoveSide, 7680, 5780, 375, 375);
  cmd_MoveMain = named(new QPushButton(QStringLiteral("↑"), page), "cmd_MoveMain");
  place(cmd_MoveMain, 8160, 5780, 375, 375);

  lbl_Side = named(new QLabel(QStringLiteral("-サイド- 0枚"), page), "lbl_Side");
  place(lbl_Side, 5400, 6240, 1095, 255);
  lst_DecSideList = newList(page, "lst_DecSideList");
  place(lst_DecSideList, 6600, 6240, 3135, 1320);

  cmd_AddSide = named(new QPushButton(QStringLiteral("→追加"), page), "cmd_AddSide");
  place(cmd_AddSide, 5520, 6480, 975, 375);
  cmd_DellSide = named(new QPushButton(QStringLiteral("←削除"), page), "cmd_DellSide");
  place(cmd_DellSide, 5520, 6960, 975, 375);

  connect(cmd_reload, &QPushButton::clicked, this, &Main::cmd_reload_Click);
  fra_Color->installEventFilter(this);
  fra_CardType->installEventFilter(this);
  connect(cmd_AddMain, &QPushButton::clicked, this, &Main::cmd_AddMain_Click);
  connect(cmd_AddSide, &QPushButton::clicked, this, &Main::cmd_AddSide_Click);
  connect(cmd_DellMain, &QPushButton::clicked, this, &Main::cmd_DellMain_Click);
  connect(cmd_DellSide, &QPushButton::clicked, this, &Main::cmd_DellSide_Click);
  connect(cmd_MoveMain, &QPushButton::clicked, this, &Main::cmd_MoveMain_Click);
  connect(cmd_MoveSide, &QPushButton::clicked, this, &Main::cmd_MoveSide_Click);
  connectCardClicks(lst_CardList, &Main::lst_CardList_Click);
  connectCardClicks(lst_DecList, &Main::lst_DecList_Click);
  connectCardClicks(lst_DecSideList, &Main::lst_DecSideList_Click);
}

void Main::createOutputTab(QWidget* page, QPoint top) {
  const Place place{top};
  lbl_PrintOption = named(new QLabel(QStringLiteral("印刷出力ｵﾌﾟｼｮﾝ"), page), "lbl_PrintOption");
  place(lbl_PrintOption, 120, 480, 2055, 255);
  chk_NameE = newCheck(page, "chk_NameE", QStringLiteral("英語名"), true);
  chk_NameN = newCheck(page, "chk_NameN", QStringLiteral("日本語名"), true);
  chk_Cost = newCheck(page, "chk_Cost", QStringLiteral("コスト"), true);
  chk_Rare = newCheck(page, "chk_Rare", QStringLiteral("レアリティ"), true);
  chk_CardSetEx = newCheck(page, "chk_CardSetEx", QStringLiteral("ｴｷｽﾊﾟﾝｼｮﾝ"), true);
  chk_Space = newCheck(page, "chk_Space", QStringLiteral("空白"), true);
  chk_ManaCurve = newCheck(page, "chk_ManaCurve", QStringLiteral("マナカーブ"), true);
  chk_Side = newCheck(page, "chk_Side", QStringLiteral("サイド"), true);
  int left = 240;
  for (QCheckBox* box :
       {chk_NameE, chk_NameN, chk_Cost, chk_Rare, chk_CardSetEx, chk_Side, chk_Space, chk_ManaCurve}) {
    place(box, left, 720, 1035, 255);
    left += 1080;
  }

  Label6 = named(new QLabel(QStringLiteral("HTML出力ｵﾌﾟｼｮﾝ"), page), "Label6");
  place(Label6, 120, 1080, 2055, 255);
  chk_HCardText = newCheck(page, "chk_HCardText", QStringLiteral("ｶｰﾄﾞﾃｷｽﾄ"), false);
  place(chk_HCardText, 240, 1320, 1455, 255);

  lbl_Title = named(new QLabel(QStringLiteral("タイトル："), page), "lbl_Title");
  place(lbl_Title, 120, 1860, 855, 255);
  txt_PrintTitle = named(new QLineEdit(page), "txt_PrintTitle");
  place(txt_PrintTitle, 960, 1800, 8775, 375);

  lbl_Comment = named(new QLabel(QStringLiteral("コメント"), page), "lbl_Comment");
  place(lbl_Comment, 120, 2160, 1575, 255);
  txt_PrintComment = named(new QPlainTextEdit(page), "txt_PrintComment");
  place(txt_PrintComment, 120, 2400, 9615, 615);

  lbl_Dec = named(new QLabel(QStringLiteral("デッキリスト"), page), "lbl_Dec");
  place(lbl_Dec, 120, 3120, 1575, 255);
  const QFont printFont(QStringLiteral("ＭＳ ゴシック"), 9);
  txt_PrintDec = newTextBox(page, "txt_PrintDec", &printFont);
  txt_PrintDec->setLineWrapMode(QPlainTextEdit::NoWrap);
  place(txt_PrintDec, 120, 3360, 9615, 4335);
}

void Main::createTokenTab(QWidget* page, QPoint top) {
  const Place place{top};
  Label5 = named(new QLabel(QStringLiteral("トークンリスト"), page), "Label5");
  place(Label5, 360, 480, 1575, 255);
  lst_TokenList = newList(page, "lst_TokenList");
  place(lst_TokenList, 360, 720, 3135, 2580);
  Label4 = named(new QLabel(QStringLiteral("トークン内容"), page), "Label4");
  place(Label4, 3840, 480, 1575, 255);
  txt_TokenText = newTextBox(page, "txt_TokenText", nullptr);
  place(txt_TokenText, 3840, 720, 2895, 2580);
  cmd_TPrint = named(new QPushButton(QStringLiteral("印刷(&P)"), page), "cmd_TPrint");
  place(cmd_TPrint, 5520, 3600, 1215, 375);
}

void Main::createMenus() {
  auto item = [this](QMenu* menu, const char* name, const QString& caption, QKeyCombination key) {
    QAction* action = named(menu->addAction(caption), name);
    action->setShortcut(QKeySequence(key));
    return action;
  };
  auto separator = [](QMenu* menu, const char* name) { return named(menu->addSeparator(), name); };

  M_Fail = named(menuBar()->addMenu(QStringLiteral("ファイル(&F)")), "M_Fail");
  M_Open = item(M_Fail, "M_Open", QStringLiteral("デッキを開く(&O)"), Qt::CTRL | Qt::Key_O);
  M_Kubun1 = separator(M_Fail, "M_Kubun1");
  M_Save = item(M_Fail, "M_Save", QStringLiteral("デッキ保存(&S)"), Qt::CTRL | Qt::Key_S);
  M_SaveHtml = item(M_Fail, "M_SaveHtml", QStringLiteral("デッキHTML出力(&H)"), Qt::CTRL | Qt::Key_H);
  M_Kubun2 = separator(M_Fail, "M_Kubun2");
  M_Close = item(M_Fail, "M_Close", QStringLiteral("終了(&E)"), Qt::CTRL | Qt::Key_E);

  M_Print = named(menuBar()->addMenu(QStringLiteral("印刷(&P)")), "M_Print");
  M_PrintDec = item(M_Print, "M_PrintDec", QStringLiteral("デッキ印刷(&D)"), Qt::CTRL | Qt::Key_D);
  M_PrintProxy = item(M_Print, "M_PrintProxy", QStringLiteral("代理カード印刷(&P)"), Qt::CTRL | Qt::Key_P);
  M_PrintToken = item(M_Print, "M_PrintToken", QStringLiteral("トークン印刷(&T)"), Qt::CTRL | Qt::Key_T);

  M_Help = named(menuBar()->addMenu(QStringLiteral("ヘルプ(&H)")), "M_Help");
  M_Ver = item(M_Help, "M_Ver", QStringLiteral("バージョン情報(&V)"), Qt::CTRL | Qt::Key_V);

  connect(M_Close, &QAction::triggered, this, &Main::M_Close_Click);
  connect(M_Ver, &QAction::triggered, this, &Main::M_Ver_Click);
}

template <typename F>
void Main::guarded(F&& step) {
  try {
    step();
  } catch (const DbError& e) {
    QMessageBox box(QMessageBox::Warning, kAppTitle, e.message(), QMessageBox::Ok, this);
    box.exec();
  }
}

void Main::Form_Load() {
  // The close command is gone with the window's close button (constructor);
  // closeEvent refuses the rest.
  guarded([&] { emptyWorkingTables(*ctx_.gCardDb); });
  guarded([&] {
    lst_CardSet->clear();
    lst_CardSet->addItems(readExpansionNames(*ctx_.gCardDb));
    if (lst_CardSet->count() > 0) lst_CardSet->setCurrentRow(0);
  });
  guarded([&] {
    cmb_CType->clear();
    cmb_CType->addItems(readCreatureTypes(*ctx_.gCardDb));
    if (cmb_CType->count() > 0) cmb_CType->setCurrentIndex(0);
  });
  setCardTextBackground(kVersionBackground);
  txt_CardText->setPlainText(versionCardText());
  ctx_.gCurrentCard.NameE.clear();
  cmd_reload_Click();
  {
    const QSignalBlocker block(lst_TokenList);
    lst_TokenList->clear();
    guarded([&] { lst_TokenList->addItems(readTokenNames(*ctx_.gCardDb)); });
    lst_TokenList->setCurrentRow(-1);
  }
  txt_TokenText->setPlainText(kTokenPrompt);
  ctx_.gCurrentToken.NameN.clear();
}

void Main::M_Close_Click() {
  // A failure is reported but never keeps the program open: there is no other way out.
  guarded([&] { emptyWorkingTables(*ctx_.gCardDb); });
  closing_ = true;
  close();
}

void Main::M_Ver_Click() {
  QMessageBox box(QMessageBox::NoIcon, kAppTitle, versionMessageText(), QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void Main::closeEvent(QCloseEvent* event) {
  if (closing_)
    event->accept();
  else
    event->ignore();
}

SearchFilter Main::searchFilter() const {
  SearchFilter f;
  for (int i = 0; i < lst_CardSet->count(); ++i)
    if (lst_CardSet->isSelected(i)) f.selectedSets << i;
  f.W = chk_W->isChecked();
  f.U = chk_U->isChecked();
  f.B = chk_B->isChecked();
  f.R = chk_R->isChecked();
  f.G = chk_G->isChecked();
  f.M = chk_M->isChecked();
  f.N = chk_N->isChecked();
  f.Land = chk_Land->isChecked();
  f.Instant = chk_Instant->isChecked();
  f.Sorcery = chk_Sorcery->isChecked();
  f.Enchantment = chk_Enchantment->isChecked();
  f.Artifact = chk_Artifact->isChecked();
  f.Creature = chk_Creature->isChecked();
  f.CTypeOn = chk_CType->isChecked();
  f.CType = cmb_CType->currentText();
  f.sortField = sortFieldFromOptions(opt_NameE->isChecked(), opt_NameN->isChecked(), opt_Cost->isChecked(),
                                     opt_Attack->isChecked(), opt_Defence->isChecked());
  return f;
}

void Main::cmd_reload_Click() {
  guarded([&] {
    for (ListBox* list : {lst_CardList, lst_DecList, lst_DecSideList}) {
      const QSignalBlocker block(list);
      list->clear();
    }
    const SearchResult result = runCardSearch(ctx_, searchFilter());
    {
      const QSignalBlocker block(lst_CardList);
      lst_CardList->addItems(result.cardLines);
    }
    applyDeckList(result.mainDeck, false);
    applyDeckList(result.sideDeck, false);
    const QSignalBlocker block(lst_CardList);
    lst_CardList->setCurrentRow(-1);
  });
}

void Main::applyDeckList(const DeckListView& view, bool setLabel) {
  const bool main = isMainDeck(view.table);
  ListBox* list = main ? lst_DecList : lst_DecSideList;
  {
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(view.lines);
    list->setCurrentRow(view.selection >= 0 && view.selection < list->count() ? view.selection : -1);
  }
  if (setLabel) (main ? lbl_Main : lbl_Side)->setText(view.label);
  if (list->currentRow() >= 0) (this->*(main ? &Main::lst_DecList_Click : &Main::lst_DecSideList_Click))();
}

void Main::applyDeckChange(const std::optional<DeckListView>& view) {
  if (view) applyDeckList(*view, true);
}

void Main::applyDeckMove(const std::optional<DeckMoveResult>& result) {
  if (!result) return;
  applyDeckList(result->main, true);
  applyDeckList(result->side, true);
}

void Main::cmd_AddMain_Click() {
  guarded([&] { applyDeckChange(AddCardToDeck(ctx_, kMainDeckTable)); });
}

void Main::cmd_AddSide_Click() {
  guarded([&] { applyDeckChange(AddCardToDeck(ctx_, kSideDeckTable)); });
}

void Main::cmd_DellMain_Click() {
  guarded([&] { applyDeckChange(RemoveCardFromDeck(ctx_, kMainDeckTable, lst_DecList->currentRow())); });
}

void Main::cmd_DellSide_Click() {
  guarded([&] { applyDeckChange(RemoveCardFromDeck(ctx_, kSideDeckTable, lst_DecSideList->currentRow())); });
}

void Main::cmd_MoveMain_Click() {
  guarded([&] { applyDeckMove(tv::cmd_MoveMain_Click(ctx_, lst_DecSideList->currentRow())); });
}

void Main::cmd_MoveSide_Click() {
  guarded([&] { applyDeckMove(tv::cmd_MoveSide_Click(ctx_, lst_DecList->currentRow())); });
}

void Main::fra_Color_DblClick() {
  const bool check = nextFrameToggle(gColorToggle);
  for (QCheckBox* box : {chk_W, chk_B, chk_U, chk_G, chk_R, chk_N, chk_M}) box->setChecked(check);
}

void Main::fra_CardType_DblClick() {
  const bool check = nextFrameToggle(gTypeToggle);
  for (QCheckBox* box : {chk_Land, chk_Instant, chk_Sorcery, chk_Enchantment, chk_Artifact, chk_Creature})
    box->setChecked(check);
}

bool Main::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    for (ListBox* list : {lst_CardList, lst_DecList, lst_DecSideList})
      if (watched == list->viewport()) rowBeforePress_[list] = list->currentRow();
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == fra_Color) {
      fra_Color_DblClick();
      return true;
    }
    if (watched == fra_CardType) {
      fra_CardType_DblClick();
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void Main::connectCardClicks(ListBox* list, void (Main::*handler)()) {
  // A new line (mouse, keys or code) shows at once; a click on the line that
  // is already current shows it again, as the same line may hold another card
  // than the detail box by now.
  connect(list, &ListBox::currentRowChanged, this, handler);
  list->viewport()->installEventFilter(this);
  connect(list, &QAbstractItemView::pressed, this, [this, list, handler](const QModelIndex& index) {
    if (index.row() == rowBeforePress_.value(list, -2)) (this->*handler)();
    rowBeforePress_.remove(list);
  });
}

void Main::lst_CardList_Click() { ShowCardText(kCardListTable, lst_CardList->currentRow()); }
void Main::lst_DecList_Click() { ShowCardText(kMainDeckTable, lst_DecList->currentRow()); }
void Main::lst_DecSideList_Click() { ShowCardText(kSideDeckTable, lst_DecSideList->currentRow()); }

void Main::ShowCardText(const QString& table, int index) {
  if (index < 0) return;
  guarded([&] {
    const CardTextView view = tv::ShowCardText(ctx_, table, index);
    if (!view.changed) return;
    if (view.background) setCardTextBackground(*view.background);
    txt_CardText->setPlainText(view.text);
  });
}

void Main::setCardTextBackground(const QColor& colour) {
  QPalette palette = txt_CardText->palette();
  palette.setColor(QPalette::Base, colour);
  txt_CardText->setPalette(palette);
}

}  // namespace tv

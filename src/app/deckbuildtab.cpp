#include "app/deckbuildtab.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include "app/controls.h"
#include "app/guarded.h"
#include "browse/cardtext.h"
#include "browse/windowdata.h"
#include "core/appinfo.h"
#include "output/sheets.h"

namespace tv {
namespace {

// A "？" drawn as the box's own buttons draw their icons.
QIcon questionMarkIcon(const QWidget* box) {
  const int side = box->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, box);
  const qreal ratio = box->devicePixelRatioF();
  QPixmap pixmap(QSize(side, side) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QFont font = box->font();
  font.setPixelSize(side);
  painter.setFont(font);
  painter.setPen(box->palette().color(QPalette::Text));
  painter.drawText(QRect(0, 0, side, side), Qt::AlignCenter, QStringLiteral("？"));
  return QIcon(pixmap);
}

// Where a larger window's room goes. Across: a fifth to the filter column,
// the rest shared by the card list and the deck lists (right edges' shares).
// Down: a third to the card text, the rest to the lists below it, of which
// the main deck and the sideboard take half each (bottom edges' shares).
constexpr double kFilterRight = 0.2, kCardListRight = 0.6;
constexpr double kCardTextBottom = 1.0 / 3, kMainDeckBottom = 2.0 / 3;
// Under the main deck list, the move buttons stay in its middle.
constexpr double kDeckMiddle = (kCardListRight + 1) / 2;

}  // namespace

DeckBuildTab::DeckBuildTab(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  QWidget* page = this;

  Frame1 = named(new QGroupBox(QStringLiteral("エキスパンション"), page), "Frame1");
  place(Frame1, 120, 480, 2055, 1335, {0, 0, kFilterRight, 1});
  lst_CardSet = newList(Frame1, "lst_CardSet");
  lst_CardSet->setSelectionMode(QAbstractItemView::ExtendedSelection);
  place(lst_CardSet, 120, 240, 1815, 960, {0, 0, 1, 1});

  fra_Color = named(new QGroupBox(QStringLiteral("色"), page), "fra_Color");
  place(fra_Color, 120, 1800, 2055, 1335, {0, 1, kFilterRight, 1});
  chk_W = newCheck(fra_Color, "chk_W", QStringLiteral("白"), true);
  chk_U = newCheck(fra_Color, "chk_U", QStringLiteral("青"), true);
  chk_B = newCheck(fra_Color, "chk_B", QStringLiteral("黒"), true);
  chk_M = newCheck(fra_Color, "chk_M", QStringLiteral("マルチ"), true);
  chk_R = newCheck(fra_Color, "chk_R", QStringLiteral("赤"), true);
  chk_G = newCheck(fra_Color, "chk_G", QStringLiteral("緑"), true);
  chk_N = newCheck(fra_Color, "chk_N", QStringLiteral("無色"), true);
  int row = 0;
  for (QCheckBox* box : {chk_W, chk_U, chk_B, chk_M}) place(box, 240, 240 + 255 * row++, 795, 255);
  row = 0;
  for (QCheckBox* box : {chk_R, chk_G, chk_N}) place(box, 1080, 240 + 255 * row++, 855, 255);

  fra_CardType = named(new QGroupBox(QStringLiteral("タイプ"), page), "fra_CardType");
  place(fra_CardType, 120, 3120, 2055, 1815, {0, 1, kFilterRight, 1});
  chk_Land = newCheck(fra_CardType, "chk_Land", QStringLiteral("土地"), true);
  chk_Instant = newCheck(fra_CardType, "chk_Instant", QStringLiteral("インスタント"), true);
  chk_Sorcery = newCheck(fra_CardType, "chk_Sorcery", QStringLiteral("ソーサリー"), true);
  chk_Enchantment = newCheck(fra_CardType, "chk_Enchantment", QStringLiteral("エンチャント"), true);
  chk_Artifact = newCheck(fra_CardType, "chk_Artifact", QStringLiteral("アーティファクト"), true);
  chk_Creature = newCheck(fra_CardType, "chk_Creature", QStringLiteral("クリーチャー"), true);
  chk_Planeswalker = newCheck(fra_CardType, "chk_Planeswalker", QStringLiteral("プレインズウォーカー"), true);
  // Seven boxes share the frame's height that six had.
  row = 0;
  for (QCheckBox* box : typeBoxes()) place(box, 240, 210 + 225 * row++, 1755, 225);

  fra_CType = named(new QGroupBox(QStringLiteral("種族"), page), "fra_CType");
  place(fra_CType, 120, 4920, 2055, 735, {0, 1, kFilterRight, 1});
  chk_CType = newCheck(fra_CType, "chk_CType", QString(), false);
  place(chk_CType, 120, 240, 255, 300);
  cmb_CType = named(new QComboBox(fra_CType), "cmb_CType");
  cmb_CType->setEditable(true);
  cmb_CType->setInsertPolicy(QComboBox::NoInsert);
  // The search takes the text exactly as typed: no completion.
  cmb_CType->setCompleter(nullptr);
  place(cmb_CType, 420, 240, 1515, 360, {0, 0, 1, 0});

  fra_Sort = named(new QGroupBox(QStringLiteral("ソート"), page), "fra_Sort");
  place(fra_Sort, 120, 5640, 2055, 1575, {0, 1, kFilterRight, 1});
  opt_NameE = named(new QRadioButton(QStringLiteral("英語名"), fra_Sort), "opt_NameE");
  opt_NameN = named(new QRadioButton(QStringLiteral("日本語名"), fra_Sort), "opt_NameN");
  opt_Cost = named(new QRadioButton(QStringLiteral("コスト"), fra_Sort), "opt_Cost");
  opt_Attack = named(new QRadioButton(QStringLiteral("パワー"), fra_Sort), "opt_Attack");
  opt_Defence = named(new QRadioButton(QStringLiteral("タフネス"), fra_Sort), "opt_Defence");
  row = 0;
  for (QRadioButton* option : {opt_NameE, opt_NameN, opt_Cost, opt_Attack, opt_Defence})
    place(option, 240, 240 + 255 * row++, 1695, 255);
  opt_NameE->setChecked(true);

  cmd_reload = named(new QPushButton(QStringLiteral("再検索"), page), "cmd_reload");
  place(cmd_reload, 120, 7320, 2055, 375, moving(0, 1));

  Label1 = named(new QLabel(QStringLiteral("カード内容"), page), "Label1");
  place(Label1, 2280, 480, 1575, 255, moving(kFilterRight, 0));
  const QFont detailFont(QStringLiteral("ＭＳ Ｐゴシック"), 12);
  txt_CardText = newTextBox(page, "txt_CardText", &detailFont);
  place(txt_CardText, 2280, 720, 7455, 2775, {kFilterRight, 0, 1, kCardTextBottom});

  // The sort frame has no room left: in the free row above the card text,
  // where the list's options are within reach of the list.
  chk_SameName = newCheck(page, "chk_SameName", QStringLiteral("同名カードをまとめる"), false);
  place(chk_SameName, 3960, 480, 2295, 255, moving(kFilterRight, 0));

  cmd_ProxyPrint = named(new QPushButton(QStringLiteral("代理カード印刷"), page), "cmd_ProxyPrint");
  place(cmd_ProxyPrint, 8040, 360, 1455, 360, moving(1, 0));  // ends where txt_CardText begins

  Label2 = named(new QLabel(QStringLiteral("カードリスト"), page), "Label2");
  place(Label2, 2280, 3600, 1575, 255, moving(kFilterRight, kCardTextBottom));
  lst_CardList = newList(page, "lst_CardList");
  place(lst_CardList, 2280, 3840, 3135, 3840, {kFilterRight, kCardTextBottom, kCardListRight, 1});
  // In the card list's place when the name is only in other expansions.
  lbl_NotInSets = named(new QLabel(lst_CardList->viewport()), "lbl_NotInSets");
  lbl_NotInSets->setWordWrap(true);
  lbl_NotInSets->setAlignment(Qt::AlignCenter);
  lbl_NotInSets->setCursor(Qt::PointingHandCursor);
  lbl_NotInSets->hide();
  lbl_NotInSets->installEventFilter(this);
  // The name box beside "カードリスト", in the free row above the list and the add buttons.
  lbl_Name = named(new QLabel(QStringLiteral("カード名"), page), "lbl_Name");
  place(lbl_Name, 3870, 3600, 735, 255, moving(kFilterRight, kCardTextBottom));
  txt_Name = named(new QLineEdit(page), "txt_Name");
  txt_Name->setAccessibleName(QStringLiteral("カード名"));
  txt_Name->setClearButtonEnabled(true);
  lbl_Name->setBuddy(txt_Name);
  place(txt_Name, 4620, 3510, 1875, 315, {kFilterRight, kCardTextBottom, kCardListRight, kCardTextBottom});
  // The "？" stands inside the box's end, as its clear button does: no given
  // control moves. F1 in the box does the same.
  cmd_QueryHelp =
      named(new QAction(questionMarkIcon(txt_Name), QStringLiteral("検索の書き方"), this), "cmd_QueryHelp");
  cmd_QueryHelp->setToolTip(cmd_QueryHelp->text());
  cmd_QueryHelp->setShortcut(QKeySequence::HelpContents);
  cmd_QueryHelp->setShortcutContext(Qt::WidgetShortcut);
  txt_Name->addAction(cmd_QueryHelp, QLineEdit::TrailingPosition);
  connect(cmd_QueryHelp, &QAction::triggered, this, &DeckBuildTab::cmd_QueryHelp_Click);
  // Shown only while the box holds what cannot be read, over the list's first
  // line below the box, like a tool tip (see showQueryError).
  lbl_QueryError = named(new QLabel(page), "lbl_QueryError");
  lbl_QueryError->setForegroundRole(QPalette::ToolTipText);
  lbl_QueryError->setBackgroundRole(QPalette::ToolTipBase);
  lbl_QueryError->setAutoFillBackground(true);
  lbl_QueryError->setFrameShape(QFrame::Box);
  lbl_QueryError->setMargin(2);
  lbl_QueryError->hide();

  cmd_AddMain = named(new QPushButton(QStringLiteral("→追加"), page), "cmd_AddMain");
  place(cmd_AddMain, 5520, 4200, 975, 375, moving(kCardListRight, kCardTextBottom));
  cmd_DellMain = named(new QPushButton(QStringLiteral("←削除"), page), "cmd_DellMain");
  place(cmd_DellMain, 5520, 4680, 975, 375, moving(kCardListRight, kCardTextBottom));

  Label3 = named(new QLabel(QStringLiteral("デッキリスト"), page), "Label3");
  place(Label3, 6600, 3600, 1575, 255, moving(kCardListRight, kCardTextBottom));
  lbl_Main = named(new QLabel(QStringLiteral("-メイン- 0枚"), page), "lbl_Main");
  place(lbl_Main, 5430, 3960, 1065, 255,
        moving(kCardListRight, kCardTextBottom));  // clear of lst_CardList, whose right edge is at 5415
  lst_DecList = newList(page, "lst_DecList");
  place(lst_DecList, 6600, 3840, 3135, 1860, {kCardListRight, kCardTextBottom, 1, kMainDeckBottom});

  cmd_MoveSide = named(new QPushButton(QStringLiteral("↓"), page), "cmd_MoveSide");
  place(cmd_MoveSide, 7680, 5780, 375, 375, moving(kDeckMiddle, kMainDeckBottom));
  cmd_MoveMain = named(new QPushButton(QStringLiteral("↑"), page), "cmd_MoveMain");
  place(cmd_MoveMain, 8160, 5780, 375, 375, moving(kDeckMiddle, kMainDeckBottom));

  lbl_Side = named(new QLabel(QStringLiteral("-サイド- 0枚"), page), "lbl_Side");
  place(lbl_Side, 5430, 6240, 1065, 255, moving(kCardListRight, kMainDeckBottom));
  lst_DecSideList = newList(page, "lst_DecSideList");
  place(lst_DecSideList, 6600, 6240, 3135, 1320, {kCardListRight, kMainDeckBottom, 1, 1});

  cmd_AddSide = named(new QPushButton(QStringLiteral("→追加"), page), "cmd_AddSide");
  place(cmd_AddSide, 5520, 6480, 975, 375, moving(kCardListRight, kMainDeckBottom));
  cmd_DellSide = named(new QPushButton(QStringLiteral("←削除"), page), "cmd_DellSide");
  place(cmd_DellSide, 5520, 6960, 975, 375, moving(kCardListRight, kMainDeckBottom));

  connect(cmd_reload, &QPushButton::clicked, this, &DeckBuildTab::cmd_reload_Click);
  nameTyping_.setSingleShot(true);
  nameTyping_.setInterval(kNameTypingPause);
  connect(&nameTyping_, &QTimer::timeout, this, &DeckBuildTab::cmd_reload_Click);
  connect(txt_Name, &QLineEdit::textEdited, this, [this] { nameTyping_.start(); });
  connect(txt_Name, &QLineEdit::returnPressed, this, [this] {
    // Enter on the name that found nothing here takes the offer of the hint.
    if (lbl_NotInSets->isVisible() && txt_Name->text() == hintName_)
      selectEveryExpansion();
    else
      cmd_reload_Click();
  });
  txt_Name->installEventFilter(this);
  // A way of showing the list rather than a filter: the list follows at once.
  connect(chk_SameName, &QCheckBox::clicked, this, [this] {
    Q_EMIT searchChoicesChanged();
    cmd_reload_Click();
  });
  connect(cmd_ProxyPrint, &QPushButton::clicked, this, &DeckBuildTab::cmd_ProxyPrint_Click);
  fra_Color->installEventFilter(this);
  fra_CardType->installEventFilter(this);
  connect(cmd_AddMain, &QPushButton::clicked, this, &DeckBuildTab::cmd_AddMain_Click);
  connect(cmd_AddSide, &QPushButton::clicked, this, &DeckBuildTab::cmd_AddSide_Click);
  connect(cmd_DellMain, &QPushButton::clicked, this, &DeckBuildTab::cmd_DellMain_Click);
  connect(cmd_DellSide, &QPushButton::clicked, this, &DeckBuildTab::cmd_DellSide_Click);
  connect(cmd_MoveMain, &QPushButton::clicked, this, &DeckBuildTab::cmd_MoveMain_Click);
  connect(cmd_MoveSide, &QPushButton::clicked, this, &DeckBuildTab::cmd_MoveSide_Click);
  connectCardClicks(lst_CardList, &DeckBuildTab::lst_CardList_Click);
  connectCardClicks(lst_DecList, &DeckBuildTab::lst_DecList_Click);
  connectCardClicks(lst_DecSideList, &DeckBuildTab::lst_DecSideList_Click);
  connect(lst_CardSet->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &DeckBuildTab::searchChoicesChanged);
  for (QRadioButton* option : {opt_NameE, opt_NameN, opt_Cost, opt_Attack, opt_Defence})
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
      if (on) Q_EMIT searchChoicesChanged();
    });
}

void DeckBuildTab::load(const SearchChoices& choices) {
  guarded(this, [&] {
    lst_CardSet->clear();
    lst_CardSet->addItems(readExpansionNames(*ctx_.gCardDb));
    QList<int> chosen;
    if (!choices.expansionCodes.isEmpty())
      chosen = expansionLines(readExpansionCodes(*ctx_.gCardDb), choices.expansionCodes);
    if (chosen.isEmpty() && lst_CardSet->count() > 0) chosen = {0};
    if (!chosen.isEmpty()) lst_CardSet->setCurrentRow(chosen.first());
    for (int line : chosen) lst_CardSet->setSelected(line, true);
  });
  for (QRadioButton* o : {opt_NameE, opt_NameN, opt_Cost, opt_Attack, opt_Defence})
    if (sortFieldFromOptions(o == opt_NameE, o == opt_NameN, o == opt_Cost, o == opt_Attack,
                             o == opt_Defence) == choices.sortField)
      o->setChecked(true);
  chk_SameName->setChecked(choices.oneLinePerName);
  guarded(this, [&] {
    cmb_CType->clear();
    cmb_CType->addItems(creatureTypes(ctx_)->names());
    if (cmb_CType->count() > 0) cmb_CType->setCurrentIndex(0);
  });
  setCardTextBackground(kVersionBackground);
  txt_CardText->setPlainText(versionCardText());
  ctx_.gCurrentCard.NameE.clear();
  cmd_reload_Click();
}

void DeckBuildTab::cmd_ProxyPrint_Click() {
  if (ctx_.gCurrentCard.NameE.isEmpty()) {
    printUi_.exclaim(QStringLiteral("カードを選択してください。"));
    return;
  }
  runPrintJob(printUi_, [&](PrintJob& job) { PrintSheet(job, proxyCopyLines(ctx_.gCurrentCard)); });
}

SearchFilter DeckBuildTab::searchFilter() const {
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
  f.Planeswalker = chk_Planeswalker->isChecked();
  f.CTypeOn = chk_CType->isChecked();
  f.CType = cmb_CType->currentText();
  f.name = txt_Name->text();
  f.oneLinePerName = chk_SameName->isChecked();
  f.sortField = sortFieldFromOptions(opt_NameE->isChecked(), opt_NameN->isChecked(), opt_Cost->isChecked(),
                                     opt_Attack->isChecked(), opt_Defence->isChecked());
  return f;
}

void DeckBuildTab::cmd_reload_Click() {
  nameTyping_.stop();
  guarded(this, [&] {
    const SearchFilter filter = searchFilter();
    // What the box cannot read changes nothing but the line under it.
    const QString error = readNameBox(ctx_, filter.name).error;
    showQueryError(error);
    if (!error.isEmpty()) return;
    for (ListBox* list : {lst_CardList, lst_DecList, lst_DecSideList}) {
      const QSignalBlocker block(list);
      list->clear();
    }
    lbl_NotInSets->hide();
    const SearchResult result = searchCards(ctx_, filter);
    if (!result.queryError.isEmpty()) showQueryError(result.queryError);
    if (result.elsewhere > 0) showNotInSets(filter.name, result.elsewhere);
    {
      const QSignalBlocker block(lst_CardList);
      lst_CardList->setLines(result.cardLines);
    }
    // wtbl_CardList is filled once the lines are on screen (or by whatever reads it first).
    lst_CardList->afterNextPaint([this] { guarded(this, [&] { ctx_.gCardDb->runDeferred(); }); });
    applyDeckList(result.mainDeck, false);
    applyDeckList(result.sideDeck, false);
    const QSignalBlocker block(lst_CardList);
    lst_CardList->setCurrentRow(-1);
  });
}

void DeckBuildTab::showQueryError(const QString& error) {
  lbl_QueryError->setText(error);
  lbl_QueryError->setAccessibleName(error);
  lbl_QueryError->setVisible(!error.isEmpty());
  if (error.isEmpty()) return;
  // Right under the box, ending where the card list ends: it covers the
  // list's first line there and nothing beside the list.
  const QRect box = txt_Name->geometry();
  const QRect list = lst_CardList->geometry();
  // One line, or as many as the list's width needs.
  lbl_QueryError->setWordWrap(false);
  QSize size = lbl_QueryError->sizeHint();
  if (size.width() > list.width()) {
    lbl_QueryError->setWordWrap(true);
    size = {list.width(), lbl_QueryError->heightForWidth(list.width())};
  }
  lbl_QueryError->resize(size);
  lbl_QueryError->move(list.right() + 1 - lbl_QueryError->width(), box.bottom() + 1);
  lbl_QueryError->raise();
}

void DeckBuildTab::cmd_QueryHelp_Click() {
  if (!queryHelp_) {
    queryHelp_ = named(new QDialog(this), "dlg_QueryHelp");
    queryHelp_->setWindowTitle(QStringLiteral("検索の書き方"));
    auto* text = named(new QPlainTextEdit(query::queryHelpText(), queryHelp_), "txt_QueryHelp");
    text->setReadOnly(true);
    text->setAccessibleName(QStringLiteral("検索の書き方"));
    auto* close = named(new QPushButton(QStringLiteral("閉じる"), queryHelp_), "cmd_QueryHelpClose");
    connect(close, &QPushButton::clicked, queryHelp_, &QDialog::close);
    auto* layout = new QVBoxLayout(queryHelp_);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    const QFontMetrics metrics = text->fontMetrics();
    queryHelp_->resize(metrics.horizontalAdvance(QString(46, u'あ')),
                       metrics.lineSpacing() * int(query::queryHelpText().count(u'\n') + 4));
    // Beside the window where the screen has room, so the box stays in reach while the player reads.
    const QRect beside(window()->frameGeometry().topRight() + QPoint(1, 0), queryHelp_->size());
    if (screen()->availableGeometry().contains(beside)) queryHelp_->move(beside.topLeft());
  }
  queryHelp_->show();
  queryHelp_->raise();
  queryHelp_->activateWindow();
}

void DeckBuildTab::showNotInSets(const QString& name, qsizetype elsewhere) {
  const QString text =
      QStringLiteral("選択中のエキスパンションにはありません（ほかに %1 件）").arg(elsewhere);
  lbl_NotInSets->setText(text.toHtmlEscaped() +
                         QStringLiteral("<br><br><a href=\"#\">すべてのエキスパンションを選択</a>"));
  lbl_NotInSets->setAccessibleName(text);
  lbl_NotInSets->setGeometry(lst_CardList->viewport()->rect().adjusted(4, 4, -4, -4));
  lbl_NotInSets->show();
  hintName_ = name;
}

void DeckBuildTab::selectEveryExpansion() {
  lst_CardSet->selectAll();
  cmd_reload_Click();
}

void DeckBuildTab::applyDeckList(const DeckListView& view, bool setLabel) {
  const bool main = isMainDeck(view.table);
  ListBox* list = main ? lst_DecList : lst_DecSideList;
  {
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(view.lines);
    list->setCurrentRow(view.selection >= 0 && view.selection < list->count() ? view.selection : -1);
  }
  if (setLabel) (main ? lbl_Main : lbl_Side)->setText(view.label);
  if (list->selectedRow() >= 0)
    (this->*(main ? &DeckBuildTab::lst_DecList_Click : &DeckBuildTab::lst_DecSideList_Click))();
  Q_EMIT deckListChanged();
}

void DeckBuildTab::showDeck(const DeckSelection& main, const DeckSelection& side) {
  guarded(this, [&] {
    for (ListBox* list : {lst_DecList, lst_DecSideList}) {
      const QSignalBlocker block(list);
      list->clear();
    }
    applyDeckList(readDeckList(*ctx_.gCardDb, kMainDeckTable, ctx_.gSortField, main), true);
    applyDeckList(readDeckList(*ctx_.gCardDb, kSideDeckTable, ctx_.gSortField, side), true);
  });
}

void DeckBuildTab::applyDeckChange(const std::optional<DeckListView>& view) {
  if (view) applyDeckList(*view, true);
}

void DeckBuildTab::applyDeckMove(const std::optional<DeckMoveResult>& result) {
  if (!result) return;
  applyDeckList(result->main, true);
  applyDeckList(result->side, true);
}

void DeckBuildTab::cmd_AddMain_Click() {
  changeDeck(DeckStep::Add, [&] { applyDeckChange(addCopyToDeck(ctx_, kMainDeckTable)); });
}

void DeckBuildTab::cmd_AddSide_Click() {
  changeDeck(DeckStep::Add, [&] { applyDeckChange(addCopyToDeck(ctx_, kSideDeckTable)); });
}

void DeckBuildTab::cmd_DellMain_Click() {
  changeDeck(DeckStep::Remove, [&] {
    applyDeckChange(
        removeCopyFromDeck(*ctx_.gCardDb, kMainDeckTable, ctx_.gSortField, lst_DecList->selectedRow()));
  });
}

void DeckBuildTab::cmd_DellSide_Click() {
  changeDeck(DeckStep::Remove, [&] {
    applyDeckChange(
        removeCopyFromDeck(*ctx_.gCardDb, kSideDeckTable, ctx_.gSortField, lst_DecSideList->selectedRow()));
  });
}

void DeckBuildTab::cmd_MoveMain_Click() {
  changeDeck(DeckStep::MoveToMain, [&] {
    applyDeckMove(moveCopyToMain(*ctx_.gCardDb, ctx_.gSortField, lst_DecSideList->selectedRow()));
  });
}

void DeckBuildTab::cmd_MoveSide_Click() {
  changeDeck(DeckStep::MoveToSide, [&] {
    applyDeckMove(moveCopyToSide(*ctx_.gCardDb, ctx_.gSortField, lst_DecList->selectedRow()));
  });
}

void DeckBuildTab::changeDeck(DeckStep step, const std::function<void()>& change) {
  runDeckChange_(step, [&] { guarded(this, change); });
}

void DeckBuildTab::fra_Color_DblClick() {
  const bool check = nextFrameToggle(gColorToggle);
  for (QCheckBox* box : {chk_W, chk_B, chk_U, chk_G, chk_R, chk_N, chk_M}) box->setChecked(check);
}

void DeckBuildTab::fra_CardType_DblClick() {
  const bool check = nextFrameToggle(gTypeToggle);
  for (QCheckBox* box : typeBoxes()) box->setChecked(check);
}

bool DeckBuildTab::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txt_Name && event->type() == QEvent::FocusIn) {
    // The names are read once a run; reading them when the box is entered
    // keeps the wait off the first keystroke.
    guarded(this, [&] { cardNames(ctx_); });
  } else if (event->type() == QEvent::MouseButtonPress) {
    for (ListBox* list : {lst_CardList, lst_DecList, lst_DecSideList})
      if (watched == list->viewport()) rowBeforePress_[list] = list->selectedRow();
  } else if (event->type() == QEvent::MouseButtonRelease && watched == lbl_NotInSets) {
    selectEveryExpansion();
    return true;
  } else if (event->type() == QEvent::Resize && watched == lst_CardList->viewport()) {
    lbl_NotInSets->setGeometry(lst_CardList->viewport()->rect().adjusted(4, 4, -4, -4));
    if (lbl_QueryError && lbl_QueryError->isVisible()) showQueryError(lbl_QueryError->text());
  } else if (event->type() == QEvent::KeyPress) {
    if (quickKey(watched, static_cast<QKeyEvent*>(event))) return true;
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == lst_CardList->viewport() &&
        lst_CardList->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
      addLineCopy(lst_CardList, static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier);
    if (watched == fra_Color) {
      fra_Color_DblClick();
      return true;
    }
    if (watched == fra_CardType) {
      fra_CardType_DblClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool DeckBuildTab::quickKey(QObject* watched, const QKeyEvent* key) {
  // Shift and the keypad aside, a key with a modifier is not one of these.
  if (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) return false;
  const bool shift = key->modifiers() & Qt::ShiftModifier;
  if (watched == lst_CardList && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    if (lbl_NotInSets->isVisible())
      selectEveryExpansion();
    else
      addLineCopy(lst_CardList, shift);
    return true;
  }
  for (ListBox* deck : {lst_DecList, lst_DecSideList}) {
    if (watched != deck) continue;
    const bool main = deck == lst_DecList;
    if (key->key() == Qt::Key_Plus) {
      addLineCopy(deck, !main);
      return true;
    }
    if (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Minus) {
      main ? cmd_DellMain_Click() : cmd_DellSide_Click();
      return true;
    }
  }
  return false;
}

void DeckBuildTab::addLineCopy(ListBox* list, bool toSide) {
  // The selected line's card becomes current as choosing it would make it,
  // then the add button adds it.
  const int row = list->selectedRow();
  if (row < 0) return;
  ShowCardText(list == lst_CardList  ? kCardListTable
               : list == lst_DecList ? kMainDeckTable
                                     : kSideDeckTable,
               row);
  toSide ? cmd_AddSide_Click() : cmd_AddMain_Click();
}

void DeckBuildTab::connectCardClicks(ListBox* list, void (DeckBuildTab::*handler)()) {
  // A newly selected line (mouse, keys or code) shows at once; a click on the
  // line that is already selected shows it again, as the same line may hold
  // another card than the detail box by now. Focus alone selects nothing, so
  // no card becomes current until the user chooses a line.
  connect(list, &ListBox::selectedRowChanged, this, handler);
  list->viewport()->installEventFilter(this);
  list->installEventFilter(this);  // its quick keys
  connect(list, &QAbstractItemView::pressed, this, [this, list, handler](const QModelIndex& index) {
    if (index.row() == rowBeforePress_.value(list, -2) && list->isSelected(index.row())) (this->*handler)();
    rowBeforePress_.remove(list);
  });
}

void DeckBuildTab::lst_CardList_Click() { ShowCardText(kCardListTable, lst_CardList->selectedRow()); }
void DeckBuildTab::lst_DecList_Click() { ShowCardText(kMainDeckTable, lst_DecList->selectedRow()); }
void DeckBuildTab::lst_DecSideList_Click() { ShowCardText(kSideDeckTable, lst_DecSideList->selectedRow()); }

void DeckBuildTab::ShowCardText(const QString& table, int index) {
  if (index < 0) return;
  guarded(this, [&] {
    CardTextView view;
    try {
      view = chooseCard(ctx_, table, index);
    } catch (const DbError&) {
      txt_CardText->clear();
      throw;
    }
    if (!view.changed) return;
    if (view.background) setCardTextBackground(*view.background);
    txt_CardText->setPlainText(view.text);
  });
}

void DeckBuildTab::setCardTextBackground(const QColor& colour) {
  QPalette palette = txt_CardText->palette();
  palette.setColor(QPalette::Base, colour);
  txt_CardText->setPalette(palette);
}

}  // namespace tv

#include "app/deckanalysistab.h"

#include <QClipboard>
#include <QDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/controls.h"
#include "app/guarded.h"
#include "core/settings.h"
#include "deck/decklist.h"

namespace tv {
namespace {

const QString kFormatSetting = QStringLiteral("analysis/format");
const QString kCompareFilter = QStringLiteral(
    "タルヴィクス ファイル (*.tvf)|*.tvf|テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

template <typename W>
W* accessible(W* w, const char* name, const QString& accessibleName) {
  named(w, name)->setAccessibleName(accessibleName);
  return w;
}

QGroupBox* newFrame(QWidget* parent, const char* name, const QString& caption) {
  return accessible(new QGroupBox(caption, parent), name, caption);
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption) {
  return accessible(new QPushButton(caption, parent), name, caption);
}

QLabel* newLabel(QWidget* parent, const char* name, const QString& accessibleName) {
  return accessible(new QLabel(parent), name, accessibleName);
}

// A read-only table of numbers, just as large as its rows and columns with
// values as wide as `widest` (per column, the last for the rest): the
// tables never scroll and never squeeze.
QTableWidget* newTable(QWidget* parent, const char* name, const QString& accessibleName,
                       const QStringList& columns, const QStringList& rows, const QStringList& widest) {
  auto* t = accessible(new QTableWidget(int(rows.size()), int(columns.size()), parent), name, accessibleName);
  t->setHorizontalHeaderLabels(columns);
  t->setVerticalHeaderLabels(rows);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionMode(QAbstractItemView::NoSelection);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const QFontMetrics fm = t->fontMetrics();
  QHeaderView* across = t->horizontalHeader();
  QHeaderView* down = t->verticalHeader();
  across->setHighlightSections(false);
  down->setHighlightSections(false);
  across->setSectionResizeMode(QHeaderView::Fixed);
  down->setSectionResizeMode(QHeaderView::Fixed);
  down->setDefaultSectionSize(fm.height() + 2);
  across->setMinimumSectionSize(1);
  // Rows without names: the heading row says it all.
  if (std::all_of(rows.begin(), rows.end(), [](const QString& r) { return r.isEmpty(); })) down->hide();
  int width = (down->isHidden() ? 0 : down->sizeHint().width()) + 2 * t->frameWidth();
  for (int c = 0; c < t->columnCount(); ++c) {
    int column = fm.horizontalAdvance(widest[std::min<qsizetype>(c, widest.size() - 1)]);
    for (const QString& line : columns[c].split(u'\n')) column = std::max(column, fm.horizontalAdvance(line));
    across->resizeSection(c, column + 10);
    width += column + 10;
  }
  t->setFixedSize(width, across->sizeHint().height() + int(rows.size()) * down->defaultSectionSize() +
                             2 * t->frameWidth());
  for (int r = 0; r < t->rowCount(); ++r)
    for (int c = 0; c < t->columnCount(); ++c) {
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      t->setItem(r, c, item);
    }
  return t;
}

void setCell(QTableWidget* t, int row, int column, const QString& text) {
  t->item(row, column)->setText(text);
}

QString copies(qint64 n) { return QString::number(n) + u'枚'; }

}  // namespace

DeckAnalysisTab::DeckAnalysisTab(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  lbl_Format = accessible(new QLabel(QStringLiteral("フォーマット"), this), "lbl_Format",
                          QStringLiteral("フォーマット"));
  cmb_Format = accessible(new QComboBox(this), "cmb_Format", QStringLiteral("フォーマット"));
  lbl_Format->setBuddy(cmb_Format);
  lbl_Verdict = newLabel(this, "lbl_Verdict", QStringLiteral("判定"));
  cmd_Compare = newButton(this, "cmd_Compare", QStringLiteral("比較..."));
  cmd_Compare->setToolTip(QStringLiteral("デッキファイルかテキストのデッキリストと比べます"));

  fra_Check = newFrame(this, "fra_Check", QStringLiteral("問題"));
  lst_Problems = accessible(newList(fra_Check, "lst_Problems"), "lst_Problems", QStringLiteral("問題"));
  lst_Problems->setWordWrap(true);
  lst_Problems->setUniformItemSizes(false);
  lst_Problems->setAlternatingRowColors(true);

  fra_Stats = newFrame(this, "fra_Stats", QStringLiteral("統計"));
  tbl_Types =
      newTable(fra_Stats, "tbl_Types", QStringLiteral("カードタイプ"),
               {QStringLiteral("メイン"), QStringLiteral("サイド")},
               {QStringLiteral("クリーチャー"), QStringLiteral("プレインズウォーカー"),
                QStringLiteral("インスタント"), QStringLiteral("ソーサリー"), QStringLiteral("エンチャント"),
                QStringLiteral("アーティファクト"), QStringLiteral("土地"), QStringLiteral("その他")},
               {QStringLiteral("9999")});
  lbl_Lands = newLabel(fra_Stats, "lbl_Lands", QStringLiteral("土地と土地以外"));

  fra_Colors = newFrame(this, "fra_Colors", QStringLiteral("色とマナカーブ"));
  tbl_Colors = newTable(
      fra_Colors, "tbl_Colors", QStringLiteral("色"),
      {QStringLiteral("シンボル"), QStringLiteral("割合"), QStringLiteral("土地"), QStringLiteral("他")},
      {QStringLiteral("白"), QStringLiteral("青"), QStringLiteral("黒"), QStringLiteral("赤"),
       QStringLiteral("緑"), QStringLiteral("無色")},
      {QStringLiteral("999"), percentText(1), QStringLiteral("999")});
  tbl_Colors->setToolTip(
      QStringLiteral("シンボル：メインデッキのマナ・コストにあるその色のマナ・シンボルの数\n"
                     "土地・他：その色のマナを出せる土地の枚数と、土地以外のカードの枚数"));
  lbl_Average = newLabel(fra_Colors, "lbl_Average", QStringLiteral("平均マナ総量"));
  QStringList buckets;
  for (int b = 0; b < kCurveBuckets; ++b) buckets << curveLabel(b);
  tbl_Curve = newTable(fra_Colors, "tbl_Curve", QStringLiteral("マナカーブ"), buckets, {QString()},
                       {QStringLiteral("99")});

  fra_Odds = newFrame(this, "fra_Odds", QStringLiteral("ドロー確率"));
  lst_OddsLines =
      accessible(newList(fra_Odds, "lst_OddsLines"), "lst_OddsLines", QStringLiteral("確率を見るカード"));
  lst_OddsLines->setSelectionMode(QAbstractItemView::MultiSelection);
  lst_OddsLines->setToolTip(QStringLiteral("確率を見るカードを選んでください（複数可）"));
  lbl_OddsCards = newLabel(fra_Odds, "lbl_OddsCards", QStringLiteral("選んだカードの枚数"));
  QStringList oddsRows;
  for (const DrawOddsRow& r : drawOdds(0, 0).rows) oddsRows << r.label;
  tbl_Odds = newTable(fra_Odds, "tbl_Odds", QStringLiteral("ドロー確率"),
                      {QStringLiteral("先手\n1枚以上"), QStringLiteral("先手\n2枚以上"),
                       QStringLiteral("後手\n1枚以上"), QStringLiteral("後手\n2枚以上")},
                      oddsRows, {percentText(1)});
  tbl_Odds->setToolTip(mulliganExplanation());

  fra_Hand = newFrame(this, "fra_Hand", QStringLiteral("サンプルハンド"));
  lst_Hand = accessible(newList(fra_Hand, "lst_Hand"), "lst_Hand", QStringLiteral("サンプルハンド"));
  lst_Hand->setSelectionMode(QAbstractItemView::NoSelection);
  lbl_Hand = newLabel(fra_Hand, "lbl_Hand", QStringLiteral("手札とライブラリーの枚数"));
  cmd_Draw = newButton(fra_Hand, "cmd_Draw", QStringLiteral("1枚引く"));
  cmd_Mulligan = newButton(fra_Hand, "cmd_Mulligan", QStringLiteral("マリガン"));

  // The format and the verdict over the page; below, the problems, the
  // numbers and colours, then the sample hand beside the draw odds.
  auto frameLayout = [](QGroupBox* frame) {
    auto* l = new QVBoxLayout(frame);
    l->setContentsMargins(4, 2, 4, 4);
    l->setSpacing(2);
    return l;
  };
  auto* top = new QHBoxLayout;
  top->addWidget(lbl_Format);
  top->addWidget(cmb_Format);
  top->addSpacing(6);
  top->addWidget(lbl_Verdict, 1);
  top->addWidget(cmd_Compare);
  frameLayout(fra_Check)->addWidget(lst_Problems);
  QVBoxLayout* stats = frameLayout(fra_Stats);
  stats->addWidget(tbl_Types);
  stats->addWidget(lbl_Lands);
  stats->addStretch();
  QVBoxLayout* colors = frameLayout(fra_Colors);
  colors->addWidget(tbl_Colors);
  colors->addWidget(tbl_Curve);
  colors->addWidget(lbl_Average);
  colors->addStretch();
  auto* odds = new QGridLayout(fra_Odds);
  odds->setContentsMargins(4, 2, 4, 4);
  odds->setSpacing(2);
  odds->addWidget(lst_OddsLines, 0, 0, 3, 1);
  odds->addWidget(lbl_OddsCards, 0, 1);
  odds->addWidget(tbl_Odds, 1, 1);
  odds->setColumnStretch(0, 1);
  odds->setRowStretch(2, 1);
  QVBoxLayout* hand = frameLayout(fra_Hand);
  hand->addWidget(lst_Hand, 1);
  hand->addWidget(lbl_Hand);
  auto* handButtons = new QHBoxLayout;
  handButtons->addWidget(cmd_Draw);
  handButtons->addWidget(cmd_Mulligan);
  handButtons->addStretch();
  hand->addLayout(handButtons);

  auto* page = new QGridLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->setSpacing(4);
  page->addLayout(top, 0, 0, 1, 3);
  page->addWidget(fra_Check, 1, 0);
  page->addWidget(fra_Stats, 1, 1);
  page->addWidget(fra_Colors, 1, 2);
  page->addWidget(fra_Hand, 2, 0);
  page->addWidget(fra_Odds, 2, 1, 1, 2);
  // A larger window gives its room to the lists.
  page->setColumnStretch(0, 2);
  page->setColumnStretch(1, 1);
  page->setColumnStretch(2, 1);
  page->setRowStretch(1, 1);
  page->setRowStretch(2, 1);

  connect(cmb_Format, &QComboBox::currentIndexChanged, this, &DeckAnalysisTab::cmb_Format_Click);
  connect(lst_OddsLines, &ListBox::selectedRowChanged, this, &DeckAnalysisTab::lst_OddsLines_Click);
  connect(cmd_Draw, &QPushButton::clicked, this, &DeckAnalysisTab::cmd_Draw_Click);
  connect(cmd_Mulligan, &QPushButton::clicked, this, &DeckAnalysisTab::cmd_Mulligan_Click);
  connect(cmd_Compare, &QPushButton::clicked, this, &DeckAnalysisTab::cmd_Compare_Click);
}

bool DeckAnalysisTab::formatRemembered() {
  return !userSettings()->value(kFormatSetting).toString().isEmpty();
}

void DeckAnalysisTab::load() {
  facts_.reset();
  formats_.reset();
  guarded(this, [&] { formats_ = OracleFacts::storedFormats(*ctx_.gCardDb); });
  const QString chosen = userSettings()->value(kFormatSetting).toString();
  {
    const QSignalBlocker block(cmb_Format);
    cmb_Format->clear();
    for (const QString& key : formatBoxKeys(formats_.value_or(QStringList())))
      cmb_Format->addItem(formatLabel(key), key);
    cmb_Format->setCurrentIndex(std::max(0, cmb_Format->findData(chosen)));
  }
  deckChanged();
}

void DeckAnalysisTab::readFacts() {
  if (facts_ || !formats_) return;
  guarded(this, [&] {
    if (auto facts = cardFacts(ctx_)) facts_.emplace(std::move(facts));
  });
}

AnalysisRequest DeckAnalysisTab::request() const {
  AnalysisRequest r;
  r.sortField = ctx_.gSortField;
  r.format = format();
  r.facts = facts_ ? &*facts_ : nullptr;
  return r;
}

void DeckAnalysisTab::deckChanged() {
  stale_ = true;
  if (isVisible())
    refresh();
  else if (!format().isEmpty())
    refreshCheck();
}

void DeckAnalysisTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (stale_) refresh();
}

void DeckAnalysisTab::refresh() {
  readFacts();
  guarded(this, [&] {
    DeckAnalysis a = analyseDeck(*ctx_.gCardDb, request());
    cards_ = std::move(a.cards);
    stale_ = false;
    showCheck(a.check);
    showStats(a.stats);
    showOddsLines();
    hand_.emplace(cards_.main, seeds_());
    showHand();
  });
}

void DeckAnalysisTab::refreshCheck() {
  readFacts();
  guarded(this, [&] { showCheck(checkDeckTables(*ctx_.gCardDb, request())); });
}

void DeckAnalysisTab::showCheck(const std::optional<DeckCheck>& check) {
  QStringList problems;
  QPalette palette = lbl_Verdict->palette();
  palette.setColor(QPalette::WindowText, QColor(Qt::black));
  if (!check) {
    lbl_Verdict->setText(formats_ ? QStringLiteral("フォーマットを選ぶと適正を調べます")
                                  : kNoFactsText.toString());
  } else {
    lbl_Verdict->setText(checkVerdict(*check));
    if (check->available)
      palette.setColor(QPalette::WindowText, check->legal() ? QColor(0, 128, 0) : QColor(Qt::red));
    for (const DeckProblem& p : check->problems) problems << p.text;
  }
  lbl_Verdict->setPalette(palette);
  lst_Problems->setLines(problems);
  Q_EMIT problemLinesChanged(check ? problemLines(*check, DeckHalf::Main) : QList<int>(),
                             check ? problemLines(*check, DeckHalf::Side) : QList<int>());
}

void DeckAnalysisTab::showStats(const DeckStats& s) {
  for (int r = 0; r < tbl_Types->rowCount(); ++r) {
    const TypeCount none{tbl_Types->verticalHeaderItem(r)->text()};
    const auto it = std::find_if(s.types.begin(), s.types.end(),
                                 [&](const TypeCount& t) { return t.label == none.label; });
    const TypeCount& t = it == s.types.end() ? none : *it;
    setCell(tbl_Types, r, 0, QString::number(t.main));
    setCell(tbl_Types, r, 1, QString::number(t.side));
  }
  lbl_Lands->setText(QStringLiteral("土地 %1・土地以外 %2").arg(copies(s.lands), copies(s.nonLands)));
  lbl_Average->setText(QStringLiteral("平均マナ総量 ") + averageText(s.averageManaValue));
  for (int b = 0; b < kCurveBuckets; ++b) setCell(tbl_Curve, 0, b, QString::number(s.curve[size_t(b)]));
  for (int r = 0; r < tbl_Colors->rowCount() && r < s.colors.size(); ++r) {
    const ColorStat& c = s.colors[r];
    setCell(tbl_Colors, r, 0, QString::number(c.pips));
    setCell(tbl_Colors, r, 1, percentText(c.share));
    setCell(tbl_Colors, r, 2, QString::number(c.landSources));
    setCell(tbl_Colors, r, 3, QString::number(c.otherSources));
  }
}

void DeckAnalysisTab::showOddsLines() {
  QStringList lines;
  for (const DeckCard& c : cards_.main) lines << deckLine(c.copies, c.NameE, c.NameN);
  {
    const QSignalBlocker block(lst_OddsLines);
    lst_OddsLines->setLines(lines);
    for (int line : linesOfPrintings(cards_.main, oddsPrintings_)) lst_OddsLines->setSelected(line, true);
  }
  showOdds();
}

void DeckAnalysisTab::lst_OddsLines_Click() {
  oddsPrintings_.clear();
  for (int line : lst_OddsLines->selectedRows())
    if (line < cards_.main.size()) oddsPrintings_.insert(printingKey(cards_.main[line]));
  showOdds();
}

void DeckAnalysisTab::showOdds() {
  const DrawOdds odds = oddsOfLines(cards_, lst_OddsLines->selectedRows());
  lbl_OddsCards->setText(odds.copies > 0
                             ? QStringLiteral("メイン%1中 %2").arg(copies(odds.deck), copies(odds.copies))
                             : QStringLiteral("左のリストでカードを選んでください"));
  for (int r = 0; r < tbl_Odds->rowCount() && r < odds.rows.size(); ++r) {
    const DrawOddsRow& row = odds.rows[r];
    const double chances[] = {row.onPlay.atLeastOne, row.onPlay.atLeastTwo, row.onDraw.atLeastOne,
                              row.onDraw.atLeastTwo};
    for (int c = 0; c < 4; ++c)
      setCell(tbl_Odds, r, c, odds.copies > 0 ? percentText(chances[c]) : QStringLiteral("−"));
  }
}

void DeckAnalysisTab::showHand() {
  lst_Hand->setLines(hand_ ? hand_->lines() : QStringList());
  const qint64 inHand = hand_ ? hand_->handSize() : 0, library = hand_ ? hand_->librarySize() : 0;
  lbl_Hand->setText(QStringLiteral("手札 %1・ライブラリー %2").arg(copies(inHand), copies(library)));
  cmd_Draw->setEnabled(library > 0);
  cmd_Mulligan->setEnabled(inHand > 0);
}

void DeckAnalysisTab::cmd_Draw_Click() {
  if (hand_ && hand_->drawOne()) showHand();
}

void DeckAnalysisTab::cmd_Mulligan_Click() {
  if (!hand_) return;
  hand_->newHand();
  showHand();
}

void DeckAnalysisTab::cmd_Compare_Click() {
  if (!dialog_) return;
  const std::optional<QString> path = dialog_->showOpen(kCompareFilter, 1);
  if (!path) return;
  guarded(this, [&] {
    const OtherDeck other = readOtherDeck(*path, *ctx_.gCardDb, *cardNames(ctx_));
    if (!other.cards) {
      messageBox_({this, QMessageBox::Warning, other.error});
      return;
    }
    const QString list =
        comparisonText(compareDecks(readDeckCards(*ctx_.gCardDb, ctx_.gSortField), *other.cards));
    QGuiApplication::clipboard()->setText(list);
    QString heading =
        QStringLiteral("「%1」と比べた、今のデッキの増減です（クリップボードにコピーしました）。")
            .arg(QFileInfo(*path).fileName());
    if (other.unreadLines > 0)
      heading += QStringLiteral("\n読めなかった行が %1 行あります。").arg(other.unreadLines);
    showComparison(heading, list);
  });
}

void DeckAnalysisTab::showComparison(const QString& heading, const QString& list) {
  auto* dialog = named(new QDialog(this), "DeckCompareDialog");
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("比較"));
  auto* label = newLabel(dialog, "lbl_CompareFile", QStringLiteral("比べたファイル"));
  label->setText(heading);
  label->setWordWrap(true);
  auto* text =
      accessible(newTextBox(dialog, "txt_Compare", nullptr), "txt_Compare", QStringLiteral("比較の結果"));
  text->setPlainText(list);
  auto* close = newButton(dialog, "cmd_Close", QStringLiteral("閉じる"));
  connect(close, &QPushButton::clicked, dialog, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(label);
  layout->addWidget(text, 1);
  layout->addLayout(buttons);
  dialog->resize(440, 400);
  dialog->open();
}

void DeckAnalysisTab::cmb_Format_Click() {
  userSettings()->setValue(kFormatSetting, format());
  if (format().isEmpty())
    showCheck(std::nullopt);
  else
    refreshCheck();
}

}  // namespace tv

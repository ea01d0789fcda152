#include "deck/deckhistory.h"

#include <algorithm>

#include "carddb/names.h"

namespace tv {
namespace {

// Where `before` and `after` differ: the rows between their common start and
// their common end.
template <typename Change>
Change changeBetween(const DeckTableRows& before, const DeckTableRows& after) {
  const size_t shorter = std::min(before.size(), after.size());
  size_t head = 0;
  while (head < shorter && before[head] == after[head]) ++head;
  size_t tail = 0;
  while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) ++tail;
  Change change;
  change.at = head;
  change.sizeAfter = after.size();
  change.removed.assign(before.begin() + qsizetype(head), before.end() - qsizetype(tail));
  change.inserted.assign(after.begin() + qsizetype(head), after.end() - qsizetype(tail));
  return change;
}

// The table is `size` rows long and holds `expected` from `at` on: as the step left it.
bool holds(const DeckTableRows& rows, size_t size, size_t at, const DeckTableRows& expected) {
  return rows.size() == size && at + expected.size() <= size &&
         std::equal(expected.begin(), expected.end(), rows.begin() + qsizetype(at));
}

QString cardName(const DeckTableRows& rows) {
  static const qsizetype nameE = kDeckColumns.indexOf(QStringLiteral("NameE"));
  if (rows.empty() || rows.front().size() <= size_t(nameE)) return {};
  return QString::fromUtf8(rows.front()[size_t(nameE)].bytes);
}

QString stepName(DeckStep step, const QString& card, const QString& fileName) {
  switch (step) {
    case DeckStep::Add:
      return QStringLiteral("追加 ") + card;
    case DeckStep::Remove:
      return QStringLiteral("削除 ") + card;
    case DeckStep::MoveToMain:
      return QStringLiteral("メインへ移動 ") + card;
    case DeckStep::MoveToSide:
      return QStringLiteral("サイドへ移動 ") + card;
    case DeckStep::Open:
      return QStringLiteral("デッキを開く ") + fileName;
    case DeckStep::ImportText:
      return QStringLiteral("テキストから読み込み");
    case DeckStep::New:
      return QStringLiteral("新規作成");
    case DeckStep::CardDataUpdate:
      return QStringLiteral("カードデータの更新");
  }
  return {};
}

DeckPick pickOf(Database& db, const QString& table, const QString& sortField, int line) {
  DeckPick pick{-1, sortField, {}};
  if (const std::optional<DeckRow> row = findDeckRow(db, table, sortField, line)) {
    pick.line = line;
    pick.card = {row->CardSetEx, row->NameE};
  }
  return pick;
}

DeckSelection selectionOf(const DeckPick& pick, const QString& sortField) {
  if (pick.line < 0) return DeckSelection::none();
  return pick.sortField == sortField ? DeckSelection::line(pick.line) : DeckSelection::cardLine(pick.card);
}

}  // namespace

DeckMoment readDeckMoment(Database& db, const QString& sortField, int mainLine, int sideLine,
                          std::optional<DeckText> text) {
  DeckMoment m;
  for (const QString& table : {kMainDeckTable, kSideDeckTable}) {
    auto count = db.openRecordset(QStringLiteral("SELECT COUNT(*) AS n FROM ") + table,
                                  RecordsetType::Snapshot, dbForwardOnly);
    if (count.field(u"n").toLongLong() > kMaxUndoableRows) {
      m.tooLarge = true;
      return m;
    }
  }
  m.main = readDeckTableRows(db, kMainDeckTable);
  m.side = readDeckTableRows(db, kSideDeckTable);
  m.mainPick = pickOf(db, kMainDeckTable, sortField, mainLine);
  m.sidePick = pickOf(db, kSideDeckTable, sortField, sideLine);
  m.text = std::move(text);
  return m;
}

size_t DeckHistory::Step::rows() const {
  return main.removed.size() + main.inserted.size() + side.removed.size() + side.inserted.size();
}

bool DeckHistory::record(DeckStep step, const DeckMoment& before, const DeckMoment& after,
                         const QString& fileName) {
  if (before.tooLarge || after.tooLarge) {
    clear();
    return false;
  }
  Step s;
  s.main = changeBetween<TableChange>(before.main, after.main);
  s.side = changeBetween<TableChange>(before.side, after.side);
  if (s.main.empty() && s.side.empty() && before.text == after.text) return false;
  const TableChange& changed = s.main.empty() ? s.side : s.main;
  s.name = stepName(step, cardName(changed.inserted.empty() ? changed.removed : changed.inserted), fileName);
  s.pickBefore[0] = before.mainPick;
  s.pickBefore[1] = before.sidePick;
  s.pickAfter[0] = after.mainPick;
  s.pickAfter[1] = after.sidePick;
  s.textBefore = before.text;
  s.textAfter = after.text;

  for (const Step& gone : undone_) rows_ -= gone.rows();
  undone_.clear();
  rows_ += s.rows();
  done_.push_back(std::move(s));
  while (done_.size() > kMaxSteps || (rows_ > kMaxRows && done_.size() > 1)) {
    rows_ -= done_.front().rows();
    done_.pop_front();
  }
  return true;
}

std::optional<DeckRestored> DeckHistory::undo(Database& db, const QString& sortField) {
  return apply(db, sortField, true);
}

std::optional<DeckRestored> DeckHistory::redo(Database& db, const QString& sortField) {
  return apply(db, sortField, false);
}

std::optional<DeckRestored> DeckHistory::apply(Database& db, const QString& sortField, bool backwards) {
  std::deque<Step>& from = backwards ? done_ : undone_;
  std::deque<Step>& to = backwards ? undone_ : done_;
  if (from.empty()) return std::nullopt;
  const Step& step = from.back();
  const std::pair<const QString&, const TableChange&> tables[] = {{kMainDeckTable, step.main},
                                                                  {kSideDeckTable, step.side}};
  {
    Transaction transaction(db);
    for (const auto& [table, change] : tables) {
      if (change.empty()) continue;
      DeckTableRows rows = readDeckTableRows(db, table);
      const DeckTableRows& now = backwards ? change.inserted : change.removed;
      const DeckTableRows& then = backwards ? change.removed : change.inserted;
      const size_t size = backwards ? change.sizeAfter : change.sizeAfter - then.size() + now.size();
      if (!holds(rows, size, change.at, now)) {
        clear();
        return std::nullopt;
      }
      rows.erase(rows.begin() + qsizetype(change.at), rows.begin() + qsizetype(change.at + now.size()));
      rows.insert(rows.begin() + qsizetype(change.at), then.begin(), then.end());
      writeDeckTableRows(db, table, rows);
    }
    transaction.commit();
  }
  const DeckPick* picks = backwards ? step.pickBefore : step.pickAfter;
  DeckRestored restored{selectionOf(picks[0], sortField), selectionOf(picks[1], sortField),
                        backwards ? step.textBefore : step.textAfter};
  to.push_back(std::move(from.back()));
  from.pop_back();
  return restored;
}

void DeckHistory::clear() {
  done_.clear();
  undone_.clear();
  rows_ = 0;
}

}  // namespace tv

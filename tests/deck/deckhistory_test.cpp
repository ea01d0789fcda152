// Random edits, undos and redos: every undo gives back the tables exactly as
// they were before its step and every redo as they were after it, with the
// selected lines' cards; the newest 100 steps come back, no more.
#include "deck/deckhistory.h"

#include <deque>
#include <random>

#include "deck/deckfile.h"
#include "deckhelpers.h"

using namespace tv;

namespace {

struct Done {
  DeckMoment before, after;
  QString name;
};

}  // namespace

TEST_F(DeckTest, UndoAndRedoRestoreTheExactTablesOverRandomEdits) {
  f.db().execute("INSERT INTO wtbl_CardList (CardSetEx, NameE) SELECT CardSetEx, NameE FROM tbl_CardMst");
  f.addDeckRow(kSideDeckTable, "ZZ", "Ghost", "幽霊", 3);  // no master row
  const QStringList cards = tvtest::queryRows(f.db(), "SELECT CardSetEx || '|' || NameE FROM tbl_CardMst");
  const QString sortFields[] = {"NameE", "NameN", "NumCost", "CAttack", "CDefence"};
  const QString tables[] = {kMainDeckTable, kSideDeckTable};
  std::mt19937 rng(20240611);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto lines = [&](int t) { return int(f.scalar("SELECT COUNT(*) FROM " + tables[t])); };

  DeckHistory history;
  std::deque<Done> done, undone;
  int selected[2] = {-1, -1};  // what the lists show selected
  std::optional<DeckText> text;
  size_t deepest = 0;
  auto moment = [&](bool withText) {
    return readDeckMoment(f.db(), f.ctx.gSortField, selected[0], selected[1], withText ? text : std::nullopt);
  };
  // The tables exactly, and each list's selected line shows the card it showed.
  auto expectDeck = [&](const DeckMoment& m, const DeckRestored& r) {
    ASSERT_TRUE(readDeckTableRows(f.db(), kMainDeckTable) == m.main);
    ASSERT_TRUE(readDeckTableRows(f.db(), kSideDeckTable) == m.side);
    const DeckSelection selections[] = {r.main, r.side};
    const DeckPick picks[] = {m.mainPick, m.sidePick};
    for (int t = 0; t < 2; ++t) {
      selected[t] = readDeckList(f.db(), tables[t], f.ctx.gSortField, selections[t]).selection;
      const auto row = findDeckRow(f.db(), tables[t], f.ctx.gSortField, selected[t]);
      ASSERT_EQ(row.has_value(), picks[t].line >= 0);
      if (row) {
        EXPECT_EQ(row->CardSetEx + row->NameE, picks[t].card.CardSetEx + picks[t].card.NameE);
      }
      if (picks[t].sortField == f.ctx.gSortField) {
        EXPECT_EQ(selected[t], picks[t].line);
      }
    }
    EXPECT_EQ(r.text, m.text);
  };

  for (int step = 0; step < 3000; ++step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(history.canUndo(), !done.empty());
    ASSERT_EQ(history.canRedo(), !undone.empty());
    if (!done.empty()) {
      ASSERT_EQ(history.undoName(), done.back().name);
    }
    const int action = pick(24), t = pick(2);
    if (action < 6) {  // undo (4 in 24) or redo one step
      const bool back = action < 4;
      std::deque<Done>& from = back ? done : undone;
      std::deque<Done>& to = back ? undone : done;
      const auto r = back ? history.undo(f.db(), f.ctx.gSortField) : history.redo(f.db(), f.ctx.gSortField);
      ASSERT_EQ(r.has_value(), !from.empty());
      if (!r) continue;
      expectDeck(back ? from.back().before : from.back().after, *r);
      to.push_back(std::move(from.back()));
      from.pop_back();
      continue;
    }
    if (action == 6) {  // a search in another sort: the lists lose their selection
      f.ctx.gSortField = sortFields[pick(5)];
      selected[0] = selected[1] = -1;
      continue;
    }
    if (action < 9) {  // a click on a line (or past the lines)
      selected[t] = pick(lines(t) + 1) - 1;
      continue;
    }

    DeckStep kind;
    QString name;
    const bool replacing = action >= 21;
    const DeckMoment before = moment(replacing);
    if (action < 13) {  // add the card shown
      chooseCard(f.ctx, kCardListTable, pick(int(cards.size())));
      kind = DeckStep::Add;
      name = "追加 " + f.ctx.gCurrentCard.NameE;
      if (auto v = addCopyToDeck(f.ctx, tables[t])) selected[t] = v->selection;
    } else if (action < 21) {  // remove or move the selected line
      const auto row = findDeckRow(f.db(), tables[t], f.ctx.gSortField, selected[t]);
      const bool move = action >= 17;
      kind = !move ? DeckStep::Remove : t == 0 ? DeckStep::MoveToSide : DeckStep::MoveToMain;
      name = (!move ? "削除 " : t == 0 ? "サイドへ移動 " : "メインへ移動 ") + (row ? row->NameE : "");
      if (!move) {
        if (auto v = removeCopyFromDeck(f.db(), tables[t], f.ctx.gSortField, selected[t]))
          selected[t] = v->selection;
      } else if (auto r = t == 0 ? moveCopyToSide(f.db(), f.ctx.gSortField, selected[0])
                                 : moveCopyToMain(f.db(), f.ctx.gSortField, selected[1])) {
        selected[0] = r->main.selection;
        selected[1] = r->side.selection;
      }
    } else {  // a deck opened (with its title), read from text, or started anew
      const int how = pick(3);
      Deck deck;
      for (int n = how == 2 ? 0 : pick(6); n > 0; --n) {
        const QStringList key = cards[pick(int(cards.size()))].split('|');
        (pick(2) ? deck.main : deck.side).append({key[0], key[1], pick(6) + 1});
      }
      if (how != 1) text = DeckText{how == 2 ? "" : QString("deck %1").arg(step), ""};
      kind = how == 0 ? DeckStep::Open : how == 1 ? DeckStep::ImportText : DeckStep::New;
      name = how == 0 ? "デッキを開く d.tvf" : how == 1 ? "テキストから読み込み" : "新規作成";
      replaceDeckTables(f.db(), deck);
      selected[0] = selected[1] = -1;
    }
    const DeckMoment after = moment(replacing);
    const bool changed =
        !(before.main == after.main && before.side == after.side && before.text == after.text);
    ASSERT_EQ(history.record(kind, before, after, "d.tvf"), changed);
    if (!changed) continue;
    done.push_back({before, after, name});
    undone.clear();
    if (done.size() > DeckHistory::kMaxSteps) done.pop_front();
    deepest = std::max(deepest, done.size());
  }
  EXPECT_EQ(deepest, DeckHistory::kMaxSteps);  // the oldest steps did go
  while (!done.empty()) {
    const auto r = history.undo(f.db(), f.ctx.gSortField);
    ASSERT_TRUE(r);
    expectDeck(done.back().before, *r);
    done.pop_back();
  }
  EXPECT_FALSE(history.canUndo());

  // Tables changed behind the history's back: it no longer describes them, and goes.
  ASSERT_TRUE(history.redo(f.db(), f.ctx.gSortField));
  for (const QString& table : tables) f.addDeckRow(table, "ZZ", "Stray", "", 1);
  const auto before = readDeckTables(f.db());
  EXPECT_FALSE(history.undo(f.db(), f.ctx.gSortField));
  EXPECT_FALSE(history.canUndo() || history.canRedo());
  EXPECT_EQ(readDeckTables(f.db()), before);

  // A deck no deck is (a file of more rows than kept): its changes are not
  // copied, and what came before it cannot come back.
  const DeckMoment small = moment(false);
  ASSERT_TRUE(history.record(DeckStep::New, DeckMoment{}, small));
  f.db().execute(
      QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
              "INSERT INTO wtbl_DecSideList (CardSetEx, NameE, CardMaisu) SELECT 'ZZ', i, 1 FROM n")
          .arg(kMaxUndoableRows));
  const DeckMoment large = moment(false);
  EXPECT_TRUE(large.tooLarge && large.main.empty() && large.side.empty());
  EXPECT_FALSE(history.record(DeckStep::Open, small, large));
  EXPECT_FALSE(history.canUndo());
}

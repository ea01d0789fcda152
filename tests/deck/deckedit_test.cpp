#include "deck/deck.h"
#include "deckhelpers.h"

using namespace tv;

TEST_F(DeckTest, AddStopsAtFourInEachHalfButForBasicLandsAndStillSelectsTheLine) {
  const std::tuple<QString, QString, QString, int, QString> cases[] = {
      {kMainDeckTable, "8E", "Shock", 5, "4  Shock/ショック"},
      {kMainDeckTable, "8E", "Forest", 20, "20  Forest/森"},
      {kMainDeckTable, "8E", "Urza's Mine", 5, "4  Urza's Mine/ウルザの鉱山"},
      {kMainDeckTable, "US", "Gaea's Cradle", 5, "4  Gaea's Cradle/ガイアの揺籃の地"},
      {kSideDeckTable, "US", "Gaea's Cradle", 6, "4  Gaea's Cradle/ガイアの揺籃の地"},
      {kSideDeckTable, "US", "Serra Avatar", 1, "1  Serra Avatar/セラのアバター"}};
  for (const auto& [table, set, name, adds, line] : cases) {
    const auto v = add(table, set, name, adds);
    ASSERT_TRUE(v && v->selection >= 0);
    EXPECT_EQ(v->lines[v->selection], line);
  }
  EXPECT_EQ(
      f.scalar("SELECT COUNT(*) FROM wtbl_DecSideList WHERE NumCost=7 AND CAttack='*' AND CDefence='*'"), 1);
  // A card a deck file brought in as two rows counts all its copies.
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "S", 1);
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "S", 2);
  add(kSideDeckTable, "8E", "Shock", 3);
  EXPECT_EQ(copies(kSideDeckTable, "8E", "Shock"), 4);
}

TEST_F(DeckTest, BasicLandsStopWhereEveryDeckFormatStops) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", int(kMaxCopies) - 1);
  f.addDeckRow(kSideDeckTable, "8E", "Forest", "森", 5);
  add(kMainDeckTable, "8E", "Forest", 2);
  EXPECT_EQ(copies(kMainDeckTable, "8E", "Forest"), kMaxCopies);
  ASSERT_TRUE(moveCopyToMain(f.db(), f.ctx.gSortField, 0));  // into the full half: nothing moves
  EXPECT_EQ(copies(kMainDeckTable, "8E", "Forest"), kMaxCopies);
  EXPECT_EQ(copies(kSideDeckTable, "8E", "Forest"), 5);
}

TEST_F(DeckTest, RemoveTakesTheLineInSortOrderAndSelectsItOrTheLineAbove) {
  f.addDeckRow(kMainDeckTable, "8E", "Serra's Embrace", "S", 1, 1);
  f.addDeckRow(kMainDeckTable, "US", "Dark Ritual", "D", 3, 2);
  f.addDeckRow(kMainDeckTable, "US", "Counterspell", "C", 1, 3);
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "S", 0);  // as a deck file may bring in
  f.ctx.gSortField = "NumCost";                         // not the order of NameE
  const std::tuple<QString, int, int, QStringList> steps[] = {
      {kMainDeckTable, 1, 1, {"1  Serra's Embrace/S", "2  Dark Ritual/D", "1  Counterspell/C"}},
      {kMainDeckTable, 2, 1, {"1  Serra's Embrace/S", "2  Dark Ritual/D"}},
      {kMainDeckTable, 0, -1, {"2  Dark Ritual/D"}},
      {kSideDeckTable, 0, -1, {}}};
  for (const auto& [table, line, selection, lines] : steps) {
    const auto v = removeCopyFromDeck(f.db(), table, f.ctx.gSortField, line);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->lines, lines);
    EXPECT_EQ(v->selection, selection);
  }
}

TEST_F(DeckTest, MovesCarryTheRowDeleteTheLastCopyAndLoseNoneIntoAFullTarget) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", {}, 20);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", {}, 4);
  f.addDeckRow(kMainDeckTable, "8E", "Urza's Mine", "U", 1, 8, "x", 2);  // unlike the master's values
  f.addDeckRow(kSideDeckTable, "8E", "Forest", {}, 1);
  f.addDeckRow(kSideDeckTable, "OD", "Mirari", "M", 3, 9, "*", 5);
  f.addDeckRow(kSideDeckTable, "8E", "Shock", {}, 4);
  // Up or down, the source line, then main | sideboard: the lines, one blank for two, @ the selection.
  const std::tuple<bool, int, QString> steps[] = {
      {true, 1, "20 Forest/,1 Mirari/M,4 Shock/,1 Urza's Mine/U @-1 | 1 Forest/,2 Mirari/M,4 Shock/ @1"},
      {true, 2, "20 Forest/,1 Mirari/M,4 Shock/,1 Urza's Mine/U @-1 | 1 Forest/,2 Mirari/M,4 Shock/ @2"},
      {false, 2, "20 Forest/,1 Mirari/M,4 Shock/,1 Urza's Mine/U @2 | 1 Forest/,2 Mirari/M,4 Shock/ @-1"},
      {false, 3, "20 Forest/,1 Mirari/M,4 Shock/ @2 | 1 Forest/,2 Mirari/M,4 Shock/,1 Urza's Mine/U @-1"},
      {true, 0, "21 Forest/,1 Mirari/M,4 Shock/ @-1 | 2 Mirari/M,4 Shock/,1 Urza's Mine/U @-1"}};
  auto text = [](const DeckListView& v) {
    return v.lines.join(',').replace("  ", " ") + " @" + QString::number(v.selection);
  };
  for (const auto& [toMain, line, lists] : steps) {
    const auto r = toMain ? moveCopyToMain(f.db(), f.ctx.gSortField, line)
                          : moveCopyToSide(f.db(), f.ctx.gSortField, line);
    ASSERT_TRUE(r);
    EXPECT_EQ(text(r->main) + " | " + text(r->side), lists);
  }
  EXPECT_EQ(
      f.scalar("SELECT COUNT(*) FROM wtbl_DecList WHERE NumCost=9 AND CAttack='*' AND CDefence=5") +
          f.scalar("SELECT COUNT(*) FROM wtbl_DecSideList WHERE NumCost=8 AND CAttack='x' AND CDefence=2"),
      2);
}

TEST_F(DeckTest, ListsShowCopiesInSortOrderThenByNameAndCountThemPast16Bits) {
  f.addDeckRow(kMainDeckTable, "8E", "Serra Angel", "セ", 1, 5);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "シ", 30000, 1);  // as a deck file may bring in
  f.addDeckRow(kMainDeckTable, "US", "Dark Ritual", "暗", 32767, 1);
  f.addDeckRow(kMainDeckTable, "US", "Counterspell", QVariant(), 4, 2);  // Null NameN ends on the slash
  const std::pair<QString, QStringList> orders[] = {
      {"NumCost", {"32767  Dark Ritual/暗", "30000  Shock/シ", "4  Counterspell/", "1  Serra Angel/セ"}},
      {"NameN", {"4  Counterspell/", "30000  Shock/シ", "1  Serra Angel/セ", "32767  Dark Ritual/暗"}}};
  for (const auto& [field, lines] : orders) {
    f.ctx.gSortField = field;
    const auto v = readDeckList(f.db(), kMainDeckTable, f.ctx.gSortField, DeckSelection::line(2));
    EXPECT_EQ(v.lines, lines);
    EXPECT_EQ(v.selection, 2);
    EXPECT_EQ(v.label, "-メイン- 62772枚");
  }
  const auto side = readDeckList(f.db(), kSideDeckTable, f.ctx.gSortField, current());
  EXPECT_EQ(side.lines.join("") + side.label, "-サイド- 0枚");
}

TEST_F(DeckTest, TheSameCardInTwoExpansionsIsTwoLinesFoundByTheExactKey) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 2);
  f.addDeckRow(kMainDeckTable, "OD", "Forest", "森", 3);
  add(kMainDeckTable, "OD", "Forest", 0);  // shown, not added
  const auto v = readDeckList(f.db(), kMainDeckTable, f.ctx.gSortField, current());
  ASSERT_GE(v.selection, 0);
  EXPECT_EQ(v.lines[v.selection], "3  Forest/森");
  removeCopyFromDeck(f.db(), kMainDeckTable, f.ctx.gSortField,
                     v.selection);  // from that expansion's row only
  EXPECT_EQ(copies(kMainDeckTable, "8E", "Forest"), 2);
  EXPECT_EQ(copies(kMainDeckTable, "OD", "Forest"), 2);
  f.ctx.gCurrentCard.CardSetEx = "od";  // the engine's NOCASE must not leak into the match
  EXPECT_EQ(readDeckList(f.db(), kMainDeckTable, f.ctx.gSortField, current()).selection, -1);
}

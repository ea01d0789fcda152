#include "deckhelpers.h"

using namespace tv;

TEST_F(DeckTest, ListsShowCopiesInSortOrderThenByNameAndCountThemPast16Bits) {
  f.addDeckRow(kMainDeckTable, "8E", "Serra Angel", "セ", 1, 5);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "シ", 30000, 1);  // as a deck file may bring in
  f.addDeckRow(kMainDeckTable, "US", "Dark Ritual", "暗", 40000, 1);
  f.addDeckRow(kMainDeckTable, "US", "Counterspell", QVariant(), 4, 2);  // Null NameN ends on the slash
  const std::pair<QString, QStringList> orders[] = {
      {"NumCost", {"40000  Dark Ritual/暗", "30000  Shock/シ", "4  Counterspell/", "1  Serra Angel/セ"}},
      {"NameN", {"4  Counterspell/", "30000  Shock/シ", "1  Serra Angel/セ", "40000  Dark Ritual/暗"}}};
  for (const auto& [field, lines] : orders) {
    f.ctx.gSortField = field;
    const auto v = readDeckList(f.db(), kMainDeckTable, f.ctx.gSortField, DeckSelection::line(2));
    EXPECT_EQ(v.lines, lines);
    EXPECT_EQ(v.selection, 2);
    EXPECT_EQ(v.label, "-メイン- 70005枚");
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

#include "deck/decklist.h"

#include <gtest/gtest.h>

#include "deckhelpers.h"

using namespace tv;
using tvtest::CardDbFixture;

namespace {

class DeckListTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }
  CardDbFixture f;
};

}  // namespace

TEST_F(DeckListTest, LinesCountCopiesInListOrder) {
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 20, 1);
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 40);
  const auto v = RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::none());
  EXPECT_EQ(v.lines, (QStringList{"40  Forest/森", "20  Shock/ショック"}));
  EXPECT_EQ(v.count, 60);
  EXPECT_EQ(v.label, "-メイン- 60枚");

  f.addDeckRow(kSideDeckTable, "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow(kSideDeckTable, "US", "Counterspell", "対抗呪文", 4, 2);
  f.addDeckRow(kSideDeckTable, "OD", "Mirari", QVariant(), 1, 5);  // Null NameN ends the line with the slash
  const auto side = RefreshDeckList(f.ctx, kSideDeckTable, DeckSelection::line(2));
  EXPECT_EQ(side.lines, (QStringList{"4  Counterspell/対抗呪文", "1  Mirari/", "4  Shock/ショック"}));
  EXPECT_EQ(side.count, 9);
  EXPECT_EQ(side.selection, 2);
  EXPECT_EQ(side.label, "-サイド- 9枚");
}

TEST_F(DeckListTest, CountsFromZeroPast16Bits) {
  const auto empty = RefreshDeckList(f.ctx, kSideDeckTable, DeckSelection::currentCard());
  EXPECT_TRUE(empty.lines.isEmpty());
  EXPECT_EQ(empty.selection, -1);
  EXPECT_EQ(empty.label, "-サイド- 0枚");
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 40000);  // as a deck file may bring in
  f.addDeckRow(kMainDeckTable, "OD", "Forest", "森", 40000);
  EXPECT_EQ(RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::none()).label, "-メイン- 80000枚");
}

TEST_F(DeckListTest, SortColumnThenEnglishName) {
  f.addDeckRow(kMainDeckTable, "8E", "Serra Angel", "セラの天使", 1, 5, 4, 4);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 2, 1);
  f.addDeckRow(kMainDeckTable, "US", "Dark Ritual", "暗黒の儀式", 3, 1);
  f.addDeckRow(kMainDeckTable, "US", "Counterspell", "対抗呪文", 4, 2);
  f.ctx.gSortField = "NumCost";
  EXPECT_EQ(RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::none()).lines,
            (QStringList{"3  Dark Ritual/暗黒の儀式", "2  Shock/ショック", "4  Counterspell/対抗呪文",
                         "1  Serra Angel/セラの天使"}));
  f.ctx.gSortField = "NameN";
  EXPECT_EQ(RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::none()).lines.first(), "2  Shock/ショック");
}

TEST_F(DeckListTest, CurrentCardSelectionMatchesTheExactKey) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 2);
  f.addDeckRow(kMainDeckTable, "OD", "Forest", "森", 3);
  tvtest::showCard(f, "OD", "Forest");
  const auto v = RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::currentCard());
  ASSERT_GE(v.selection, 0);
  EXPECT_EQ(v.lines[v.selection], "3  Forest/森");

  f.ctx.gCurrentCard.CardSetEx = "od";  // the engine's NOCASE must not leak into the match
  EXPECT_EQ(RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::currentCard()).selection, -1);
  tvtest::showCard(f, "8E", "Shock");  // no row in the table
  EXPECT_EQ(RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::currentCard()).selection, -1);
}

TEST_F(DeckListTest, FindDeckRowTakesTheRowOfEachLine) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 2);
  f.addDeckRow(kMainDeckTable, "8E", "Serra's Embrace", "セラの抱擁", 1, 4);
  f.addDeckRow(kMainDeckTable, "OD", "Forest", "森", 3);
  const QString query = deckListQuery(kMainDeckTable, f.ctx.gSortField);
  const auto view = RefreshDeckList(f.ctx, kMainDeckTable, DeckSelection::none());
  QStringList sets;
  for (int k = 0; k < view.lines.size(); ++k) {
    const auto row = findDeckRow(f.ctx, query, k);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->index, k);
    EXPECT_EQ(deckLine(row->CardMaisu, row->NameE, row->NameN), view.lines[k]);
    sets << row->CardSetEx;
  }
  EXPECT_EQ(sets[2], "8E");
  EXPECT_NE(sets[0], sets[1]);  // the same name in two expansions: two rows
  EXPECT_EQ(findDeckRow(f.ctx, query, 2)->NameE, "Serra's Embrace");
  EXPECT_FALSE(findDeckRow(f.ctx, query, 2)->NumCost.isValid());  // not read by this query

  EXPECT_FALSE(findDeckRow(f.ctx, query, -1));
  EXPECT_FALSE(findDeckRow(f.ctx, query, 3));  // more lines than rows
  EXPECT_FALSE(findDeckRow(f.ctx, deckListQuery(kSideDeckTable, "NameE"), 0));
}

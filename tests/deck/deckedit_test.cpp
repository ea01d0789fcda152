#include "deck/deckedit.h"

#include <gtest/gtest.h>

#include "deckhelpers.h"

using namespace tv;
using tvtest::CardDbFixture;
using tvtest::showCard;

namespace {

class DeckEditTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }

  std::optional<DeckListView> addTimes(const QString& table, const QString& set, const QString& name, int n) {
    showCard(f, set, name);
    std::optional<DeckListView> v;
    for (int k = 0; k < n; ++k) v = AddCardToDeck(f.ctx, table);
    return v;
  }
  qlonglong main(const QString& set, const QString& name) {
    return tvtest::copies(f, kMainDeckTable, set, name);
  }
  qlonglong side(const QString& set, const QString& name) {
    return tvtest::copies(f, kSideDeckTable, set, name);
  }

  CardDbFixture f;
};

}  // namespace

TEST_F(DeckEditTest, AddStopsAtFourButStillSelectsTheLine) {
  addTimes(kMainDeckTable, "US", "Counterspell", 1);
  showCard(f, "8E", "Shock");
  QStringList labels;
  for (int k = 0; k < 5; ++k) {
    const auto v = AddCardToDeck(f.ctx, kMainDeckTable);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->selection, 1) << "add " << k + 1;
    labels << v->label;
  }
  EXPECT_EQ(main("8E", "Shock"), 4);
  EXPECT_EQ(labels,
            (QStringList{"-メイン- 2枚", "-メイン- 3枚", "-メイン- 4枚", "-メイン- 5枚", "-メイン- 5枚"}));
}

TEST_F(DeckEditTest, OnlyBasicLandsPassTheLimitAndEachHalfHasItsOwn) {
  EXPECT_EQ(addTimes(kMainDeckTable, "8E", "Forest", 20)->lines, QStringList{"20  Forest/森"});
  addTimes(kMainDeckTable, "8E", "Urza's Mine", 5);
  addTimes(kMainDeckTable, "US", "Gaea's Cradle", 5);
  addTimes(kSideDeckTable, "US", "Gaea's Cradle", 6);
  EXPECT_EQ(main("8E", "Urza's Mine"), 4);
  EXPECT_EQ(main("US", "Gaea's Cradle"), 4);
  EXPECT_EQ(side("US", "Gaea's Cradle"), 4);
}

TEST_F(DeckEditTest, AddWritesTheCurrentCardIntoANewRow) {
  showCard(f, "US", "Serra Avatar");
  f.ctx.gCurrentCard.NameN = "表示中の名前";  // from the current card, not the master
  const auto v = AddCardToDeck(f.ctx, kSideDeckTable);
  EXPECT_EQ(v->lines, QStringList{"1  Serra Avatar/表示中の名前"});
  EXPECT_EQ(v->selection, 0);
  EXPECT_EQ(
      f.scalar("SELECT COUNT(*) FROM wtbl_DecSideList WHERE NumCost=7 AND CAttack='*' AND CDefence='*'"), 1);
}

TEST_F(DeckEditTest, NothingToActOnChangesAndRefreshesNothing) {
  EXPECT_FALSE(AddCardToDeck(f.ctx, kMainDeckTable));  // no card shown yet
  EXPECT_FALSE(RemoveCardFromDeck(f.ctx, kMainDeckTable, 0));
  EXPECT_FALSE(cmd_MoveMain_Click(f.ctx, 0));
  addTimes(kMainDeckTable, "8E", "Shock", 2);
  for (int line : {-1, 1}) {  // no selection; a line past the table's end
    EXPECT_FALSE(RemoveCardFromDeck(f.ctx, kMainDeckTable, line));
    EXPECT_FALSE(cmd_MoveSide_Click(f.ctx, line));
  }
  EXPECT_EQ(main("8E", "Shock"), 2);
  EXPECT_EQ(tvtest::rowCount(f, kSideDeckTable), 0);
}

TEST_F(DeckEditTest, RemoveDecrementsOrDeletesAndMovesTheSelection) {
  addTimes(kMainDeckTable, "US", "Counterspell", 1);  // line 0
  addTimes(kMainDeckTable, "US", "Dark Ritual", 3);   // line 1
  addTimes(kMainDeckTable, "8E", "Shock", 1);         // line 2

  auto v = RemoveCardFromDeck(f.ctx, kMainDeckTable, 1);
  EXPECT_EQ(v->selection, 1);
  EXPECT_EQ(v->lines[1], "2  Dark Ritual/暗黒の儀式");
  EXPECT_EQ(v->label, "-メイン- 4枚");

  EXPECT_EQ(RemoveCardFromDeck(f.ctx, kMainDeckTable, 2)->selection, 1);
  EXPECT_EQ(main("8E", "Shock"), -1);

  v = RemoveCardFromDeck(f.ctx, kMainDeckTable, 0);
  EXPECT_EQ(v->selection, -1);
  EXPECT_EQ(v->lines, QStringList{"2  Dark Ritual/暗黒の儀式"});
  EXPECT_EQ(v->label, "-メイン- 2枚");
}

TEST_F(DeckEditTest, ARowOfNoCopiesIsDeletedNotDecremented) {
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "ショック", 0);
  const auto v = RemoveCardFromDeck(f.ctx, kSideDeckTable, 0);
  EXPECT_TRUE(v->lines.isEmpty());
  EXPECT_EQ(side("8E", "Shock"), -1);
}

TEST_F(DeckEditTest, RemoveFindsTheLineInTheCurrentSortOrder) {
  addTimes(kSideDeckTable, "8E", "Serra Angel", 2);
  addTimes(kSideDeckTable, "8E", "Ornithopter", 2);
  addTimes(kSideDeckTable, "US", "Counterspell", 2);
  f.ctx.gSortField = "NumCost";  // Ornithopter 0, Counterspell 2, Serra Angel 5
  RemoveCardFromDeck(f.ctx, kSideDeckTable, 1);
  EXPECT_EQ(side("US", "Counterspell"), 1);
  EXPECT_EQ(side("8E", "Ornithopter") + side("8E", "Serra Angel"), 4);
}

TEST_F(DeckEditTest, ApostrophesAddRemoveAndMoveLikeAnyName) {
  addTimes(kMainDeckTable, "8E", "Serra's Embrace", 3);
  RemoveCardFromDeck(f.ctx, kMainDeckTable, 0);
  EXPECT_EQ(main("8E", "Serra's Embrace"), 2);
  cmd_MoveSide_Click(f.ctx, 0);
  cmd_MoveSide_Click(f.ctx, 0);
  EXPECT_EQ(main("8E", "Serra's Embrace"), -1);
  EXPECT_EQ(side("8E", "Serra's Embrace"), 2);
  cmd_MoveMain_Click(f.ctx, 0);
  RemoveCardFromDeck(f.ctx, kSideDeckTable, 0);
  RemoveCardFromDeck(f.ctx, kMainDeckTable, 0);
  EXPECT_EQ(tvtest::rowCount(f, kMainDeckTable) + tvtest::rowCount(f, kSideDeckTable), 0);
}

TEST_F(DeckEditTest, MoveIntoANewRowCarriesTheSourceValues) {
  // Values unlike the master's, so the test sees where they come from.
  f.addDeckRow(kSideDeckTable, "US", "Serra Avatar", "旧名", 3, 9, "*", 5);
  f.addDeckRow(kSideDeckTable, "8E", "Shock", "ショック", 1, 1);
  const auto r = cmd_MoveMain_Click(f.ctx, 0);
  ASSERT_TRUE(r);
  EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM wtbl_DecList WHERE NameN='旧名' AND CardMaisu=1 AND NumCost=9 "
                     "AND CAttack='*' AND CDefence=5"),
            1);
  EXPECT_EQ(r->main.lines, QStringList{"1  Serra Avatar/旧名"});
  EXPECT_EQ(r->main.selection, -1);
  EXPECT_EQ(r->side.lines, (QStringList{"2  Serra Avatar/旧名", "1  Shock/ショック"}));
  EXPECT_EQ(r->side.selection, 0);
  EXPECT_EQ(r->main.label + r->side.label, "-メイン- 1枚-サイド- 3枚");
}

TEST_F(DeckEditTest, MovingTheLastCopyDeletesTheSourceRow) {
  for (const char* name : {"Counterspell", "Dark Ritual", "Gaea's Cradle"})
    f.addDeckRow(kMainDeckTable, "US", name, "", 1);
  auto r = cmd_MoveSide_Click(f.ctx, 2);
  EXPECT_EQ(r->main.selection, 1);
  EXPECT_EQ(r->side.selection, -1);
  EXPECT_EQ(side("US", "Gaea's Cradle"), 1);
  EXPECT_EQ(main("US", "Gaea's Cradle"), -1);

  r = cmd_MoveSide_Click(f.ctx, 0);
  EXPECT_EQ(r->main.selection, -1);
  EXPECT_EQ(r->main.lines, QStringList{"1  Dark Ritual/"});
  EXPECT_EQ(r->side.lines, (QStringList{"1  Counterspell/", "1  Gaea's Cradle/"}));
}

TEST_F(DeckEditTest, MoveIntoAFullTargetLosesNoCopy) {
  addTimes(kMainDeckTable, "8E", "Shock", 4);
  addTimes(kSideDeckTable, "US", "Counterspell", 1);
  addTimes(kSideDeckTable, "8E", "Shock", 1);
  auto r = cmd_MoveMain_Click(f.ctx, 1);
  ASSERT_TRUE(r);  // both lists still redrawn, the source line still selected
  EXPECT_EQ(main("8E", "Shock"), 4);
  EXPECT_EQ(side("8E", "Shock"), 1);
  EXPECT_EQ(r->side.selection, 1);
  EXPECT_EQ(r->main.selection, -1);
  EXPECT_EQ(r->main.label + r->side.label, "-メイン- 4枚-サイド- 2枚");

  addTimes(kSideDeckTable, "8E", "Shock", 3);
  r = cmd_MoveSide_Click(f.ctx, 0);
  EXPECT_EQ(main("8E", "Shock"), 4);
  EXPECT_EQ(side("8E", "Shock"), 4);
  EXPECT_EQ(r->main.selection, 0);
}

TEST_F(DeckEditTest, BasicLandsMovePastTheLimit) {
  f.addDeckRow(kMainDeckTable, "8E", "Forest", "森", 20);
  f.addDeckRow(kSideDeckTable, "8E", "Forest", "森", 1);
  const auto r = cmd_MoveMain_Click(f.ctx, 0);
  EXPECT_EQ(main("8E", "Forest"), 21);
  EXPECT_EQ(side("8E", "Forest"), -1);
  EXPECT_EQ(r->main.count + r->side.count, 21);
}

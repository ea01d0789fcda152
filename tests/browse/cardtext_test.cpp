#include "browse/cardtext.h"

#include <gtest/gtest.h>

#include "support/printers.h"
#include "browse/search.h"
#include "support/fixtures.h"

using namespace tv;

namespace {

class CardTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    research({0, 1, 2});
  }
  void research(QList<int> sets) {
    SearchFilter filter;
    filter.selectedSets = sets;
    lines = runCardSearch(f.ctx, filter).cardLines;
  }
  // Shows the first card-list line of the card with this English name.
  CardTextView show(const QString& nameE) {
    for (int i = 0; i < lines.size(); ++i)
      if (lines[i].startsWith(nameE + u'/')) return ShowCardText(f.ctx, kCardListTable, i);
    ADD_FAILURE() << "not listed: " << nameE.toStdString();
    return {};
  }
  const CurrentCard& card() const { return f.ctx.gCurrentCard; }

  tvtest::CardDbFixture f;
  QStringList lines;
};

}  // namespace

TEST_F(CardTextTest, CreatureSetsEveryField) {
  const CardTextView v = show("Serra Angel");
  ASSERT_TRUE(v.changed);
  EXPECT_EQ(
      v.text,
      "第8版   レア\r\nSerra Angel / セラの天使\r\n3WW\r\nクリーチャー 天使\r\n飛行、警戒\r\n[4/4]\r\n");
  EXPECT_EQ(v.background, QColor(245, 245, 245));
  EXPECT_EQ(QStringList({card().NameE, card().NameN, card().CardSetEx, card().Rare, card().PowerToughness,
                         card().TypeNameE}),
            QStringList({"Serra Angel", "セラの天使", "8E", "R", "4/4", "Creature"}));
  EXPECT_EQ(QVariantList(
                {card().Cost, card().NumCost, card().TextN, card().CAttack, card().CDefence, card().CType}),
            QVariantList({"3WW", 5, "飛行、警戒", 4, 4, "天使"}));
}

TEST_F(CardTextTest, ArtifactCreatureLandAndUnknownRarity) {
  EXPECT_EQ(show("Ornithopter").text,
            "第8版   アンコモン\r\nOrnithopter / 羽ばたき飛行機械\r\n0\r\nアーティファクト クリーチャー "
            "飛行機械\r\n飛行\r\n["
            "0/2]\r\n");
  EXPECT_EQ(card().TypeNameE, "Artifact Creature");

  const CardTextView land = show("Forest");
  EXPECT_EQ(land.text, "第8版   コモン\r\nForest / 森\r\n\r\n土地\r\n\r\n");
  EXPECT_EQ(land.background, QColor(240, 220, 160));
  EXPECT_EQ(card().TypeNameE, "Land");
  EXPECT_EQ(card().CType, QVariant(QString()));  // the empty text, not Null
  EXPECT_EQ(card().PowerToughness, "");

  EXPECT_EQ(show("Dark Ritual").text,
            "ウルザズ・サーガDark Ritual / 暗黒の儀式\r\nB\r\nインスタント\r\n(黒)(黒)(黒)を加える。\r\n");
}

TEST_F(CardTextTest, CreatureWithNullCreatureType) {
  EXPECT_EQ(show("Shadowmage Infiltrator").text,
            "オデッセイ   レア\r\nShadowmage Infiltrator / 影魔道士の浸透者\r\n1UB\r\nクリーチャー "
            "\r\n畏怖\r\n[1/3]\r\n");
  EXPECT_FALSE(card().CType.isValid());
}

TEST_F(CardTextTest, CodesOutsideTheTablesKeepWhatWasThere) {
  f.addCard({"8E", "Odd Card", "奇妙", "X", "Z", 1, "1", "C", "text", {}, {}, {}});
  research({0});
  show("Forest");
  const CardTextView v = show("Odd Card");
  ASSERT_TRUE(v.changed);
  EXPECT_FALSE(v.background.has_value());
  EXPECT_EQ(v.text, "第8版   コモン\r\nOdd Card / 奇妙\r\n1\r\ntext\r\n");
  EXPECT_EQ(card().TypeNameE, "Land");
}

TEST_F(CardTextTest, SameCardFromAnyListChangesNothing) {
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  ASSERT_TRUE(show("Shock").changed);
  EXPECT_FALSE(show("Shock").changed);
  EXPECT_FALSE(ShowCardText(f.ctx, kMainDeckTable, 0).changed);
  // The same English name in another expansion is another card.
  show("Forest");
  ASSERT_TRUE(ShowCardText(f.ctx, kCardListTable, int(lines.lastIndexOf("Forest/森"))).changed);
  EXPECT_EQ(card().CardSetEx, "OD");
}

TEST_F(CardTextTest, DeckLinesByListOrderAndMissingMasterRows) {
  f.addDeckRow("wtbl_DecList", "8E", "Alpha Missing", "無い", 1, 0);
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecList", "US", "Counterspell", "対抗呪文", 2, 2);
  show("Forest");
  EXPECT_FALSE(ShowCardText(f.ctx, kMainDeckTable, 0).changed);  // no master row: nothing changes
  EXPECT_EQ(card().NameE, "Forest");
  ShowCardText(f.ctx, kMainDeckTable, 1);  // the line after it is still its own card
  EXPECT_EQ(card().NameE, "Counterspell");
  f.ctx.gSortField = "NumCost";
  ShowCardText(f.ctx, kMainDeckTable, 1);
  EXPECT_EQ(card().NameE, "Shock");
  EXPECT_FALSE(ShowCardText(f.ctx, kMainDeckTable, 3).changed);
  EXPECT_FALSE(ShowCardText(f.ctx, kCardListTable, int(lines.size())).changed);
  EXPECT_FALSE(ShowCardText(f.ctx, kCardListTable, -1).changed);
}

TEST_F(CardTextTest, NullTextsReadAsEmpty) {
  f.addSet(3, "x", "NX");
  f.addCard({"NX", "Bare", "", "W", "I", 1, "W", "C", {}, {}, {}, {}});
  f.db().execute("UPDATE tbl_CardMst SET NameN = NULL, Rare = NULL WHERE NameE = 'Bare'");
  f.db().execute("UPDATE tbl_CardSet SET Cardset = NULL WHERE CardsetEx = 'NX'");
  research({3});
  EXPECT_EQ(lines, QStringList{"Bare/"});
  EXPECT_EQ(show("Bare").text, "Bare / \r\nW\r\nインスタント\r\n\r\n");
  EXPECT_TRUE(card().NameN.isEmpty());
  EXPECT_TRUE(card().Rare.isEmpty());
  EXPECT_FALSE(card().TextN.isValid());
}

TEST(CardDetailQuery, LooksUpTheKeyAsLiterals) {
  EXPECT_TRUE(
      cardDetailQuery({"8E", "Serra's Embrace"})
          .endsWith(" FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardSetEx = "
                    "tbl_CardSet.CardsetEx WHERE tbl_CardMst.CardSetEx = '8E' AND tbl_CardMst.NameE = "
                    "'Serra''s Embrace'"));
}

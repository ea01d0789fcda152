#include "browse/cardtext.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "browse/search.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

class CardTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    f.addCard({"8E", "Odd Card", "奇妙", "X", "Z", 1, "1", "C", "text", {}, {}, {}});
    f.addCard({"8E", "Ajani", "アジャニ", "W", "PW", 4, "2WW", "M", "初期忠誠度：4", {}, {}, {}});
    SearchFilter filter;
    filter.selectedSets = {0, 1, 2};
    filter.sortField = "NumCost";  // the lines stay in this order, whatever the English names
    lines = searchCards(f.ctx, filter).cardLines.toStringList();
  }
  CardTextView showLine(const QString& table, int index) { return chooseCard(f.ctx, table, index); }
  // The first card-list line of the card with this English name.
  CardTextView show(const QString& nameE) {
    return showLine(kCardListTable, int(lines.indexOf(QRegularExpression(nameE + "/.*"))));
  }
  const CurrentCard& card() const { return f.ctx.gCurrentCard; }

  tvtest::CardDbFixture f;
  QStringList lines;
};

}  // namespace

TEST_F(CardTextTest, TextBackgroundCurrentCardAndTheSameCardRule) {
  f.addDeckRow("wtbl_DecSideList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  const struct {
    const char* nameE;
    std::optional<QColor> background;
    QString typeNameE;
    QVariant ctype;
    QString text;
  } cases[] = {
      {"Ornithopter", QColor(240, 220, 160), "Artifact Creature", "飛行機械",
       "第8版   アンコモン\r\nOrnithopter / 羽ばたき飛行機械\r\n0\r\n"
       "アーティファクト クリーチャー 飛行機械\r\n飛行\r\n[0/2]\r\n"},
      {"Shadowmage Infiltrator", QColor(255, 255, 120), "Creature", QVariant(),
       "オデッセイ   レア\r\nShadowmage Infiltrator / 影魔道士の浸透者\r\n"
       "1UB\r\nクリーチャー \r\n畏怖\r\n[1/3]\r\n"},
      // An unknown rarity adds no line break.
      {"Dark Ritual", QColor(200, 200, 200), "Instant", QString(),
       "ウルザズ・サーガDark Ritual / 暗黒の儀式\r\nB\r\nインスタント\r\n(黒)(黒)(黒)を加える。\r\n"},
      {"Forest", QColor(240, 220, 160), "Land", QString(),
       "第8版   コモン\r\nForest / 森\r\n\r\n土地\r\n\r\n"},
      // Codes outside the tables keep the background and the English type name.
      {"Odd Card", std::nullopt, "Land", QString(), "第8版   コモン\r\nOdd Card / 奇妙\r\n1\r\ntext\r\n"},
      {"Ajani", QColor(245, 245, 245), "Planeswalker", QString(),
       "第8版   神話レア\r\nAjani / アジャニ\r\n2WW\r\nプレインズウォーカー\r\n初期忠誠度：4\r\n"},
      {"Serra Angel", QColor(245, 245, 245), "Creature", "天使",
       "第8版   レア\r\nSerra Angel / セラの天使\r\n3WW\r\nクリーチャー 天使\r\n飛行、警戒\r\n[4/4]\r\n"},
  };
  for (const auto& c : cases) {
    const CardTextView v = show(c.nameE);
    EXPECT_EQ(v.text, c.text);
    EXPECT_EQ(v.background, c.background) << c.nameE;
    EXPECT_EQ(card().TypeNameE, c.typeNameE) << c.nameE;
    EXPECT_EQ(card().CType, c.ctype) << c.nameE;
  }
  EXPECT_EQ(QVariantList({card().NameE, card().NameN, card().CardSetEx, card().Rare, card().PowerToughness,
                          card().Cost, card().NumCost, card().TextN, card().CAttack, card().CDefence}),
            QVariantList({"Serra Angel", "セラの天使", "8E", "R", "4/4", "3WW", 5, "飛行、警戒", 4, 4}));
  EXPECT_FALSE(show("Serra Angel").changed);  // the same card again, from any list
  EXPECT_FALSE(showLine(kSideDeckTable, 0).changed);
  show("Shock");
  EXPECT_TRUE(card().PowerToughness.isEmpty());  // not a creature
}

TEST_F(CardTextTest, CardByExpansionListOrderAndMissingMasterRows) {
  f.addDeckRow("wtbl_DecList", "8E", "Alpha Missing", "無い", 1, 0);
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecList", "US", "Counterspell", "対抗呪文", 2, 2);
  show("Forest");  // the same English name in another expansion is another card
  ASSERT_TRUE(showLine(kCardListTable, int(lines.lastIndexOf("Forest/森"))).changed);
  EXPECT_EQ(card().CardSetEx, "OD");
  EXPECT_FALSE(showLine(kMainDeckTable, 0).changed);  // no master row: nothing changes
  EXPECT_EQ(card().NameE, "Forest");
  showLine(kMainDeckTable, 1);  // the line after it is still its own card
  EXPECT_EQ(card().NameE, "Shock");
  f.ctx.gSortField = "NameE";
  showLine(kMainDeckTable, 1);
  EXPECT_EQ(card().NameE, "Counterspell");
  for (int past : {3, -1}) EXPECT_FALSE(showLine(kMainDeckTable, past).changed);
  EXPECT_FALSE(showLine(kCardListTable, int(lines.size())).changed);
}

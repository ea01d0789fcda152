#include "browse/search.h"

#include <gtest/gtest.h>

#include "support/printers.h"
#include "support/fixtures.h"

using namespace tv;

namespace {

const QString kHead = QStringLiteral(
    "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence )"
    " SELECT tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, "
    "tbl_CardMst.CAttack, tbl_CardMst.CDefence"
    " FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx WHERE");

SearchFilter sets(QList<int> positions, const char* sort = "NameE") {
  SearchFilter f;
  f.selectedSets = positions;
  f.sortField = QString::fromLatin1(sort);
  return f;
}

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }
  // English names of the result, in list order.
  QStringList names(const SearchFilter& filter) {
    QStringList out;
    for (const QString& line : runCardSearch(f.ctx, filter).cardLines) out << line.section(u'/', 0, 0);
    return out;
  }
  tvtest::CardDbFixture f;
};

}  // namespace

TEST(SearchStatement, ExpansionPartAndSortTail) {
  EXPECT_EQ(buildSearchStatement(sets({0}), "NameE"),
            kHead + " ( tbl_CardSet.CardsetNo =0 ) ORDER BY tbl_CardMst.NameE ,tbl_CardMst.NameE");
  EXPECT_EQ(buildSearchStatement(sets({0, 2}), "NumCost"),
            kHead +
                " ( tbl_CardSet.CardsetNo =0 OR tbl_CardSet.CardsetNo =2 ) ORDER BY tbl_CardMst.NumCost "
                ",tbl_CardMst.NameE");
  EXPECT_EQ(buildSearchStatement(sets({}), "CDefence"),
            kHead + " ( tbl_CardSet.CardsetNo =99999 ) ORDER BY tbl_CardMst.CDefence ,tbl_CardMst.NameE");
}

TEST(SearchStatement, EveryFilterInItsFixedOrder) {
  SearchFilter f = sets({1});
  f.W = f.U = f.B = f.R = f.G = f.M = f.N = false;
  f.Land = f.Instant = f.Sorcery = f.Enchantment = f.Artifact = f.Creature = false;
  f.CTypeOn = true;
  f.CType = QStringLiteral(" Urza's ");  // as the combo box holds it, spaces included
  EXPECT_EQ(
      buildSearchStatement(f, "NameN"),
      kHead +
          " ( tbl_CardSet.CardsetNo =1 ) AND tbl_CardMst.Color <> 'W' AND tbl_CardMst.Color <> 'B' AND "
          "tbl_CardMst.Color <> 'U' AND tbl_CardMst.Color <> 'G' AND tbl_CardMst.Color <> 'R' AND "
          "tbl_CardMst.Color <> 'N' AND tbl_CardMst.Color <> 'M' AND tbl_CardMst.CardType <> 'L' AND "
          "tbl_CardMst.CardType <> 'BL' AND tbl_CardMst.CardType <> 'LL' AND tbl_CardMst.CardType <> 'I' AND "
          "tbl_CardMst.CardType <> 'S' AND tbl_CardMst.CardType <> 'E' AND tbl_CardMst.CardType <> 'EC' AND "
          "tbl_CardMst.CardType <> 'EL' AND tbl_CardMst.CardType <> 'EP' AND tbl_CardMst.CardType <> 'EA' "
          "AND "
          "tbl_CardMst.CardType <> 'A' AND tbl_CardMst.CardType <> 'AC' AND tbl_CardMst.CardType <> 'LA' AND "
          "tbl_CardMst.CardType <> 'C' AND tbl_CardMst.CardType <> 'AC' AND tbl_CardMst.CType  Like "
          "'* Urza''s *' ORDER BY tbl_CardMst.NameN ,tbl_CardMst.NameE");
}

TEST(SearchStatement, SortOptionAndFrameToggle) {
  EXPECT_EQ(sortFieldFromOptions(false, true, false, false, true), "NameN");  // the first selected wins
  EXPECT_EQ(sortFieldFromOptions(false, false, false, true, false), "CAttack");
  EXPECT_TRUE(sortFieldFromOptions(false, false, false, false, false).isEmpty());
  qint16 flag = 0;
  EXPECT_FALSE(nextFrameToggle(flag));  // the first double-click clears
  EXPECT_TRUE(nextFrameToggle(flag));
  EXPECT_FALSE(nextFrameToggle(flag));
}

TEST_F(SearchTest, ExpansionsAndRepeatedSearch) {
  const SearchResult first = runCardSearch(f.ctx, sets({0}));
  EXPECT_EQ(first.cardLines,
            (QStringList{"Forest/森", "Llanowar Elves/ラノワールのエルフ", "Ornithopter/羽ばたき飛行機械",
                         "Serra Angel/セラの天使", "Serra's Embrace/セラの抱擁", "Shock/ショック",
                         "Urza's Mine/ウルザの鉱山"}));
  EXPECT_EQ(runCardSearch(f.ctx, sets({0})).cardLines, first.cardLines);
  EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM wtbl_CardList"), 7);
  EXPECT_EQ(names(sets({1, 2})).size(), 9);
  EXPECT_TRUE(names(sets({})).isEmpty());
  EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM wtbl_CardList"), 0);
}

TEST_F(SearchTest, ColourAndTypeFilters) {
  SearchFilter filter = sets({0, 1, 2});
  filter.W = filter.U = filter.B = filter.R = filter.G = filter.N = false;
  EXPECT_EQ(names(filter), (QStringList{"Mystic Enforcer", "Shadowmage Infiltrator"}));

  // AC goes with either box; LA is an artifact only.
  filter = sets({0, 1, 2});
  filter.Creature = false;
  QStringList found = names(filter);
  EXPECT_FALSE(found.contains("Ornithopter"));
  EXPECT_TRUE(found.contains("Mirari"));
  EXPECT_EQ(found.size(), 10);
  filter = sets({0, 1, 2});
  filter.Artifact = false;
  found = names(filter);
  EXPECT_FALSE(found.contains("Ornithopter"));
  EXPECT_FALSE(found.contains("Mirari"));
  EXPECT_EQ(found.size(), 14);
}

TEST_F(SearchTest, NullAndUnknownCodes) {
  f.addCard({"8E", "Null Card", "ヌル", "", "", 1, "1", "C", {}, {}, {}, {}});
  f.addCard({"8E", "Odd Card", "奇妙", "X", "Z", 1, "1", "C", {}, {}, {}, {}});
  f.db().execute("UPDATE tbl_CardMst SET Color = NULL, CardType = NULL WHERE NameE = 'Null Card'");
  EXPECT_EQ(names(sets({0})).size(), 9);
  SearchFilter filter = sets({0});
  filter.M = false;  // a comparison with Null is never true
  EXPECT_FALSE(names(filter).contains("Null Card"));
  filter = sets({0});
  filter.Land = filter.Instant = filter.Sorcery = filter.Enchantment = filter.Artifact = filter.Creature =
      false;
  EXPECT_EQ(names(filter), QStringList{"Odd Card"});
}

TEST_F(SearchTest, CreatureTypeContainsTheTextAsItStands) {
  f.addCard({"8E", "Urza's Golem", "ゴーレム", "N", "AC", 3, "3", "C", {}, "Urza's Golem", 2, 2});
  f.addCard({"8E", "Elf Druid", "ドルイド", "G", "C", 1, "G", "C", {}, "Elf Druid", 1, 1});
  SearchFilter filter = sets({0, 1, 2});
  filter.CTypeOn = true;
  filter.CType = QStringLiteral("urza's");
  EXPECT_EQ(names(filter), QStringList{"Urza's Golem"});
  filter.CType = QStringLiteral(" Druid");
  EXPECT_EQ(names(filter), QStringList{"Elf Druid"});
  filter.CType = QStringLiteral("Druid ");
  EXPECT_TRUE(names(filter).isEmpty());
  filter.CType.clear();  // Null never passes
  EXPECT_EQ(names(filter).size(), 7);
}

TEST_F(SearchTest, SortOrdersTieByEnglishName) {
  EXPECT_EQ(names(sets({0}, "NameN")), (QStringList{"Urza's Mine", "Shock", "Serra Angel", "Serra's Embrace",
                                                    "Llanowar Elves", "Forest", "Ornithopter"}));
  EXPECT_EQ(names(sets({0}, "NumCost")),
            (QStringList{"Forest", "Urza's Mine", "Ornithopter", "Llanowar Elves", "Shock", "Serra's Embrace",
                         "Serra Angel"}));
  EXPECT_EQ(names(sets({0}, "CAttack")), (QStringList{"Forest", "Serra's Embrace", "Shock", "Urza's Mine",
                                                      "Ornithopter", "Llanowar Elves", "Serra Angel"}));
  EXPECT_EQ(names(sets({0}, "CDefence")), (QStringList{"Forest", "Serra's Embrace", "Shock", "Urza's Mine",
                                                       "Llanowar Elves", "Ornithopter", "Serra Angel"}));
  EXPECT_EQ(f.ctx.gSortField, "CDefence");
  names(sets({0}, ""));  // no option selected: the last sort stays
  EXPECT_EQ(f.ctx.gSortField, "CDefence");
}

TEST_F(SearchTest, DeckListsFollowTheNewSortWithoutSelection) {
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 15);
  f.ctx.gCurrentCard.NameE = "Shock";  // a current card selects nothing here
  f.ctx.gCurrentCard.CardSetEx = "8E";
  const SearchResult result = runCardSearch(f.ctx, sets({0}, "NumCost"));
  EXPECT_EQ(result.mainDeck.lines, (QStringList{"4  Shock/ショック", "2  Serra Angel/セラの天使"}));
  EXPECT_EQ(result.mainDeck.selection, -1);
  EXPECT_EQ(result.sideDeck.table, "wtbl_DecSideList");
  EXPECT_EQ(result.sideDeck.lines, QStringList{"15  Forest/森"});
}

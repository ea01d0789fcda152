#include "browse/search.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

// `off` names the boxes to clear: colours by code, card types by their initial in lower case.
SearchFilter sets(QList<int> positions, const QString& sort = "NameE", const char* off = "") {
  using F = SearchFilter;
  bool F::*const boxes[] = {&F::W,           &F::U,        &F::B,        &F::R,           &F::G,
                            &F::M,           &F::N,        &F::Land,     &F::Instant,     &F::Sorcery,
                            &F::Enchantment, &F::Artifact, &F::Creature, &F::Planeswalker};
  SearchFilter f;
  f.selectedSets = positions;
  f.sortField = sort;
  for (int i = 0; i < 14; ++i) f.*boxes[i] = !std::strchr(off, "WUBRGMNliseacp"[i]);
  return f;
}

QString notIn(const char* column, const QStringList& codes) {
  QString out;
  for (const QString& code : codes) out += QStringLiteral(" AND tbl_CardMst.%1 <> '%2'").arg(column, code);
  return out;
}

}  // namespace

TEST(SearchStatement, FullText) {
  const QString head = QStringLiteral(
      "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence ) SELECT "
      "tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, tbl_CardMst."
      "CAttack, tbl_CardMst.CDefence FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardsetEx = "
      "tbl_CardSet.CardsetEx WHERE ( tbl_CardSet.CardsetNo =");
  EXPECT_EQ(buildSearchStatement(sets({0}), "NameE"),
            head + "0 ) ORDER BY tbl_CardMst.NameE ,tbl_CardMst.NameE");
  EXPECT_EQ(buildSearchStatement(sets({0, 2}), "NumCost"),
            head + "0 OR tbl_CardSet.CardsetNo =2 ) ORDER BY tbl_CardMst.NumCost ,tbl_CardMst.NameE");
  EXPECT_EQ(buildSearchStatement(sets({}), "CDefence"),
            head + "99999 ) ORDER BY tbl_CardMst.CDefence ,tbl_CardMst.NameE");

  SearchFilter all = sets({1}, "NameE", "WUBRGMNliseacp");
  all.CTypeOn = true;
  all.CType = QStringLiteral(" Urza's ");  // as the combo box holds it, spaces included
  EXPECT_EQ(buildSearchStatement(all, "NameN"),
            head + "1 )" + notIn("Color", {"W", "B", "U", "G", "R", "N", "M"}) +
                notIn("CardType", {"L", "BL", "LL", "I", "S", "E", "EC", "EL", "EP", "EA", "A", "AC", "LA",
                                   "C", "AC", "PW"}) +
                " AND tbl_CardMst.CType  Like '* Urza''s *' ORDER BY tbl_CardMst.NameN ,tbl_CardMst.NameE");
}

TEST(Search, ExpansionsFiltersAndSortOrders) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  f.addSet(3, "x", "NX");
  f.addCard({"NX", "Null Card", "ヌル", "", "", 1, "1", "C", {}, {}, {}, {}});
  f.addCard({"NX", "Odd Card", "奇妙", "X", "Z", 1, "1", "C", {}, {}, {}, {}});
  f.addCard({"NX", "Urza's Golem", "ゴーレム", "N", "AC", 3, "3", "C", {}, "Urza's Golem", 2, 2});
  f.addCard({"NX", "Elf Druid", "ドルイド", "G", "C", 1, "G", "C", {}, "Elf Druid", 1, 1});
  f.db().execute("UPDATE tbl_CardMst SET Color = NULL, CardType = NULL WHERE NameE = 'Null Card'");
  const struct {
    QList<int> sets;
    int option;  // 英語名, 日本語名, コスト, パワー, タフネス; none: the last sort stays (a repeat)
    QString names;
    const char* off = "";
    const char* ctype = nullptr;  // none: the box is unchecked
  } cases[] = {
      // Every sort ties by English name; each search starts from an empty list.
      {{0}, 0, "Forest, Llanowar Elves, Ornithopter, Serra Angel, Serra's Embrace, Shock, Urza's Mine"},
      {{0}, 1, "Urza's Mine, Shock, Serra Angel, Serra's Embrace, Llanowar Elves, Forest, Ornithopter"},
      {{0}, 2, "Forest, Urza's Mine, Ornithopter, Llanowar Elves, Shock, Serra's Embrace, Serra Angel"},
      {{0}, 4, "Forest, Serra's Embrace, Shock, Urza's Mine, Llanowar Elves, Ornithopter, Serra Angel"},
      {{0}, 3, "Forest, Serra's Embrace, Shock, Urza's Mine, Ornithopter, Llanowar Elves, Serra Angel"},
      {{0}, -1, "Forest, Serra's Embrace, Shock, Urza's Mine, Ornithopter, Llanowar Elves, Serra Angel"},
      {{3}, 0, "Elf Druid, Null Card, Odd Card, Urza's Golem"},  // Null and unknown codes, every box checked
      // A comparison with Null is never true; unknown codes pass. AC goes with either box, LA is an artifact.
      {{1, 3}, 0, "Mystic Enforcer, Odd Card, Shadowmage Infiltrator", "WUBRGN"},
      {{1, 3}, 0, "Mirari, Odd Card", "liec"},
      {{0, 3}, 0, "Elf Druid, Llanowar Elves, Odd Card, Serra Angel", "liea"},
      // The creature type goes between the wildcards as it stands; Null never passes.
      {{0, 3}, 0, "Urza's Golem", "", "urza's"},
      {{0, 3}, 0, "Elf Druid", "", " Druid"},
      {{0, 3}, 0, "", "", "Druid "},
      {{0, 3}, 0, "Elf Druid, Llanowar Elves, Ornithopter, Serra Angel, Urza's Golem", "", ""},
  };
  auto names = [&](const SearchFilter& filter) {  // the English names, in list order
    QStringList out;
    for (const QString& line : searchCards(f.ctx, filter).cardLines) out << line.section(u'/', 0, 0);
    return out.join(u", ");
  };
  for (const auto& c : cases) {
    const int o = c.option;
    SearchFilter filter = sets(c.sets, sortFieldFromOptions(o == 0, o == 1, o == 2, o == 3, o == 4), c.off);
    filter.CTypeOn = c.ctype;
    filter.CType = QString::fromUtf8(c.ctype);
    EXPECT_EQ(names(filter), c.names) << o << c.off << '/' << (c.ctype ? c.ctype : "-");
  }
}

#include "browse/search.h"

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>

#include "browse/cardcatalogue.h"
#include "carddb/builder.h"
#include "carddb/creaturetypes.h"
#include "carddb/schema.h"
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
    for (const QString& line : searchCards(f.ctx, filter).cardLines.toStringList())
      out << line.section(u'/', 0, 0);
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

TEST(Search, NameBoxNarrowsWithEveryFilterAndSort) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  const struct {
    const char16_t* name;
    int option;
    const char* off;
    QString names;
  } cases[] = {
      {u"せら", 0, "", "Serra Angel, Serra Avatar, Serra's Embrace"},
      {u"ＳＥＲＲＡ", 2, "", "Serra's Embrace, Serra Angel, Serra Avatar"},
      {u"せら", 1, "c", "Serra's Embrace"},
      {u"らのわーる", 0, "", "Llanowar Elves"},
      {u"えるふ", 0, "G", ""},
      {u"s e r r a ' s", 0, "", "Serra's Embrace"},
      {u"ー ", 0, "WBRGMN", "Counterspell"},  // folds to nothing: no name filter
  };
  for (const auto& c : cases) {
    const int o = c.option;
    SearchFilter filter =
        sets({0, 1, 2}, sortFieldFromOptions(o == 0, o == 1, o == 2, o == 3, o == 4), c.off);
    filter.name = QString::fromUtf16(c.name);
    QStringList got;
    for (const QString& line : searchCards(f.ctx, filter).cardLines.toStringList())
      got << line.section(u'/', 0, 0);
    EXPECT_EQ(got.join(u", "), c.names) << filter.name.toStdString();
  }
  // A name that folds to nothing leaves the statement as it always was.
  SearchFilter blank = sets({0});
  blank.name = " ・";
  EXPECT_EQ(buildSearchStatement(blank, "NameE"), buildSearchStatement(sets({0}), "NameE"));
}

TEST(Search, NameFilterNamesTheRowsAnIndexCanFind) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  const NameFilter serra(cardNames(f.ctx), u"せら");  // found by the Japanese names only
  auto names = serra.candidateNames(3);
  ASSERT_TRUE(names);
  names->sort();
  EXPECT_EQ(*names, (QStringList{"Serra Angel", "Serra Avatar", "Serra's Embrace"}));
  EXPECT_FALSE(serra.candidateNames(2));  // more than asked for: every row is read instead
}

namespace {

// wtbl_CardList as stored: every value with its type, in row order.
QStringList cardListRows(Database& db) {
  QStringList rows;
  for (auto rs =
           db.openRecordset("SELECT quote(CardSetEx) || quote(NameE) || quote(NameN) || quote(NumCost) || "
                            "typeof(CAttack) || quote(CAttack) || typeof(CDefence) || quote(CDefence) AS r "
                            "FROM wtbl_CardList",
                            RecordsetType::Snapshot, dbForwardOnly);
       !rs.eof(); rs.moveNext())
    rows << rs.text(u"r");
  return rows;
}

}  // namespace

// The catalogue gives the statement's rows, row for row, and its lines, over
// the sample's cards (reprints in many expansions tie on every sort) and odd
// rows, for every sort and a table of filters; and it follows new cards.
TEST(Search, CatalogueGivesTheStatementsRowsAndLines) {
  tvtest::CardDbFixture f;
  f.ctx.gCardDb.reset();
  QFile::remove(f.path());
  const QString data = QStringLiteral(TV_SOURCE_DIR "/data/");
  tvtools::buildCardDatabase({data + "cards.csv", data + "sets.csv", data + "tokens.csv", f.path(), 1});
  f.ctx.gCardDb = Database::open(f.path(), kCardDbConnect);
  keepWorkingTablesInMemory(f.db());
  const int sets = int(f.scalar("SELECT count(*) FROM tbl_CardSet"));
  f.addSet(sets, "x", "ZZ");
  f.addCard({"ZZ", "Null Card", "ヌル", "", "", {}, "1", "C", {}, {}, "x", 2.5});
  f.addCard({"ZZ", "forest", "森", "X", "Z", 0, "1", "C", {}, "Elf", "1+*", {}});
  f.db().execute("UPDATE tbl_CardMst SET Color = NULL, CardType = NULL WHERE NameE = 'Null Card'");

  QList<int> all, some;
  for (int i = 0; i <= sets; ++i) (i % 3 ? some : all) << i;
  all += some;
  std::sort(all.begin(), all.end());
  const struct {
    QList<int> sets;
    const char* off;
    const char* ctype;      // none: the box is unchecked
    const char* name = "";  // txt_Name
    bool grouped = false;   // 同名カードをまとめる
    const char* type = "";  // the creature type the box names
  } cases[] = {
      {all, "", nullptr},
      {some, "", nullptr},
      {all, "WUBRGMN", nullptr},
      {all, "liseac", nullptr},
      {all, "c", nullptr},
      {all, "aW", nullptr},
      {all, "", "Elf"},
      {all, "lG", " Wizard"},
      {all, "", ""},
      {{}, "", nullptr},
      {{1, 4}, "U", nullptr},
      {all, "", nullptr, "ら"},
      {some, "G", nullptr, "ＥＬ"},
      {all, "", "Elf", "ｆｏｒｅｓｔ"},
      {all, "", nullptr, "ぬる"},
      {all, "", nullptr, "", true},
      {some, "G", nullptr, "ｆｏｒｅｓｔ", true},
      {all, "", nullptr, "森", true},
      {all, "", "x", "", false, "エルフ"},
      {some, "", "x", "", true, "ゴブリン"},
  };
  const QString sorts[] = {"NameE", "NameN", "NumCost", "CAttack", "CDefence"};
  auto compare = [&] {
    const auto cardNames = CardNames::load(f.db());
    for (const auto& c : cases)
      for (const QString& sort : sorts) {
        SearchFilter filter = ::sets(c.sets, sort, c.off);
        filter.CTypeOn = c.ctype;
        filter.CType = QString::fromUtf8(c.ctype);
        filter.oneLinePerName = c.grouped;
        filter.creatureType = QString::fromUtf8(c.type);
        const auto names = std::make_shared<NameFilter>(cardNames, QString::fromUtf8(c.name));
        f.db().definePredicate("NameMatch", 2, [&](auto a) { return names->matches(a[0], a[1]); });
        const auto byName = names->empty() ? nullptr : names;
        f.db().execute("DELETE FROM wtbl_CardList");
        const QStringList lines = runSearchStatement(f.db(), filter, sort, byName.get());
        const QStringList rows = cardListRows(f.db());
        EXPECT_TRUE(!*c.name || !lines.isEmpty()) << c.name;  // the name cases find something
        f.db().execute("DELETE FROM wtbl_CardList");
        const auto fast = fillFromCatalogue(f.db(), filter, sort, byName, true);
        ASSERT_TRUE(fast);
        EXPECT_EQ(fast->toStringList(), lines) << sort.toStdString() << c.off << c.sets.size() << c.name;
        EXPECT_EQ(cardListRows(f.db()), rows) << sort.toStdString() << c.off << c.sets.size();
      }
  };
  compare();
  f.addCard({"ZZ", "Plains", "平地", "N", "BL", {}, {}, "C", {}, {}, {}, {}});
  compare();
  f.db().execute("DELETE FROM wtbl_CardList");
  fillFromCatalogue(f.db(), ::sets(all), "NameE");
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_CardList WHERE CardSetEx = 'ZZ'"), 3);
}

// One line per English name: the printing of the newest selected expansion
// (the lowest number), in the table the detail and the add buttons read;
// with a name typed, the names that fold to it first.
TEST(Search, OneLinePerNameShowsTheNewestSelectedPrinting) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  f.addCard({"OD", "Karplusan Forest", "カープルーザンの森", "N", "L", {}, {}, "R", {}, {}, {}, {}});
  const struct {
    QList<int> sets;
    const char* sort;
    bool grouped;
    const char* name;
    QString rows;  // NameE@CardSetEx of wtbl_CardList
    qsizetype elsewhere = 0;
  } cases[] = {
      {{0, 1}, "NameN", false, "森", "Karplusan Forest@OD, Forest@8E, Forest@OD"},
      {{0, 1}, "NameN", true, "森", "Forest@8E, Karplusan Forest@OD"},
      {{1, 2}, "NameE", true, "forest", "Forest@OD, Karplusan Forest@OD"},
      {{0, 1, 2}, "NumCost", true, "", "Forest@8E, Gaea's Cradle@US, Karplusan Forest@OD, Urza's Mine@8E"},
      {{2}, "NameE", false, "ｆｏｒｅｓｔ", "", 3},
      {{2}, "NameE", true, "ｆｏｒｅｓｔ", "", 2},
      {{2}, "NameE", false, "t:土地 forest", "", 3},  // a query, too
      {{2}, "NameE", true, "t:土地 forest", "", 2},
  };
  for (const auto& c : cases) {
    SearchFilter filter = sets(c.sets, c.sort, *c.name ? "" : "iseacp");
    filter.oneLinePerName = c.grouped;
    filter.name = QString::fromUtf8(c.name);
    const SearchResult result = searchCards(f.ctx, filter);
    QStringList rows;
    for (auto rs = f.db().openRecordset("SELECT NameE || '@' || CardSetEx AS r FROM wtbl_CardList",
                                        RecordsetType::Snapshot, dbForwardOnly);
         !rs.eof(); rs.moveNext())
      rows << rs.text(u"r");
    EXPECT_EQ(rows.join(", "), c.rows) << c.name << c.grouped;
    EXPECT_EQ(result.cardLines.size(), rows.size());
    EXPECT_EQ(result.elsewhere, c.elsewhere) << c.name << c.grouped;
  }
}

// A creature type named in either language finds every card that has it
// among its types, over real cards.
TEST(Search, CreatureTypeAmongTheCardsTypes) {
  tvtest::CardDbFixture f;
  f.ctx.gCardDb = tvtest::openFactsCardDb();
  QList<int> all;
  for (int i = 0; i < f.scalar("SELECT count(*) FROM tbl_CardSet"); ++i) all << i;
  QStringList found[2];
  for (const char* typed : {"ゴブリン", "goblin"}) {
    SearchFilter filter = sets(all);
    filter.CTypeOn = true;
    filter.CType = QString::fromUtf8(typed);
    searchCards(f.ctx, filter);
    QStringList& ctypes = found[*typed == 'g'];
    for (auto rs = f.db().openRecordset(
             "SELECT DISTINCT tbl_CardMst.CType FROM wtbl_CardList INNER JOIN tbl_CardMst ON "
             "wtbl_CardList.CardSetEx = tbl_CardMst.CardSetEx AND wtbl_CardList.NameE = tbl_CardMst.NameE",
             RecordsetType::Snapshot, dbForwardOnly);
         !rs.eof(); rs.moveNext())
      ctypes << rs.text(u"CType");
    ctypes.sort();
  }
  EXPECT_EQ(found[0], found[1]);
  EXPECT_TRUE(found[0].contains("ゴブリン・戦士")) << found[0].join(' ').toStdString();
  for (const QString& ctype : found[0])
    EXPECT_TRUE(CreatureTypes::holds(ctype, u"ゴブリン")) << ctype.toStdString();
}

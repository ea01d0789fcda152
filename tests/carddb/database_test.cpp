#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>

#include "carddb/dialect.h"
#include "carddb/schema.h"
#include "support/fixtures.h"
#include "text/sqlliteral.h"

using namespace tv;
using tvtest::CardDbFixture;

namespace {

QStringList column(Database& db, const QString& sql, const QString& field) {
  QStringList out;
  for (auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly); !rs.eof(); rs.moveNext())
    out << rs.text(field);
  return out;
}

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }
  CardDbFixture f;
};

}  // namespace

TEST(JetLike, WildcardsCaseAndCodePoints) {
  EXPECT_TRUE(jetLike("*elf*", "Elf Druid"));
  EXPECT_TRUE(jetLike("*ELF*", "high elf"));
  EXPECT_TRUE(jetLike("*", ""));
  EXPECT_TRUE(jetLike("a?c", "abc"));
  EXPECT_FALSE(jetLike("a?c", "ac"));
  EXPECT_FALSE(jetLike("*elf*", "Goblin"));
  EXPECT_TRUE(jetLike("*ゴブリン*", "ゴブリン・ウィザード"));
  EXPECT_TRUE(jetLike("?・*", "人・間"));  // '?' takes one whole code point
  EXPECT_FALSE(jetLike("*ゴブリン*", "ゴブリ"));
  EXPECT_TRUE(jetLike("* Wizard *", "Goblin Wizard Lord"));
  EXPECT_FALSE(jetLike("* Wizard *", "Goblin Wizard"));  // spaces around the text are kept
  EXPECT_TRUE(jetLike("*a*b*c", "xxaxxbxxbc"));          // backtracking past a false start
}

TEST(Dialect, DeleteWithColumnListLosesTheList) {
  EXPECT_EQ(adaptDialect("Delete CardSetEx, NameE, NameN, CardMaisu FROM wtbl_DecList WHERE CardSetEx='8E'"),
            "DELETE FROM wtbl_DecList WHERE CardSetEx='8E'");
  EXPECT_EQ(adaptDialect("Delete wtbl_DecList.CardSetEx, wtbl_DecList.NameE FROM wtbl_DecList WHERE x=1"),
            "DELETE FROM wtbl_DecList WHERE x=1");
  EXPECT_EQ(adaptDialect("DELETE FROM wtbl_CardList"), "DELETE FROM wtbl_CardList");
  EXPECT_EQ(adaptDialect("DELETE FROM t WHERE NameE='a FROM b'"), "DELETE FROM t WHERE NameE='a FROM b'");
}

TEST(SqlLiteral, DoublesQuotes) {
  EXPECT_EQ(sqlLiteral(u"Serra's Embrace"), "'Serra''s Embrace'");
  EXPECT_EQ(sqlLiteral(u""), "''");
  EXPECT_EQ(sqlLiteral(u"''"), "''''''");
}

TEST(OpenDatabase, EveryFailureFailsAtOpen) {
  CardDbFixture good;
  const QString dir = good.dir();
  good.ctx.gCardDb.reset();
  EXPECT_NO_THROW(Database::open(good.path(), kCardDbConnect));
  EXPECT_NO_THROW(Database::open(good.path(), ";pwd=QMRTLWZOP"));  // key name in any case

  EXPECT_THROW(Database::open(dir + "/missing.db", kCardDbConnect), DbError);
  EXPECT_FALSE(QFile::exists(dir + "/missing.db"));  // opening never creates
  EXPECT_THROW(Database::open(good.path(), ";PWD=WRONG"), DbError);
  EXPECT_THROW(Database::open(good.path(), ""), DbError);

  QFile garbage(dir + "/garbage.db");
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write(QByteArray(8192, 'x'));
  garbage.close();
  EXPECT_THROW(Database::open(garbage.fileName(), kCardDbConnect), DbError);

  // A plain, unencrypted SQLite file, even one with the right tables.
  const QString plain = dir + "/plain.db";
  {
    auto db = Database::create(plain, "");
    for (const QString& s : cardDatabaseSchema()) db->execute(s);
  }
  EXPECT_THROW(Database::open(plain, kCardDbConnect), DbError);

  // Keyed correctly but without the card tables.
  const QString empty = dir + "/empty.db";
  {
    auto db = Database::create(empty, kCardDbConnect);
    db->execute("CREATE TABLE x (a)");
  }
  EXPECT_THROW(Database::open(empty, kCardDbConnect), DbError);
}

TEST_F(DatabaseTest, NamesMatchInAnyCaseQualifiedOrNot) {
  auto rs = f.db().openRecordset(
      "SELECT tbl_CardMst.CardSetEX, tbl_cardMst.Cost, tbl_CardSet.Cardset FROM tbl_CardMst INNER JOIN "
      "tbl_CardSet ON tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx WHERE tbl_cardmst.NameE = 'Shock'",
      RecordsetType::Snapshot, dbForwardOnly);
  ASSERT_FALSE(rs.eof());
  EXPECT_EQ(rs.text(u"cost"), "R");
  EXPECT_EQ(rs.text(u"COST"), "R");
  EXPECT_EQ(rs.text(u"tbl_CardMst.Cost"), "R");
  EXPECT_EQ(rs.text(u"CardSetEx"), "8E");
  EXPECT_EQ(rs.text(u"CardSet"), "第8版");
  EXPECT_EQ(rs.text(u"TBL_CARDSET.CARDSET"), "第8版");
  EXPECT_THROW(rs.field(u"NoSuchField"), DbError);
}

TEST_F(DatabaseTest, NullIsNullAndEmptyResultIsEofAtOnce) {
  auto rs = f.db().openRecordset("SELECT CType, TextN, CAttack FROM tbl_CardMst WHERE NameE='Shock'",
                                 RecordsetType::Snapshot, dbForwardOnly);
  EXPECT_FALSE(rs.field(u"CType").isValid());
  EXPECT_TRUE(rs.isNull(u"CAttack"));
  EXPECT_EQ(rs.text(u"TextN"), "2点のダメージを与える。");

  auto empty = f.db().openRecordset("SELECT NameE FROM tbl_CardMst WHERE NameE='None'",
                                    RecordsetType::Snapshot, dbForwardOnly);
  EXPECT_TRUE(empty.eof());
  EXPECT_THROW(empty.field(u"NameE"), DbError);
  auto emptyDynaset = f.db().openRecordset("SELECT NameE FROM wtbl_DecList");
  EXPECT_TRUE(emptyDynaset.eof());
}

TEST_F(DatabaseTest, PowerIsIntegerWhereNumericTextOtherwise) {
  auto rs = f.db().openRecordset(
      "SELECT NameE, CAttack FROM tbl_CardMst WHERE NameE='Serra Avatar' OR "
      "NameE='Serra Angel' ORDER BY NameE",
      RecordsetType::Snapshot, dbForwardOnly);
  EXPECT_EQ(rs.field(u"CAttack").typeId(), QMetaType::LongLong);
  rs.moveNext();
  EXPECT_EQ(rs.field(u"CAttack"), QVariant(QString("*")));
}

TEST_F(DatabaseTest, SearchInsertKeepsItsOrderWithoutOrderBy) {
  // The search's own statement, with a creature-type Like, read back plainly.
  f.db().execute(
      "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence ) SELECT "
      "tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, "
      "tbl_CardMst.CAttack, tbl_CardMst.CDefence FROM tbl_CardMst INNER JOIN tbl_CardSet ON "
      "tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx WHERE ( tbl_CardSet.CardsetNo =0 OR "
      "tbl_CardSet.CardsetNo =1 ) AND tbl_CardMst.Color <> 'W' AND tbl_CardMst.CardType <> 'I' ORDER BY "
      "tbl_CardMst.NumCost ,tbl_CardMst.NameE");
  const QStringList names =
      column(f.db(), "SELECT wtbl_CardList.NameE, wtbl_CardList.NameN FROM wtbl_CardList", "NameE");
  // Nulls first, then ascending cost, ties by English name.
  EXPECT_EQ(names, QStringList({"Forest", "Forest", "Urza's Mine", "Ornithopter", "Llanowar Elves",
                                "Shadowmage Infiltrator", "Mystic Enforcer", "Mirari"}));

  f.db().execute("DELETE FROM wtbl_CardList", dbFailOnError);
  f.db().execute(
      "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence ) SELECT "
      "tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, "
      "tbl_CardMst.CAttack, tbl_CardMst.CDefence FROM tbl_CardMst INNER JOIN tbl_CardSet ON "
      "tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx WHERE ( tbl_CardSet.CardsetNo =0 OR "
      "tbl_CardSet.CardsetNo =1 ) AND tbl_CardMst.CType  Like '*・*' ORDER BY tbl_CardMst.NameE "
      ",tbl_CardMst.NameE");
  EXPECT_EQ(column(f.db(), "SELECT NameE FROM wtbl_CardList", "NameE"),
            QStringList({"Llanowar Elves", "Mystic Enforcer"}));
}

TEST_F(DatabaseTest, NestedJoinWithAndWithoutSpace) {
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 2);
  f.addDeckRow("wtbl_DecList", "OD", "Mirari", "ミラーリ", 1);
  const QString T = "wtbl_DecList";
  auto rs = f.db().openRecordset(
      "SELECT tbl_CardMst.CardSetEX, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.Color , "
      "tbl_CardMst.Cost, tbl_CardMst.NumCost, tbl_CardMst.Rare, tbl_CardMst.CardType, tbl_CardMst.TextN , "
      "tbl_CardMst.CType, tbl_CardMst.CAttack, tbl_CardMst.CDefence, tbl_CardSet.Cardset FROM (tbl_CardMst "
      "INNER JOIN " +
          T + " ON (tbl_CardMst.CardSetEx = " + T + ".CardSetEx) AND(tbl_CardMst.NameE = " + T +
          ".NameE)) INNER JOIN tbl_CardSet ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx ORDER BY "
          "tbl_cardMst.NumCost,tbl_cardMst.NameE",
      RecordsetType::Snapshot, dbForwardOnly);
  ASSERT_FALSE(rs.eof());
  EXPECT_EQ(rs.text(u"NameE"), "Shock");
  rs.move(1);
  EXPECT_EQ(rs.text(u"Cardset"), "オデッセイ");
  rs.moveNext();
  EXPECT_TRUE(rs.eof());
}

TEST_F(DatabaseTest, GroupByListsDistinctCreatureTypes) {
  const QStringList types =
      column(f.db(),
             "SELECT tbl_CardMst.CType From tbl_CardMst GROUP BY tbl_CardMst.CType ORDER "
             "BY tbl_CardMst.CType",
             "CType");
  EXPECT_EQ(types.first(), "");  // the Null group comes first and reads as empty
  EXPECT_EQ(types.size(), 6);
}

TEST_F(DatabaseTest, DeleteFormRemovesExactlyTheMatchingRows) {
  f.addDeckRow("wtbl_DecList", "8E", "Serra's Embrace", "セラの抱擁", 1);
  f.addDeckRow("wtbl_DecList", "US", "Serra's Embrace", "セラの抱擁", 1);
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 3);
  f.db().execute("Delete CardSetEx, NameE, NameN, CardMaisu FROM wtbl_DecList WHERE CardSetEx=" +
                 sqlLiteral(u"8E") + " AND NameE=" + sqlLiteral(u"Serra's Embrace"));
  EXPECT_EQ(column(f.db(), "SELECT CardSetEx || NameE AS k FROM wtbl_DecList", "k"),
            QStringList({"USSerra's Embrace", "8ESerra Angel"}));
  f.db().execute(
      "Delete wtbl_DecList.CardSetEx, wtbl_DecList.NameE, wtbl_DecList.NameN, wtbl_DecList.CardMaisu FROM "
      "wtbl_DecList WHERE wtbl_DecList.CardSetEx='US' AND wtbl_DecList.NameE='Serra''s Embrace'");
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
}

TEST_F(DatabaseTest, DynasetEditsAndAddsThroughAJoin) {
  const QString q =
      "SELECT wtbl_DecList.CardSetEx, wtbl_DecList.NameE, wtbl_DecList.NameN, wtbl_DecList.CardMaisu, "
      "wtbl_DecList.NumCost, wtbl_DecList.CAttack, wtbl_DecList.CDefence,tbl_CardMst.CardType FROM "
      "wtbl_DecList INNER JOIN tbl_CardMst ON wtbl_DecList.CardSetEx = tbl_CardMst.CardSetEx AND "
      "wtbl_DecList.NameE = tbl_CardMst.NameE WHERE (wtbl_DecList.CardSetEx = '8E' AND wtbl_DecList.NameE = "
      "'Serra''s Embrace')";
  auto rs = f.db().openRecordset(q, RecordsetType::Dynaset, dbInconsistent);
  ASSERT_TRUE(rs.eof());
  rs.addNew();
  rs.setField(u"CardSetEx", "8E");
  rs.setField(u"NameE", "Serra's Embrace");
  rs.setField(u"NameN", "セラの抱擁");
  rs.setField(u"CardMaisu", 1);
  rs.setField(u"NumCost", 4);
  rs.setField(u"CAttack", QVariant());
  rs.setField(u"CDefence", QVariant());
  rs.update();
  rs.close();

  auto again = f.db().openRecordset(q, RecordsetType::Dynaset, dbInconsistent);
  ASSERT_FALSE(again.eof());
  EXPECT_EQ(again.text(u"CardType"), "EC");
  EXPECT_EQ(again.field(u"NumCost").toInt(), 4);
  EXPECT_TRUE(again.isNull(u"CAttack"));
  again.edit();
  again.setField(u"CardMaisu", again.field(u"CardMaisu").toInt() + 1);
  again.update();
  EXPECT_EQ(again.field(u"CardMaisu").toInt(), 2);
  EXPECT_EQ(f.scalar("SELECT CardMaisu FROM wtbl_DecList"), 2);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM tbl_CardMst WHERE CardType='EC'"), 1);  // master untouched
  EXPECT_THROW(again.setField(u"CardMaisu", 3), DbError);                          // outside Edit
}

TEST_F(DatabaseTest, FailOnErrorLeavesNothingBehind) {
  f.db().execute(
      "CREATE TEMP TRIGGER stop_third BEFORE INSERT ON wtbl_DecList WHEN "
      "(SELECT count(*) FROM wtbl_DecList) >= 2 BEGIN SELECT RAISE(ABORT, 'full'); END");
  f.db().execute("INSERT INTO wtbl_DecList (NameE, CardMaisu) VALUES ('a', 1)");
  EXPECT_THROW(f.db().execute("INSERT INTO wtbl_DecList (NameE, CardMaisu) SELECT NameE, 1 FROM tbl_CardMst",
                              dbFailOnError),
               DbError);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  EXPECT_THROW(f.db().execute("DELETE FROM no_such_table", dbFailOnError), DbError);
  f.db().execute("DELETE FROM wtbl_DecList", dbFailOnError);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 0);
}

TEST_F(DatabaseTest, ExpansionsReadBackInNumberOrder) {
  // Inserted out of order on purpose: the number is the row's identity.
  CardDbFixture g;
  g.addSet(2, "C", "CC");
  g.addSet(0, "A", "AA");
  g.addSet(1, "B", "BB");
  EXPECT_EQ(column(g.db(), "SELECT tbl_CardSet.Cardset FROM tbl_CardSet", "Cardset"),
            QStringList({"A", "B", "C"}));
}

TEST_F(DatabaseTest, TextComparesWithoutAsciiCase) {
  EXPECT_EQ(column(f.db(), "SELECT NameE FROM tbl_CardMst WHERE NameE = 'shock'", "NameE"),
            QStringList({"Shock"}));
  EXPECT_EQ(
      column(f.db(), "SELECT NameE FROM tbl_CardMst WHERE CardSetEx='us' ORDER BY NameE", "NameE").first(),
      "Counterspell");
}

TEST(WorkingTables, LiveInMemoryAndLeaveTheFileAlone) {
  CardDbFixture f;  // its connection keeps the working tables in memory, as the program's does
  tvtest::addStandardCards(f);
  f.ctx.gCardDb.reset();
  QFile file(f.path());
  ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner));  // a card database installed read-only
  auto db = Database::open(f.path(), kCardDbConnect);
  keepWorkingTablesInMemory(*db);
  db->execute(
      "INSERT INTO wtbl_DecList (CardSetEx, NameE, CardMaisu, CAttack) VALUES ('8E', 'Shock', 2, '3')");
  db->execute(
      "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence ) SELECT "
      "CardSetEx, NameE, NameN, NumCost, CAttack, CDefence FROM tbl_CardMst ORDER BY NameE");
  db->execute("DELETE FROM wtbl_CardList", dbFailOnError);
  auto rs = db->openRecordset("SELECT CardMaisu, CAttack FROM wtbl_DecList", RecordsetType::Snapshot,
                              dbForwardOnly);
  EXPECT_EQ(rs.field(u"CAttack").typeId(), QMetaType::LongLong);  // the file's column definitions hold
  rs.close();
  db.reset();

  ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  auto again = Database::open(f.path(), kCardDbConnect);
  auto rows =
      again->openRecordset("SELECT count(*) AS n FROM wtbl_DecList", RecordsetType::Snapshot, dbForwardOnly);
  EXPECT_EQ(rows.field(u"n").toInt(), 0);
}

#include <gtest/gtest.h>

#include <QFile>
#include <chrono>
#include <thread>

#include "carddb/dialect.h"
#include "carddb/schema.h"
#include "support/fixtures.h"
#include "support/printers.h"
#include "text/sqlliteral.h"

using namespace tv;
using tvtest::CardDbFixture;

namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }
  CardDbFixture f;
};

}  // namespace

TEST(Dialect, JetWildcardsDeleteFormAndLiterals) {
  EXPECT_TRUE(jetLike("*ELF*", "high elf"));
  EXPECT_TRUE(jetLike("?・*", "人・間"));  // '?' takes one whole code point
  EXPECT_FALSE(jetLike("a?c", "ac"));
  EXPECT_FALSE(jetLike("* Wizard *", "Goblin Wizard"));  // spaces around the text are kept
  EXPECT_TRUE(jetLike("*a*b*c", "xxaxxbxxbc"));          // backtracking past a false start

  EXPECT_EQ(adaptDialect("Delete wtbl_DecList.CardSetEx, NameE FROM wtbl_DecList WHERE x=1"),
            "DELETE FROM wtbl_DecList WHERE x=1");
  EXPECT_EQ(adaptDialect("DELETE FROM t WHERE NameE='a FROM b'"), "DELETE FROM t WHERE NameE='a FROM b'");
  EXPECT_EQ(sqlLiteral(u"Serra's Embrace"), "'Serra''s Embrace'");
}

TEST(OpenDatabase, EveryFailureFailsAtOpen) {
  CardDbFixture good;
  const QString dir = good.dir();
  good.ctx.gCardDb.reset();
  EXPECT_NO_THROW(Database::open(good.path(), ";pwd=QMRTLWZOP"));  // key name in any case

  tvtest::writeFile(dir + "/garbage.db", QByteArray(8192, 'x'));
  {  // a plain SQLite file with the right tables, and a keyed one without them
    auto plain = Database::create(dir + "/plain.db", "");
    for (const QString& s : cardDatabaseSchema()) plain->execute(s);
    Database::create(dir + "/empty.db", kCardDbConnect)->execute("CREATE TABLE x (a)");
  }
  const std::pair<QString, QString> failures[] = {
      {"missing.db", kCardDbConnect}, {"cards.db", ";PWD=WRONG"},   {"cards.db", ""},
      {"garbage.db", kCardDbConnect}, {"plain.db", kCardDbConnect}, {"empty.db", kCardDbConnect}};
  for (const auto& [file, connect] : failures)
    EXPECT_THROW(Database::open(dir + "/" + file, connect), DbError) << file.toStdString();
  EXPECT_FALSE(QFile::exists(dir + "/missing.db"));  // opening never creates
}

TEST_F(DatabaseTest, FieldsByAnyCaseWithNullsAndTypedPower) {
  auto rs = f.db().openRecordset(
      "SELECT tbl_CardMst.CardSetEX, tbl_cardMst.Cost, tbl_CardMst.CType, tbl_CardMst.CAttack, "
      "tbl_CardSet.Cardset FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardsetEx = "
      "tbl_CardSet.CardsetEx WHERE tbl_cardmst.NameE = 'shock' OR NameE = 'Serra Avatar' ORDER BY NameE",
      RecordsetType::Snapshot, dbForwardOnly);
  EXPECT_EQ(rs.field(u"CAttack"), QVariant(QString("*")));  // text where not a number
  rs.moveNext();
  EXPECT_EQ(rs.text(u"cost"), "R");
  EXPECT_EQ(rs.text(u"tbl_CardMst.COST"), "R");
  EXPECT_EQ(rs.text(u"TBL_CARDSET.CARDSET"), "第8版");
  EXPECT_FALSE(rs.field(u"CType").isValid());  // Null, not ""
  EXPECT_THROW(rs.field(u"NoSuchField"), DbError);
  rs.moveNext();
  EXPECT_TRUE(rs.eof());

  auto empty = f.db().openRecordset("SELECT NameE FROM wtbl_DecList");
  EXPECT_TRUE(empty.eof());
  EXPECT_THROW(empty.field(u"NameE"), DbError);
}

// Expansions inserted out of order, codes against the alphabet, read back by number by every query.
TEST(CardSets, ReadBackInNumberOrder) {
  CardDbFixture g;
  for (int no : {2, 0, 1}) g.addSet(no, QString::number(no), QString(QChar(u'Z' - no)));
  EXPECT_EQ(tvtest::queryRows(g.db(), "SELECT tbl_CardSet.Cardset FROM tbl_CardSet"),
            QStringList({"0", "1", "2"}));
  EXPECT_EQ(tvtest::queryRows(g.db(), "SELECT CardsetEx FROM tbl_CardSet"), QStringList({"Z", "Y", "X"}));
}

TEST_F(DatabaseTest, DynasetEditsAndAddsThroughAJoin) {
  const QString q =
      "SELECT wtbl_DecList.CardSetEx, wtbl_DecList.NameE, wtbl_DecList.NameN, wtbl_DecList.CardMaisu, "
      "wtbl_DecList.NumCost, wtbl_DecList.CAttack, wtbl_DecList.CDefence,tbl_CardMst.CardType FROM "
      "wtbl_DecList "
      "INNER JOIN tbl_CardMst ON wtbl_DecList.CardSetEx = tbl_CardMst.CardSetEx AND wtbl_DecList.NameE = "
      "tbl_CardMst.NameE WHERE (wtbl_DecList.CardSetEx = '8E' AND wtbl_DecList.NameE = 'Serra''s Embrace')";
  auto rs = f.db().openRecordset(q, RecordsetType::Dynaset, dbInconsistent);
  ASSERT_TRUE(rs.eof());
  rs.addNew();
  const std::pair<const char16_t*, QVariant> values[] = {
      {u"CardSetEx", "8E"}, {u"NameE", "Serra's Embrace"}, {u"NameN", "セラの抱擁"}, {u"CardMaisu", 1},
      {u"NumCost", 4},      {u"CAttack", QVariant()}};
  for (const auto& [name, value] : values) rs.setField(name, value);
  rs.update();

  auto again = f.db().openRecordset(q, RecordsetType::Dynaset, dbInconsistent);
  ASSERT_FALSE(again.eof());
  EXPECT_EQ(again.text(u"CardType"), "EC");
  EXPECT_TRUE(again.isNull(u"CAttack"));
  again.edit();
  again.setField(u"CardMaisu", again.field(u"CardMaisu").toInt() + 1);
  again.update();
  EXPECT_EQ(f.scalar("SELECT CardMaisu FROM wtbl_DecList"), 2);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM tbl_CardMst WHERE CardType='EC'"), 1);  // master untouched
  EXPECT_THROW(again.setField(u"CardMaisu", 3), DbError);                          // outside Edit

  // Deleting the current row moves on to the next; a statement that is not a
  // plain SELECT cannot be updated and is refused rather than writing nothing.
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "S", 1);
  auto rows = f.db().openRecordset("SELECT CardSetEx, NameE FROM wtbl_DecList ORDER BY NameE");
  rows.remove();
  EXPECT_EQ(rows.text(u"NameE"), "Shock");
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  for (const char* sql :
       {"-- x\nSELECT NameE FROM wtbl_DecList", "WITH d AS (SELECT * FROM wtbl_DecList) SELECT NameE FROM d"})
    EXPECT_THROW(f.db().openRecordset(sql), DbError) << sql;
}

TEST_F(DatabaseTest, FailOnErrorLeavesNothingBehind) {
  f.db().execute(
      "CREATE TEMP TRIGGER stop_third BEFORE INSERT ON wtbl_DecList WHEN (SELECT count(*) FROM wtbl_DecList) "
      ">= 2 "
      "BEGIN SELECT RAISE(ABORT, 'full'); END");
  f.db().execute("INSERT INTO wtbl_DecList (NameE, CardMaisu) VALUES ('a', 1)");
  EXPECT_THROW(f.db().execute("INSERT INTO wtbl_DecList (NameE, CardMaisu) SELECT NameE, 1 FROM tbl_CardMst",
                              dbFailOnError),
               DbError);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  // A second statement is refused, not dropped: nothing runs.
  EXPECT_THROW(f.db().execute("DELETE FROM wtbl_DecList; DELETE FROM tbl_CardMst"), DbError);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  f.db().execute("DELETE FROM wtbl_DecList; -- done\n ;");
}

// Work left for later runs before any statement sees the tables, once; dropped, never.
TEST_F(DatabaseTest, DeferredWorkRunsBeforeTheNextStatement) {
  const char* insert = "INSERT INTO wtbl_DecList (NameE, CardMaisu) VALUES ('a', 1)";
  f.db().defer([&] { f.db().execute(insert); });
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
  f.db().defer([&] { f.db().execute(insert); });
  f.db().dropDeferred();
  f.db().runDeferred();
  EXPECT_EQ(f.scalar("SELECT count(*) FROM wtbl_DecList"), 1);
}

TEST(WorkingTables, LiveInMemoryAndLeaveTheFileAlone) {
  CardDbFixture f;  // its connection keeps the working tables in memory, as the program's does
  f.ctx.gCardDb.reset();
  auto db = Database::open(f.path(), kCardDbConnect);
  keepWorkingTablesInMemory(*db);
  db->execute(
      "INSERT INTO wtbl_DecList (CardSetEx, NameE, CardMaisu, CAttack) VALUES ('8E', 'Shock', 2, '3')");
  EXPECT_EQ(db->openRecordset("SELECT CAttack FROM wtbl_DecList").field(u"CAttack").typeId(),
            QMetaType::LongLong);  // the file's column definitions hold
  db.reset();
  EXPECT_EQ(Database::open(f.path(), kCardDbConnect)
                ->openRecordset("SELECT count(*) AS n FROM wtbl_DecList")
                .field(u"n")
                .toInt(),
            0);
}

TEST(OpenDatabase, ALockHeldByAnotherConnectionIsWaitedFor) {
  CardDbFixture f;
  tvtest::addStandardCards(f);
  auto other = Database::open(f.path(), kCardDbConnect);
  other->execute("BEGIN EXCLUSIVE");
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    other->execute("COMMIT");
  });
  EXPECT_EQ(f.scalar("SELECT count(*) FROM tbl_CardMst"), 16);
  release.join();
}

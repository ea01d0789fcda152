// The engine against untrusted card databases: files of the stock SQLCipher 3
// tool, a crafted schema, and damaged pages.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <random>

#include "app/guarded.h"
#include "browse/cardcatalogue.h"
#include "browse/cardtext.h"
#include "browse/windowdata.h"
#include "carddb/creaturetypes.h"
#include "carddb/error.h"
#include "carddb/info.h"
#include "carddb/schema.h"
#include "core/startup.h"
#include "output/tokens.h"
#include "support/fixtures.h"

using namespace tv;

namespace {

// A connection of the engine as a hostile file's author has it: no defensive
// settings, raw pages writable through sqlite_dbpage.
class RawWriter {
 public:
  explicit RawWriter(const QString& path) {
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    const QByteArray key = passwordFromConnect(kCardDbConnect).toUtf8();
    sqlite3_key(db_, key.constData(), int(key.size()));
    exec("PRAGMA cipher_compatibility = 3");
    exec("PRAGMA writable_schema = ON");  // also lets it mend a schema it damaged
    exec("PRAGMA synchronous = OFF");
    exec("PRAGMA journal_mode = MEMORY");
  }
  ~RawWriter() { sqlite3_close_v2(db_); }

  bool exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
  qint64 scalar(const char* sql) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
    const qint64 v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    return v;
  }
  QByteArray page(int pgno) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, "SELECT data FROM sqlite_dbpage WHERE pgno = ?", -1, &st, nullptr);
    sqlite3_bind_int(st, 1, pgno);
    QByteArray out;
    if (sqlite3_step(st) == SQLITE_ROW)
      out = QByteArray(static_cast<const char*>(sqlite3_column_blob(st, 0)), sqlite3_column_bytes(st, 0));
    sqlite3_finalize(st);
    return out;
  }
  // Writes a page and a new schema cookie, so other connections read both afresh.
  bool writePage(int pgno, const QByteArray& data) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db_, "UPDATE sqlite_dbpage SET data = ? WHERE pgno = ?", -1, &st, nullptr);
    sqlite3_bind_blob(st, 1, data.constData(), int(data.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, pgno);
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_finalize(st);
    return ok && exec(QStringLiteral("PRAGMA schema_version = %1").arg(++cookie_).toUtf8().constData());
  }

 private:
  sqlite3* db_ = nullptr;
  int cookie_ = 1000;
};

// What start-up, the main window and a search read; failures must be DbError.
void readLikeTheProgram(AppContext& ctx) {
  try {
    for (const char* table : {"tbl_CardMst", "tbl_CardSet", "tbl_TokenMst", "tbl_Version"})
      ctx.gCardDb->hasTable(QString::fromLatin1(table));
    readExpansionNames(*ctx.gCardDb);
    CreatureTypes::load(*ctx.gCardDb);
    readTokenNames(*ctx.gCardDb);
    SearchFilter all;
    all.selectedSets = {0, 1, 2};
    ctx.gCardDb->execute(QStringLiteral("DELETE FROM wtbl_CardList"));
    fillFromCatalogue(*ctx.gCardDb, all, QStringLiteral("CAttack"), nullptr, true);
    ctx.gCardDb->execute(QStringLiteral("DELETE FROM wtbl_CardList"));
    runSearchStatement(*ctx.gCardDb, all, QStringLiteral("NameN"));
  } catch (const DbError&) {
  }
}

// Start-up gives its broken-data message or opens; info describes or refuses.
void openLikeBothPrograms(const QString& dir, const QString& path) {
  const StartupOutcome outcome = InitApplication(dir, false);
  EXPECT_TRUE(outcome.ok() || outcome.error == kMsgBrokenData);
  try {
    tvtools::describeCardDatabase(path);
  } catch (const tvtools::BuildError&) {
  }
}

void writeIni(const QString& dir) {
  tvtest::writeFile(dir + QStringLiteral("/TV.ini"), "[File]\r\nLocalDataFile=cards.db\r\n");
}

}  // namespace

TEST(Engine, OpensAFileOfTheStockSqlcipher3Tool) {
  tvtest::CardDbFixture f;
  f.ctx.gCardDb.reset();
  QFile::remove(f.path());
  ASSERT_TRUE(QFile::copy(QStringLiteral(TV_SOURCE_DIR "/tests/carddb/data/sqlcipher3.db"), f.path()));
  writeIni(f.dir());
  StartupOutcome outcome = InitApplication(f.dir(), false);
  ASSERT_TRUE(outcome.ok()) << outcome.error.toStdString();
  f.ctx.gCardDb = std::move(outcome.gCardDb);
  EXPECT_EQ(CreatureTypes::load(f.db()).names().join(u','), "Bird Soldier,Elf,Elf Druid");
  SearchFilter all;
  all.selectedSets = {0, 1};
  f.db().execute("DELETE FROM wtbl_CardList");
  EXPECT_EQ(fillFromCatalogue(f.db(), all, "NumCost", nullptr, true)->toStringList().join(u','),
            "Llanowar Elves/ラノワールのエルフ,Shock/ショック,Shock/ショック,"
            "Gustcloak Harrier/たなびくマントの鷹匠,Wirewood Savage/ワイアウッドの野人");
}

TEST(Engine, RefusesACraftedSchemaCleanly) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  f.ctx.gCardDb.reset();
  writeIni(f.dir());
  {
    RawWriter w(f.path());
    ASSERT_TRUE(
        w.exec("UPDATE sqlite_master SET sql = 'CREATE TABLE wtbl_CardList AS SELECT 1 AS CardSetEx' "
               "WHERE name = 'wtbl_CardList'"));
  }
  EXPECT_EQ(InitApplication(f.dir(), false).error, kMsgBrokenData);
  try {
    tvtools::describeCardDatabase(f.path());
    ADD_FAILURE() << "info read a malformed schema";
  } catch (const tvtools::BuildError& e) {
    EXPECT_TRUE(e.message().contains("malformed database schema")) << e.message().toStdString();
  }
  // The program's own connections cannot write a schema or raw pages.
  auto db = Database::open(tvtest::CardDbFixture().path(), kCardDbConnect);
  db->execute("PRAGMA writable_schema = ON");
  EXPECT_THROW(db->execute("UPDATE sqlite_master SET sql = 'x'"), DbError);
  EXPECT_THROW(db->execute("UPDATE sqlite_dbpage SET data = zeroblob(1024) WHERE pgno = 2"), DbError);
}

// Thousands of damaged pages, a few bytes each (header bytes of the file
// aside: the writer needs them), read through one long-lived connection as
// the program reads; now and then a fresh start and info on the damaged file.
TEST(Engine, DamagedPagesGiveErrorsNotCrashes) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  writeIni(f.dir());
  RawWriter w(f.path());
  const int pages = int(w.scalar("PRAGMA page_count"));
  ASSERT_GT(pages, 5);
  std::vector<QByteArray> original(size_t(pages) + 1);
  for (int p = 1; p <= pages; ++p) original[size_t(p)] = w.page(p);

  std::mt19937 random(20261206);
  const char values[] = {0, 1, char(0x7f), char(0x80), char(0xff)};
  for (int i = 0; i < 2500; ++i) {
    const int pgno = 1 + int(random() % unsigned(pages));
    QByteArray page = original[size_t(pgno)];
    const int first = pgno == 1 ? 100 : 0;
    for (int n = 1 + int(random() % 4); n > 0; --n) {
      const int at = first + int(random() % unsigned(page.size() - first));
      page[at] = random() % 2 ? values[random() % sizeof(values)] : char(random());
    }
    ASSERT_TRUE(w.writePage(pgno, page));
    readLikeTheProgram(f.ctx);
    if (i % 250 == 0) openLikeBothPrograms(f.dir(), f.path());
    ASSERT_TRUE(w.writePage(pgno, original[size_t(pgno)]));
  }
  readLikeTheProgram(f.ctx);
  EXPECT_EQ(readExpansionNames(f.db()).size(), 3);
}

// A 200 MB text, stored or generated, is refused by the engine, and a text
// the engine hands over but no text box should be given, by the program: the
// user reads that the card's data is broken, and the current card stays.
TEST(Engine, HugeValuesAreRefusedNotShown) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  f.addToken("兵士", "白", "", 1, 1);
  f.db().execute("INSERT INTO wtbl_CardList (CardSetEx, NameE) VALUES ('8E', 'Shock')");
  const char* const crafts[] = {
      "UPDATE tbl_CardMst SET TextN = printf('%.*c', 1000000, 'x') WHERE NameE = 'Shock'",
      "UPDATE tbl_CardMst SET TextN = printf('%.*c', 20000, 'x') WHERE NameE = 'Shock'",
      "UPDATE tbl_TokenMst SET TextN = printf('%.*c', 20000, 'x')",
      "DROP TABLE tbl_CardMst; CREATE TABLE tbl_CardMst (CardSetEx, NameE, NameN, Color, Cost, NumCost, "
      "Rare, "
      "CardType, CType, CAttack, CDefence, TextN AS (zeroblob(200000000)) VIRTUAL); "
      "INSERT INTO tbl_CardMst (CardSetEx, NameE, CardType) VALUES ('8E', 'Shock', 'I')",
  };
  for (const char* craft : crafts) {
    ASSERT_TRUE(RawWriter(f.path()).exec(craft)) << craft;
    f.ctx.gCurrentCard.NameE = "Lightning Bolt";  // shown before: 追加 must not add it now
    try {
      if (QByteArray(craft).contains("Token"))
        ChooseToken(f.db(), 0);
      else
        chooseCard(f.ctx, "wtbl_CardList", 0);
      ADD_FAILURE() << "shown: " << craft;
    } catch (const DbError& e) {
      EXPECT_EQ(dbErrorText(e),
                "カードデータの読み込みに失敗しました。\nカードのデータが壊れています（値が大きすぎます）。")
          << craft;
    }
    if (!QByteArray(craft).contains("Token")) {
      EXPECT_EQ(f.ctx.gCurrentCard.NameE, "") << craft;
    }
  }
}

// Defaults, checks and types of the file's working tables are not the
// program's: its own definitions make them, the file's columns are checked.
TEST(Engine, WorkingTablesAreMadeFromTheProgramsDefinitions) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  writeIni(f.dir());
  f.ctx.gCardDb.reset();
  ASSERT_TRUE(RawWriter(f.path()).exec(
      "DROP TABLE wtbl_DecList; CREATE TABLE wtbl_DecList (CardSetEx, NameE, NameN DEFAULT "
      "(randomblob(1000)), "
      "CardMaisu CHECK (CardMaisu > 4), NumCost, CAttack TEXT, CDefence, Extra DEFAULT 1)"));
  StartupOutcome start = InitApplication(f.dir(), false);
  ASSERT_TRUE(start.ok());
  start.gCardDb->execute(
      "INSERT INTO wtbl_DecList (CardSetEx, NameE, CardMaisu, CAttack) VALUES ('8E', 'Shock', 1, '3')");
  EXPECT_EQ(tvtest::queryRows(*start.gCardDb, "SELECT quote(NameN), quote(CAttack) FROM wtbl_DecList"),
            QStringList{"NULL|3"});
  start.gCardDb.reset();

  ASSERT_TRUE(
      RawWriter(f.path()).exec("DROP TABLE wtbl_CardList; CREATE TABLE wtbl_CardList (CardSetEx, NameE)"));
  EXPECT_EQ(InitApplication(f.dir(), false).error, kMsgBrokenData);
}

// Another program holding the file locked: start-up and info say so, once
// the lock has been waited for.
TEST(Engine, ALockedFileIsReportedInUse) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  writeIni(f.dir());
  f.ctx.gCardDb.reset();
  RawWriter other(f.path());
  ASSERT_TRUE(other.exec("BEGIN EXCLUSIVE"));
  EXPECT_EQ(InitApplication(f.dir(), false).error,
            "【データファイルが使用中です】\r\n他のプログラムがデータファイルを使用しています。\r\n"
            "そのプログラムを終了してから、もう一度起動してください");
  const QString error = tvtest::buildErrorOf([&] { tvtools::describeCardDatabase(f.path()); });
  EXPECT_TRUE(error.startsWith(f.path() + ": in use by another program (database is locked)"))
      << error.toStdString();
}

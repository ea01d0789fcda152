#include "carddb/builder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "carddb/csv.h"
#include "carddb/info.h"
#include "carddb/schema.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tvtools;

namespace {

const QByteArray kSets =  // released the same day: the later line counts as newer
    "set_code,expansion_code,japanese_name,release_date\n"
    "USG,US,ウルザズ・サーガ,2003-07-28\n"
    "8ED,8E,第8版,2003-07-28\n";
const QByteArray kCards =
    "set_code,english_name,japanese_name,colors,mana_cost_compact,cmc,rarity,type_line_en,original_type_en,"
    "supertypes,subtypes,power,toughness,japanese_type_line,japanese_text\n"
    "8ED,Forest,森,,,0,common,Basic Land — Forest,,Basic,Forest,,,,\n"
    "8ED,forest,森,,,0,common,Basic Land — Forest,,Basic,Forest,,,,\n"
    "USG,Serra Avatar,セラのアバター,W,4WWW,7,rare,Creature — Avatar,Summon - Avatar,,Avatar,*,*,,\n";
const QByteArray kTokens = "english_name,japanese_name,colors,power,toughness,text_en\nRukh,,R,4,4,Flying\n";

// Writes the good input files, `file` with `content` instead, and an old out.db.
BuildOptions inputs(const QTemporaryDir& dir, const char* file = "", const QByteArray& content = {}) {
  for (const auto& [name, text] : {std::pair{"cards.csv", kCards}, std::pair{"sets.csv", kSets},
                                   std::pair{"tokens.csv", kTokens}, std::pair{"out.db", QByteArray("old")}})
    tvtest::writeFile(dir.filePath(name), qstrcmp(name, file) == 0 ? content : text);
  return {dir.filePath("cards.csv"), dir.filePath("sets.csv"), dir.filePath("tokens.csv"),
          dir.filePath("out.db")};
}

// Every file in the folder, then "old" while out.db is the old one.
QString state(const QTemporaryDir& dir) {
  const bool old = tvtest::readFile(dir.filePath("out.db")) == "old";
  return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(u' ') + (old ? " old" : "");
}

QString buildError(const BuildOptions& o) {
  return tvtest::buildErrorOf([&] { buildCardDatabase(o); });
}

}  // namespace

TEST(Builder, BadInputNamesFileAndLineAndLeavesTheOldDatabase) {
  const struct {
    const char* file;
    QByteArray content;
    const char* error;
  } cases[] = {
      {"cards.csv", QByteArray(kCards).replace(",cmc,", ",cost,"), "cards.csv:1: missing column 'cmc'"},
      {"cards.csv", kCards + "8ED,Z\xfcrich\n", "cards.csv:5: not UTF-8 text"},
      {"cards.csv", QByteArray(kCards).replace("USG,", "XYZ,"), "cards.csv:4: set XYZ is not in sets.csv"},
      {"cards.csv", QByteArray(kCards).replace("USG,", "%2%1,"), "cards.csv:4: set %2%1 is not in sets.csv"},
      {"cards.csv", QByteArray(kCards).replace("セラの", QByteArray("セラ\0", 7)),
       "cards.csv:4: NUL byte in a field"},
      {"cards.csv", QByteArray(kCards).replace('\n', '\r'), "cards.csv:1: CR without LF"},
      {"cards.csv", kCards.left(kCards.indexOf('\n') + 1), "cards.csv:1: no cards"},
      {"cards.csv", QByteArray(kCards).replace("Summon - Avatar", "Vanguard"),
       "cards.csv:4: unknown card type"},
      {"sets.csv", QByteArray(kSets).replace("8E,", "us,"),
       "sets.csv:3: expansion_code us is already used on line 2"},
      {"sets.csv", QByteArray(kSets).replace("-07-", "-7-"), "sets.csv:2: release_date '2003-7-28'"},
      {"tokens.csv", QByteArray(kTokens).replace(",R,", ",Red,"), "tokens.csv:2: unknown colour 'e'"},
  };
  for (const auto& c : cases) {
    QTemporaryDir dir;
    const QString error = buildError(inputs(dir, c.file, c.content));
    EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << error.toStdString();
    EXPECT_EQ(state(dir), "cards.csv out.db sets.csv tokens.csv old") << c.error;
  }

  QTemporaryDir dir;
  BuildOptions o = inputs(dir);
  o.cardsCsv += ".gz";
  EXPECT_TRUE(buildError(o).startsWith(o.cardsCsv + ": cannot read")) << buildError(o).toStdString();
  o.cardsCsv = "/dev/zero";  // never read for ever
  EXPECT_EQ(buildError(o), "/dev/zero: cannot read: not a regular file");
  o = inputs(dir);
  o.output = o.setsCsv;  // would replace an input
  EXPECT_EQ(buildError(o), o.setsCsv + ": is also an input file");
  EXPECT_EQ(QFile(o.setsCsv).size(), kSets.size());
  o = inputs(dir);
  o.output = dir.filePath("none/out.db");
  EXPECT_TRUE(buildError(o).startsWith(o.output + ": cannot write")) << buildError(o).toStdString();
  o = inputs(dir, "sets.csv", kSets + "M10,8E-1,M10,2000-01-01\n");  // copy 1 of 8E clashes with 8E-1
  o.repeat = 2;
  EXPECT_TRUE(buildError(o).startsWith(o.output + ": cannot write")) << buildError(o).toStdString();
  EXPECT_EQ(state(dir), "cards.csv out.db sets.csv tokens.csv old");
}

TEST(Builder, ReplacesTheOldDatabaseAndRepeatsEveryExpansion) {
  QTemporaryDir dir;
  BuildOptions o = inputs(dir, "cards.csv", "\xEF\xBB\xBF" + kCards);  // a byte order mark is skipped
  o.tokensCsv.clear();
  o.repeat = 2;
  ASSERT_EQ(buildError(o), "");
  EXPECT_EQ(state(dir), "cards.csv out.db sets.csv tokens.csv");  // no temporary file left
  const QString info = describeCardDatabase(o.output);
  EXPECT_TRUE(info.contains("tbl_CardMst            4\ntbl_TokenMst           0\n")) << info.toStdString();
  EXPECT_TRUE(
      info.endsWith("   0  8E         1  第8版\n   1  US         1  ウルザズ・サーガ\n"
                    "   2  8E-1       1  第8版 (2)\n   3  US-1       1  ウルザズ・サーガ (2)\n"))
      << info.toStdString();
  EXPECT_THROW(describeCardDatabase(dir.filePath("sets.csv")), BuildError);
}

// Each record, header first, as "line:field|field", or the error.
// A small file takes little memory: reading it once reserved a gigabyte, which a limit on the address
// space turned into a crash.
TEST(Csv, ASmallFileReadsUnderAMemoryLimit) {
  QFile status(QStringLiteral("/proc/self/status"));
  ASSERT_TRUE(status.open(QIODevice::ReadOnly));
  const QByteArray text = status.readAll();
  const qsizetype at = text.indexOf("VmSize:");
  ASSERT_GE(at, 0);
  const qint64 used =
      text.mid(at + 7, text.indexOf('\n', at) - at - 7).trimmed().split(' ').front().toLongLong();
  rlimit old{};
  getrlimit(RLIMIT_AS, &old);
  rlimit low = old;
  low.rlim_cur = rlim_t(used + 256 * 1024) * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_AS, &low), 0);
  qsizetype records = -1;
  try {
    records = CsvTable::read(QStringLiteral(TV_SOURCE_DIR "/data/sets.csv")).records().size();
  } catch (const std::bad_alloc&) {
  }
  setrlimit(RLIMIT_AS, &old);
  EXPECT_EQ(records, 18);
}

TEST(Csv, RecordsWithTheirLinesOrTheErrorWithItsLine) {
  const char* const cases[][2] = {
      {"a,b,c\nplain,\"with, comma\",\"say \"\"hi\"\"\"\n,\"\",\n\"x\",Serra's Embrace,1+*",
       "1:a|b|c 2:plain|with, comma|say \"hi\" 3:|| 4:x|Serra's Embrace|1+*"},
      {"a,b\r\n1,\"two\r\nlines\"\r\n\r\n3,4\r\n", "1:a|b 2:1|two\r\nlines 5:3|4"},  // CR LF
      {"a,b\n1,2\n3,\"open\n4,5\n", "x.csv:3: quoted field is never closed"},
      {"a,b\n\"1\n2\",3\n3,ab\"c\n", "x.csv:4: quote inside an unquoted field"},
      {"a,b\n\"1\"x,2\n", "x.csv:2: text after the closing quote of a field"},
      {"a,b\n1,2\n1,2,3\n", "x.csv:3: 3 fields where the header has 2"},
      {"a,b\n1\n", "x.csv:2: 1 fields where the header has 2"},
      {"a,a\n", "x.csv:1: column 'a' appears twice"},
      {"a,,b\n", "x.csv:1: empty column name in the header"},
      {"", "x.csv:1: no header row"},
  };
  for (const auto& [in, out] : cases) {
    QString got;
    try {
      const CsvTable t = CsvTable::parse(QString::fromUtf8(in), QStringLiteral("x.csv"));
      got = QStringLiteral("1:") + t.header().join(u'|');
      for (const CsvRecord& r : t.records())
        got += QStringLiteral(" %1:%2").arg(r.line).arg(r.fields.join(u'|'));
    } catch (const BuildError& e) {
      got = e.message();
    }
    EXPECT_EQ(got, QString::fromUtf8(out)) << in;
  }
}

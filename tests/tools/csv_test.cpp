#include "carddb/csv.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "carddb/error.h"

using namespace tvtools;

namespace {

// The message of the BuildError that parsing `text` raises, or "" when none.
std::string parseError(const QString& text) {
  try {
    CsvTable::parse(text, QStringLiteral("x.csv"));
  } catch (const BuildError& e) {
    return e.what();
  }
  return {};
}

}  // namespace

TEST(Csv, QuotingAsRfc4180) {
  const CsvTable t = CsvTable::parse(QStringLiteral("a,b,c\n"
                                                    "plain,\"with, comma\",\"say \"\"hi\"\"\"\n"
                                                    ",\"\",\n"
                                                    "\"x\",Serra's Embrace,1+*\n"),
                                     QStringLiteral("x.csv"));
  EXPECT_EQ(t.header(), QStringList({"a", "b", "c"}));
  ASSERT_EQ(t.records().size(), 3u);
  EXPECT_EQ(t.records()[0].fields, QStringList({"plain", "with, comma", "say \"hi\""}));
  EXPECT_EQ(t.records()[1].fields, QStringList({"", "", ""}));
  EXPECT_EQ(t.records()[2].fields, QStringList({"x", "Serra's Embrace", "1+*"}));
  EXPECT_EQ(t.records()[0].line, 2);
  EXPECT_EQ(t.column("c"), 2);
  EXPECT_EQ(t.column("d"), -1);
}

TEST(Csv, BomCrLfBlankLinesAndLineNumbers) {
  const CsvTable t =
      CsvTable::parse(QStringLiteral("\uFEFFa,b\r\n1,\"two\r\nlines\"\r\n\r\n3,4"), QStringLiteral("x.csv"));
  EXPECT_EQ(t.header(), QStringList({"a", "b"}));
  ASSERT_EQ(t.records().size(), 2u);
  EXPECT_EQ(t.records()[0].fields[1], "two\r\nlines");
  EXPECT_EQ(t.records()[0].line, 2);
  EXPECT_EQ(t.records()[1].line, 5);  // after the quoted break and the blank line
  EXPECT_EQ(t.records()[1].fields, QStringList({"3", "4"}));
}

TEST(Csv, MalformedInputNamesFileAndLine) {
  EXPECT_EQ(parseError(QStringLiteral("a,b\n1,2\n3,\"open\n4,5\n")), "x.csv:3: quoted field is never closed");
  EXPECT_EQ(parseError(QStringLiteral("a,b\n1,2\n3,ab\"c\n")), "x.csv:3: quote inside an unquoted field");
  EXPECT_EQ(parseError(QStringLiteral("a,b\n\"1\"x,2\n")),
            "x.csv:2: text after the closing quote of a field");
  EXPECT_EQ(parseError(QStringLiteral("a,b\n1,2\n1,2,3\n")), "x.csv:3: 3 fields where the header has 2");
  EXPECT_EQ(parseError(QStringLiteral("a,b\n1,2\n1\n")), "x.csv:3: 1 fields where the header has 2");
  EXPECT_EQ(parseError(QStringLiteral("a,a\n")), "x.csv:1: column 'a' appears twice");
  EXPECT_EQ(parseError(QStringLiteral("a,,b\n")), "x.csv:1: empty column name in the header");
  EXPECT_EQ(parseError(QString()), "x.csv:1: no header row");
  EXPECT_EQ(parseError(QStringLiteral("a,b\n1,2")), "");  // no final line break is fine
}

TEST(Csv, RequiredColumnsAndFileErrors) {
  const CsvTable t = CsvTable::parse(QStringLiteral("set_code,cmc\n"), QStringLiteral("cards.csv"));
  EXPECT_EQ(t.require(QStringLiteral("cmc")), 1);
  try {
    t.require(QStringLiteral("rarity"));
    FAIL() << "no error";
  } catch (const BuildError& e) {
    EXPECT_STREQ(e.what(), "cards.csv:1: missing column 'rarity'");
  }

  QTemporaryDir dir;
  EXPECT_THROW(CsvTable::read(dir.filePath(QStringLiteral("none.csv"))), BuildError);
  QFile latin1(dir.filePath(QStringLiteral("latin1.csv")));
  ASSERT_TRUE(latin1.open(QIODevice::WriteOnly));
  latin1.write("a,b\n1,2\nZ\xfcrich,3\n");
  latin1.close();
  try {
    CsvTable::read(latin1.fileName());
    FAIL() << "no error";
  } catch (const BuildError& e) {
    EXPECT_EQ(e.message(), latin1.fileName() + ":3: not UTF-8 text");
  }
}

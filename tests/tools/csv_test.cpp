#include "carddb/csv.h"

#include <gtest/gtest.h>

#include "carddb/error.h"

using namespace tvtools;

// Each record, header first, as "line:field|field", or the error.
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

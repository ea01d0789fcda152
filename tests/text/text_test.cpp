#include <gtest/gtest.h>

#include "text/shiftjis.h"
#include "text/width.h"

namespace tv {
namespace {

TEST(ShiftJis, UsesTheCp932TableBothWays) {
  // Bytes where CP932 and JIS X 0208 disagree, a half-width katakana, ASCII.
  const QByteArray bytes("\x81\x60\x81\x7c\x87\x40\x5c\xb6 A", 10);
  const QString text = QStringLiteral(u"～－①\\ｶ A");
  EXPECT_EQ(decodeShiftJis(bytes), text);
  EXPECT_EQ(encodeShiftJis(text), bytes);
  EXPECT_EQ(encodeShiftJis(u""), QByteArray(""));
}

TEST(ShiftJis, WritesJisFormsAsCp932AndRefusesTheRest) {
  EXPECT_EQ(encodeShiftJis(u"〜−"), QByteArray("\x81\x60\x81\x7c"));
  QString bad;
  EXPECT_FALSE(encodeShiftJis(u"Lim-Dûl", &bad));
  EXPECT_EQ(bad, QStringLiteral(u"û"));
  EXPECT_FALSE(encodeShiftJis(u"a😀", &bad));
  EXPECT_EQ(bad, QStringLiteral(u"😀"));
  EXPECT_FALSE(decodeShiftJis(QByteArray("\x81", 1)));      // a lead byte with nothing after it
  EXPECT_FALSE(decodeShiftJis(QByteArray("\x85\x40", 2)));  // unassigned in CP932
}

TEST(Width, ConvertsLatinSpaceAndKatakanaBothWays) {
  EXPECT_EQ(toFullWidth(u"Shivan Dragon 6/6 ｶﾞﾗｽ"),
            QStringLiteral(u"Ｓｈｉｖａｎ　Ｄｒａｇｏｎ　６／６　ガラス"));
  EXPECT_EQ(toHalfWidth(u"Ｌｌａｎｏｗａｒ　Ｅｌｖｅｓ　ガ"), QStringLiteral(u"Llanowar Elves ｶﾞ"));
  EXPECT_EQ(toHalfWidth(u"漢字"), QStringLiteral(u"漢字"));
}

}  // namespace
}  // namespace tv

#include <gtest/gtest.h>

#include "text/fold.h"
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

TEST(FoldName, CaseWidthKanaMarksSpacesAndLigatures) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"Llanowar Elves", u"llanowarelves"},
      {u"ＬＬＡＮＯＷＡＲ　ｅｌｖｅｓ", u"llanowarelves"},  // full width, ideographic space
      {u"らのわーる", u"ラノワル"},                         // hiragana, long vowel mark
      {u"ラノワールのエルフ", u"ラノワルノエルフ"},         // the card name holds the typed text
      {u"ｳﾙｻﾞｽﾞ･ｻｰｶﾞ", u"ウルザズサガ"},                    // half-width kana with voiced marks
      {u"ウルザズ・サーガ", u"ウルザズサガ"},               // middle dot
      {u"Æther Flash", u"aetherflash"},                     // ligature
      {u"Lim-Dûl's Vault", u"lim-dul'svault"},              // accent
      {u"Urza’s Saga", u"urza'ssaga"},                      // curly apostrophe
      {u"極楽鳥", u"極楽鳥"},
      {u"Fire // Ice", u"fire//ice"},
      {u" \tー・ ", u""},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(foldName(QStringView(in)), QStringView(out)) << QString::fromUtf16(in).toStdString();
}

// The quick path (ASCII, kana, kanji) gives what the rules give: each such
// character alone and each kana beside each kana, against the
// transliterator (an ideographic space in front takes the text there and
// folds to nothing).
TEST(FoldName, TheQuickPathFoldsAsTheRules) {
  QString kana, others;
  for (char16_t u = 0x3041; u <= 0x3096; ++u) kana += QChar(u);
  for (char16_t u = 0x30A1; u <= 0x30FC; ++u) kana += QChar(u);
  for (char16_t u = 1; u < 0x80; ++u) others += QChar(u);
  for (char16_t u = 0x4E00; u <= 0x9FFF; ++u) others += QChar(u);
  auto byRules = [](const QString& text) { return foldName(QString(QChar(0x3000)) + text); };
  for (const QChar c : kana + others)
    ASSERT_EQ(foldName(QString(c)), byRules(QString(c))) << int(c.unicode());
  for (const QChar a : kana)
    for (const QChar b : kana)
      ASSERT_EQ(foldName(QString(a) + b), byRules(QString(a) + b)) << int(a.unicode());
}

}  // namespace
}  // namespace tv

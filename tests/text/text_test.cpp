#include <gtest/gtest.h>
#include <unicode/translit.h>

#include <QRandomGenerator>
#include <QStringList>
#include <memory>

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

// The fold goes a code point at a time; the rule chain it stands for goes over
// the whole text, in time that grows with the text's square. Random text from
// the characters where they could differ (marks, voiced marks, ligatures,
// half-width kana, squared words, an 18-character ligature) folds the same,
// Greek final sigma aside; a limit cuts the fold short, never changes it.
TEST(FoldName, FoldsAsTheWholeRuleChainDoes) {
  UErrorCode err = U_ZERO_ERROR;
  UParseError parseError;
  const std::unique_ptr<icu::Transliterator> chain(icu::Transliterator::createFromRules(
      u"chain",
      u":: NFKC ; :: Hiragana-Katakana ; :: Latin-ASCII ; :: Any-Lower ; :: Null ;"
      u"[[:White_Space:] \\u30FB \\u30FC] > ;",
      UTRANS_FORWARD, parseError, err));
  ASSERT_TRUE(U_SUCCESS(err));
  const QStringList pieces = {"a",      "E",      "é",  "\u0301", "\u0323", "q",      "4",  "Æ",
                              "ß",      "İ",      "ｶ",  "ﾞ",      "か",     "\u3099", "わ", "を",
                              "゛",     "ー",     "・", " ",      "\u3000", "㌫",     "ﬁ",  "Ⅳ",
                              "’",      "ǅ",      "ẹ",  "漢",     "\u1100", "\u1161", "Я",  "\u0F71",
                              "\u034F", "\u0901", "ゟ", "𝐀",      "\uFDFA", "Ａ"};
  QRandomGenerator rng(5);
  for (int i = 0; i < 20000; ++i) {
    QString text;
    for (int n = int(rng.bounded(12)); n > 0; --n) text += pieces[rng.bounded(int(pieces.size()))];
    icu::UnicodeString whole(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
    chain->transliterate(whole);
    const QString folded = foldName(text);
    ASSERT_EQ(folded, QString(reinterpret_cast<const QChar*>(whole.getBuffer()), whole.length()))
        << text.toStdString();
    ASSERT_TRUE(folded.startsWith(foldName(text, 3)));
  }
}

TEST(FoldRulesText, BothSymbolNotationsFoldAlike) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"(Ｔ)：(緑)を加える。", u"{t}:{g}ヲ加エル。"},
      {u"{T}：{G}を加える。", u"{t}:{g}ヲ加エル。"},
      {u"（ｔ）:｛ｇ｝をくわえる。", u"{t}:{g}ヲクワエル。"},
      {u"(２)(白/青)(緑/Ｐ)(◇)(氷)", u"{2}{w/u}{g/p}{c}{s}"},
      {u"{10}{2/W}{U/P}{X}{E}{Q}", u"{10}{2/w}{u/p}{x}{e}{q}"},
      {u"Draw a card(s). (Khans)", u"drawacard(s).(khans)"},  // words in brackets stay
      {u"Lim-Dûl — [−2]", u"lim-dul-[-2]"},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(foldRulesText(QStringView(in)), QStringView(out)) << QString::fromUtf16(in).toStdString();
}

}  // namespace
}  // namespace tv

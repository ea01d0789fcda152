#include "text/fold.h"

#include <gtest/gtest.h>

namespace tv {
namespace {

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

}  // namespace
}  // namespace tv

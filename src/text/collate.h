// Japanese collation (ICU's "ja" rules): kana in reading order, hiragana and
// katakana alike, long vowels and small kana as the rules of dictionaries
// have them; kanji come after every kana.
#pragma once

#include <QString>
#include <QStringList>

namespace tv {

// <0, 0 or >0 as `a` comes before, with or after `b`.
int compareJapanese(QStringView a, QStringView b);

// Sorted in Japanese order; equal texts keep their order.
void sortJapanese(QStringList& texts);

}  // namespace tv

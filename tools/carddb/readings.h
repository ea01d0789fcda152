// Readings of Japanese words, for their reading order: ICU's Japanese
// collation orders kana by sound but puts every kanji after them, so 人間 and
// 天使 need their readings (ニンゲン, テンシ). MeCab and the system's MeCab
// dictionary give them; only the importer uses them.
#pragma once

#include <QString>

typedef struct mecab_t mecab_t;

namespace tvtools {

class Readings {
 public:
  Readings();
  ~Readings();
  Readings(const Readings&) = delete;
  Readings& operator=(const Readings&) = delete;

  // False when MeCab has no dictionary (in UTF-8): readings are the words then.
  bool available() const { return tagger_ != nullptr; }
  // The reading in katakana of a word that holds kanji; any other word, and
  // a word the dictionary does not know, as it is.
  QString of(const QString& word);

 private:
  mecab_t* tagger_ = nullptr;
};

}  // namespace tvtools

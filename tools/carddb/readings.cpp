#include "carddb/readings.h"

#include <mecab.h>

#include <algorithm>

namespace tvtools {
namespace {

bool holdsKanji(const QString& word) {
  return std::any_of(word.begin(), word.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
}

}  // namespace

Readings::Readings() {
  // The dictionary's own "yomi" output: each word's reading, an unknown
  // word's surface.
  tagger_ = mecab_new2("-Oyomi");
  if (!tagger_) return;
  const mecab_dictionary_info_t* info = mecab_dictionary_info(tagger_);
  const QString charset = info && info->charset ? QString::fromLatin1(info->charset).toLower() : QString();
  if (charset != u"utf-8" && charset != u"utf8") {
    mecab_destroy(tagger_);
    tagger_ = nullptr;
  }
}

Readings::~Readings() {
  if (tagger_) mecab_destroy(tagger_);
}

QString Readings::of(const QString& word) {
  if (!tagger_ || !holdsKanji(word)) return word;
  const QByteArray utf8 = word.toUtf8();
  const char* out = mecab_sparse_tostr(tagger_, utf8.constData());
  const QString reading = out ? QString::fromUtf8(out).trimmed() : QString();
  return reading.isEmpty() ? word : reading;
}

}  // namespace tvtools

#include "text/fold.h"

#include <unicode/parseerr.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace tv {
namespace {

// NFKC takes full-width Latin and half-width katakana to their common forms
// (voiced marks joined); Latin-ASCII folds ligatures, accents and curly
// apostrophes as card lists on the web write them ("Æther", "Urza’s").
constexpr char16_t kFoldRules[] =
    u":: NFKC ;"
    u":: Hiragana-Katakana ;"
    u":: Latin-ASCII ;"
    u":: Any-Lower ;"
    u":: Null ;"
    u"[[:White_Space:] \\u30FB \\u30FC] > ;";

icu::Transliterator* folder() {
  // Parsing the rules takes milliseconds: once per thread.
  thread_local std::unique_ptr<icu::Transliterator> t = [] {
    UErrorCode err = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createFromRules(
        u"TalviksFoldName", icu::UnicodeString(kFoldRules), UTRANS_FORWARD, parseError, err));
    if (U_FAILURE(err)) made.reset();
    return made;
  }();
  return t.get();
}

// Most names are plain ASCII, kana and kanji, where the rules come down to
// this: ASCII letters to lower case, hiragana to katakana, white space, "・"
// and "ー" dropped. The transliterator costs tens of microseconds a name; it
// takes everything else (full-width and half-width forms, accents, marks that
// join their neighbours).
bool foldSimply(QStringView text, QString& out) {
  out.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
      if (u == u' ' || (u >= u'\t' && u <= u'\r')) continue;
      out += (u >= u'A' && u <= u'Z') ? QChar(u + 32) : c;
    } else if (u >= 0x3041 && u <= 0x3094) {  // hiragana (the small ka and ke stay)
      out += QChar(u + 0x60);
    } else if ((u >= 0x30A1 && u <= 0x30FA) || (u >= 0x4E00 && u <= 0x9FFF)) {  // katakana, kanji
      out += c;
    } else if (u != 0x30FB && u != 0x30FC) {
      return false;
    }
  }
  return true;
}

}  // namespace

QString foldName(QStringView text) {
  QString out;
  if (foldSimply(text, out)) return out;
  icu::Transliterator* t = folder();
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  if (t) t->transliterate(s);
  return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

}  // namespace tv

#include "text/fold.h"

#include <unicode/normalizer2.h>
#include <unicode/parseerr.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <QStringList>
#include <algorithm>
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

icu::Transliterator* latinToAscii() {
  thread_local std::unique_ptr<icu::Transliterator> t = [] {
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> made(
        icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, err));
    if (U_FAILURE(err)) made.reset();
    return made;
  }();
  return t.get();
}

bool isAscii(QStringView text) {
  for (QChar c : text)
    if (c.unicode() >= 0x80) return false;
  return true;
}

// A mana or tap symbol's part as "{…}" holds it: "(緑/Ｐ)" after the width
// fold is "(緑/p)", whose parts are "緑" and "p".
QString symbolPart(QStringView part) {
  static const std::pair<QStringView, QStringView> kJapanese[] = {
      {u"白", u"w"}, {u"青", u"u"}, {u"黒", u"b"},   {u"赤", u"r"}, {u"緑", u"g"},
      {u"◇", u"c"},  {u"氷", u"s"}, {u"氷雪", u"s"}, {u"φ", u"p"}};
  for (const auto& [ja, letter] : kJapanese)
    if (part == ja) return letter.toString();
  if (part.size() == 1 && QStringView(u"wubrgcsxyztqep").contains(part[0])) return part.toString();
  if (!part.isEmpty() && part.size() <= 2 &&
      std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
    return part.toString();
  return {};
}

// "(t)", "(緑)", "{緑/p}" as "{t}", "{g}", "{g/p}"; other brackets stay.
QString foldSymbols(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar open = text[i];
    // "card(s)": a parenthesis right after a word is not a symbol.
    const bool afterWord = !out.isEmpty() && out.back().unicode() < 0x80 && out.back().isLetterOrNumber();
    if (open == u'{' || (open == u'(' && !afterWord)) {
      const QChar close = open == u'{' ? u'}' : u')';
      const qsizetype end = text.indexOf(close, i + 1);
      if (end > i + 1 && end - i <= 8) {
        QStringList parts;
        for (QStringView part : QStringView(text).mid(i + 1, end - i - 1).split(u'/')) {
          parts << symbolPart(part);
          if (parts.back().isEmpty()) break;
        }
        if (!parts.back().isEmpty()) {
          out += u'{' + parts.join(u'/') + u'}';
          i = end;
          continue;
        }
      }
    }
    out += open;
  }
  return out;
}

}  // namespace

QString foldRulesText(QStringView text) {
  // The normalizer and a loop do what the name's rule chain does, many times
  // quicker: a card database holds tens of thousands of texts.
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCCasefoldInstance(err);
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  if (U_SUCCESS(err)) s = nfkc->normalize(s, err);
  // Accented Latin letters, ligatures and curly quotes, mostly in English texts.
  for (int32_t k = 0; k < s.length(); ++k) {
    const char16_t c = s[k];
    if ((c >= 0xC0 && c <= 0x24F) || (c >= 0x2018 && c <= 0x201F)) {
      if (icu::Transliterator* t = latinToAscii()) t->transliterate(s);
      break;
    }
  }
  QString out;
  out.reserve(s.length());
  for (int32_t k = 0; k < s.length(); ++k) {
    char16_t c = s[k];
    if (c == 0x30FB || c == 0x30FC || QChar::isSpace(c)) continue;
    if ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E) c += 0x60;  // hiragana to katakana
    if ((c >= 0x2010 && c <= 0x2015) || c == 0x2212 || c == 0x2500 || c == 0x2501) c = u'-';
    out += QChar(c);
  }
  return foldSymbols(out);
}

QString foldName(QStringView text) {
  // Most English names are plain ASCII, where the rules come down to this;
  // the transliterator costs tens of microseconds a name.
  if (isAscii(text)) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
      const char16_t u = c.unicode();
      if (u == u' ' || (u >= u'\t' && u <= u'\r')) continue;
      out += (u >= u'A' && u <= u'Z') ? QChar(u + 32) : c;
    }
    return out;
  }
  icu::Transliterator* t = folder();
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  if (t) t->transliterate(s);
  return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

}  // namespace tv

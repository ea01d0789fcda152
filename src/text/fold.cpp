#include "text/fold.h"

#include <unicode/normalizer2.h>
#include <unicode/parseerr.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uscript.h>

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

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

const icu::Normalizer2* nfkc() {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* n = icu::Normalizer2::getNFKCInstance(err);
  return U_SUCCESS(err) ? n : nullptr;
}

icu::Transliterator* latinAsciiTransliterator() {
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

char32_t codePointAt(QStringView text, qsizetype i) {
  if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
    return QChar::surrogateToUcs4(text[i], text[i + 1]);
  return text[i].unicode();
}

// What the rules make of each code point on its own, worked out when first
// met. The rules cost microseconds a call, and on a long text time that grows
// with its square (every change moves the rest of the text); a text is folded
// instead in one pass over its code points, with the rules' two contexts
// applied there (see foldName).
class CodePointFolds {
 public:
  // Nothing when the rules leave `c` as it is.
  const QString* of(char32_t c) {
    if (same_[c]) return nullptr;
    const auto it = changed_.constFind(c);
    if (it != changed_.cend()) return &*it;
    const icu::UnicodeString alone{UChar32(c)};
    icu::UnicodeString s = alone;
    if (icu::Transliterator* t = folder()) t->transliterate(s);
    if (s == alone) {
      same_[c] = true;
      return nullptr;
    }
    return &*changed_.insert(c, QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length()));
  }

 private:
  std::vector<bool> same_ = std::vector<bool>(0x110000);
  QHash<char32_t, QString> changed_;  // a few thousand code points at most
};

// Latin-ASCII drops nonspacing marks (of its own scripts) that follow a Latin
// letter or a digit.
UScriptCode scriptOf(char32_t c) {
  UErrorCode err = U_ZERO_ERROR;
  return uscript_getScript(UChar32(c), &err);
}
bool dropsMarksAfter(char32_t c) { return (c >= u'0' && c <= u'9') || scriptOf(c) == USCRIPT_LATIN; }
bool isDroppedMark(char32_t c) {
  if (u_charType(UChar32(c)) != U_NON_SPACING_MARK) return false;
  const UScriptCode script = scriptOf(c);
  return script == USCRIPT_INHERITED || script == USCRIPT_COMMON || script == USCRIPT_LATIN;
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
      // A symbol is short: the close is looked for no further, or a text of
      // brackets alone would be read to its end from each of them.
      const qsizetype found = QStringView(text).mid(i + 1, 8).indexOf(close);
      const qsizetype end = found < 0 ? -1 : i + 1 + found;
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

namespace {

// Latin-ASCII over the runs of characters it may change (below the CJK
// blocks), a bounded piece at a time: over a whole text its time grows with
// the text's square, each change moving the rest, and a card database is
// not to be trusted with that. A piece never ends before a combining mark.
void latinToAsciiByPieces(icu::UnicodeString& s) {
  constexpr int32_t kPiece = 64;
  const auto latin = [](char16_t c) { return c >= 0x80 && c < 0x3000; };
  const int32_t n = s.length();
  int32_t k = 0;
  while (k < n && !latin(s[k])) ++k;
  if (k == n) return;
  icu::Transliterator* t = latinAsciiTransliterator();
  if (!t) return;
  icu::UnicodeString out(s, 0, k);
  while (k < n) {
    int32_t end = k;
    if (latin(s[k])) {
      while (end < n && end - k < kPiece && latin(s[end])) ++end;
      while (end < n && end > k + 1 && latin(s[end]) && u_getCombiningClass(s[end]) != 0) --end;
      icu::UnicodeString piece(s, k, end - k);
      t->transliterate(piece);
      out += piece;
    } else {
      while (end < n && !latin(s[end])) ++end;
      out.append(s, k, end - k);
    }
    k = end;
  }
  s = std::move(out);
}

}  // namespace

QString latinToAscii(QStringView text) {
  icu::Transliterator* t = latinAsciiTransliterator();
  if (!t) return text.toString();
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  t->transliterate(s);
  return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

QString foldRulesText(QStringView text) {
  // The normalizer and a loop do what the name's rule chain does, many times
  // quicker: a card database holds tens of thousands of texts.
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCCasefoldInstance(err);
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  if (U_SUCCESS(err)) s = nfkc->normalize(s, err);
  // Accented Latin letters, ligatures and curly quotes, mostly in English texts.
  latinToAsciiByPieces(s);
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

QString normalizedKC(QString text) {
  const icu::Normalizer2* n = nfkc();
  if (!n || text.size() > std::numeric_limits<int32_t>::max()) return text;
  const icu::UnicodeString in(false, reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
  UErrorCode err = U_ZERO_ERROR;
  if (n->isNormalized(in, err) && U_SUCCESS(err)) return text;
  err = U_ZERO_ERROR;
  const icu::UnicodeString out = n->normalize(in, err);
  if (U_FAILURE(err)) return text;
  return QString(reinterpret_cast<const QChar*>(out.getBuffer()), out.length());
}

QString foldName(QStringView text, qsizetype limit) {
  const auto full = [&](const std::u16string& out) { return limit >= 0 && qsizetype(out.size()) > limit; };
  std::u16string out;
  // Most English names are plain ASCII, where the rules come down to this.
  const auto ascii = [&out](char16_t u) {
    if (u == u' ' || (u >= u'\t' && u <= u'\r')) return;
    out += (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
  };
  const auto done = [&] {
    return QString(reinterpret_cast<const QChar*>(out.data()), qsizetype(out.size()));
  };
  if (isAscii(text)) {
    out.reserve(size_t(limit >= 0 ? qMin(text.size(), limit + 1) : text.size()));
    for (qsizetype i = 0; i < text.size() && !full(out); ++i) ascii(text[i].unicode());
    return done();
  }
  thread_local CodePointFolds folds;
  const icu::Normalizer2* n = nfkc();
  char32_t kept = 0;  // the last code point not dropped
  // NFKC a piece at a time, each ending where NFKC may cut the text, so that
  // a long text that is no name stops after its first pieces.
  for (qsizetype start = 0, end = 0; start < text.size() && !full(out); start = end) {
    end = qMin(text.size(), start + 256);
    while (end < text.size() &&
           (text[end].isLowSurrogate() || (n && !n->hasBoundaryBefore(codePointAt(text, end)))))
      ++end;
    const QString normal = normalizedKC(text.sliced(start, end - start).toString());
    for (qsizetype i = 0; i < normal.size(); ++i) {
      const char32_t c = codePointAt(normal, i);
      if (QChar::requiresSurrogates(c)) ++i;
      if (c >= 0x300 && isDroppedMark(c) && dropsMarksAfter(kept)) continue;
      // Hiragana-Katakana joins these with a voiced mark that NFKC leaves apart.
      if (c == 0x3099 && kept >= 0x308F && kept <= 0x3092 && !out.empty()) {
        out.back() = char16_t(0x30F7 + (kept - 0x308F));
        kept = c;
        continue;
      }
      kept = c;
      if (c < 0x80) {
        ascii(char16_t(c));
      } else if (const QString* folded = folds.of(c)) {
        out.append(reinterpret_cast<const char16_t*>(folded->utf16()), size_t(folded->size()));
      } else if (QChar::requiresSurrogates(c)) {
        out += QChar::highSurrogate(c);
        out += QChar::lowSurrogate(c);
      } else {
        out += char16_t(c);
      }
    }
  }
  return done();
}

}  // namespace tv

#include "analysis/manasymbols.h"

#include <QRegularExpression>
#include <algorithm>

namespace tv {
namespace {

constexpr QStringView kLetters = u"WUBRGC";
// The basic land types, white … green, in English and Japanese.
constexpr QStringView kLandTypes[][2] = {
    {u"Plains", u"平地"}, {u"Island", u"島"}, {u"Swamp", u"沼"}, {u"Mountain", u"山"}, {u"Forest", u"森"}};
constexpr QStringView kWords = u"白青黒赤緑◇";
constexpr unsigned kAnyColor = 0x1f;  // white … green
// Longer than any sentence that adds mana; keeps a long text's reading linear.
constexpr qsizetype kMaxClause = 200;
// Characters a symbol may hold besides colours: generic amounts, X, the
// hybrid slash, Phyrexian, half and snow marks.
constexpr QStringView kOtherSymbolChars = u"0123456789０１２３４５６７８９XＸ/PＰΦHS氷";

// The colour a symbol character stands for (W or 白, ◇ or C); -1 for none.
int manaColorOf(QChar c) {
  qsizetype i = kLetters.indexOf(c);
  if (i < 0) i = kWords.indexOf(c);
  return int(i);
}

// The colours of one symbol's inner text ("W/U", "緑", "2/W"); nothing when
// the text is no mana symbol (reminder text in parentheses, "Ｔ" names none).
unsigned symbolColors(QStringView inner) {
  if (inner.isEmpty() || inner.size() > 8) return 0;
  unsigned colors = 0;
  for (QChar c : inner) {
    const int color = manaColorOf(c);
    if (color >= 0)
      colors |= 1u << color;
    else if (!kOtherSymbolChars.contains(c))
      return 0;
  }
  return colors;
}

// Calls `symbol` with the colours and the inner text of each symbol in
// braces or parentheses; with `bare`, letters outside them are symbols too
// (the compact cost form).
template <typename F>
void forEachSymbol(QStringView text, bool bare, F symbol) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'{' || c == u'(') {
      const qsizetype close = text.indexOf(c == u'{' ? u'}' : u')', i + 1);
      if (close < 0) return;
      const QStringView inner = text.mid(i + 1, close - i - 1);
      symbol(symbolColors(inner), inner);
      i = close;
    } else if (bare && kLetters.contains(c)) {
      symbol(1u << manaColorOf(c), text.mid(i, 1));
    }
  }
}

// The mana a clause adds; an amount ({1}を加える, as older texts write
// colourless mana) is colourless.
unsigned symbolsIn(QStringView clause) {
  unsigned colors = 0;
  forEachSymbol(clause, false, [&](unsigned c, QStringView inner) {
    bool number = false;
    if (c == 0 && inner.toString().normalized(QString::NormalizationForm_KC).toInt(&number) > 0 && number)
      c = 1u << kColorless;
    colors |= c;
  });
  return colors;
}

// What a clause that adds mana adds: every colour where it names a colour
// of the player's choice.
unsigned clauseColors(QStringView clause, std::initializer_list<QStringView> anyColor) {
  for (QStringView phrase : anyColor)
    if (clause.contains(phrase)) return kAnyColor;
  return symbolsIn(clause);
}

unsigned japaneseProduced(QStringView text) {
  static constexpr QStringView kAdd = u"加える";
  static constexpr QStringView kClauseEnds = u"：:。\n\r「";
  unsigned colors = 0;
  for (qsizetype at = text.indexOf(kAdd); at >= 0; at = text.indexOf(kAdd, at + kAdd.size())) {
    qsizetype start = at;
    while (start > std::max<qsizetype>(0, at - kMaxClause) && !kClauseEnds.contains(text[start - 1])) --start;
    colors |= clauseColors(text.mid(start, at - start),
                           {u"好きな色", u"固有色", u"色１色のマナ", u"選ばれた色", u"選んだ色"});
  }
  return colors;
}

unsigned englishProduced(QStringView text) {
  static const QRegularExpression add(QStringLiteral("\\b[Aa]dds?\\b"));
  unsigned colors = 0;
  for (auto it = add.globalMatch(text); it.hasNext();) {
    const qsizetype from = it.next().capturedEnd();
    qsizetype to = from;
    while (to < std::min(text.size(), from + kMaxClause) && text[to] != u'.' && text[to] != u'\n') ++to;
    colors |= clauseColors(
        text.mid(from, to - from),
        {u"any color", u"any one color", u"combination of colors", u"color identity", u"chosen color"});
  }
  return colors;
}

}  // namespace

QChar manaLetter(int color) { return kLetters[color]; }

ManaCounts costPips(QStringView cost) {
  ManaCounts pips{};
  forEachSymbol(cost, true, [&](unsigned colors, QStringView) {
    for (int c = 0; c < kManaColors; ++c)
      if (colors & (1u << c)) ++pips[size_t(c)];
  });
  return pips;
}

unsigned producedColors(QStringView rulesText) {
  return japaneseProduced(rulesText) | englishProduced(rulesText);
}

unsigned landTypeColors(QStringView typeLine) {
  for (QStringView dash : {QStringView(u"—"), QStringView(u"―"), QStringView(u" - ")})
    if (const qsizetype at = typeLine.indexOf(dash); at >= 0) typeLine = typeLine.mid(at + dash.size());
  static const QRegularExpression separators(QStringLiteral("[\\s・]+"));
  unsigned colors = 0;
  for (QStringView word : typeLine.split(separators, Qt::SkipEmptyParts))
    for (int c = 0; c < 5; ++c)
      if (word == kLandTypes[c][0] || word == kLandTypes[c][1]) colors |= 1u << c;
  return colors;
}

unsigned fetchedColors(QStringView rulesText) {
  static const QRegularExpression english(
      QStringLiteral("[Ss]earch your library for ([^.]{0,80}?) cards?\\b"));
  static const QRegularExpression japanese(QStringLiteral("ライブラリーから([^。：]{0,40}?)探"));
  unsigned colors = 0;
  for (auto it = english.globalMatch(rulesText); it.hasNext();)
    colors |= landTypeColors(it.next().capturedView(1));
  for (auto it = japanese.globalMatch(rulesText); it.hasNext();) {
    const QStringView types = it.next().capturedView(1);
    for (int c = 0; c < 5; ++c)
      if (types.contains(kLandTypes[c][1])) colors |= 1u << c;
  }
  return colors;
}

}  // namespace tv

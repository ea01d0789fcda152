#include "analysis/deckstats.h"

#include "carddb/codes.h"
#include "output/decksections.h"

namespace tv {
namespace {

struct TypeRow {
  unsigned group;
  QStringView label;
};

// In the order shown; a card counts under the first of its types (an
// artifact creature under クリーチャー), so the numbers add up to the deck.
constexpr TypeRow kTypes[] = {
    {CreatureGroup, u"クリーチャー"},
    {PlaneswalkerGroup, u"プレインズウォーカー"},
    {InstantGroup, u"インスタント"},
    {SorceryGroup, u"ソーサリー"},
    {EnchantmentGroup, u"エンチャント"},
    {ArtifactGroup, u"アーティファクト"},
    {LandGroup, u"土地"},
};
constexpr int kOtherType = int(std::size(kTypes));

int typeRow(const QString& cardType) {
  const CardTypeCode* code = findCardType(cardType);
  for (int i = 0; code && i < kOtherType; ++i)
    if (code->groups & kTypes[i].group) return i;
  return kOtherType;
}

bool isLand(const QString& cardType) {
  const CardTypeCode* code = findCardType(cardType);
  return code && (code->groups & LandGroup);
}

// A land that fetches a basic land type counts as a source of its colour,
// as players count it.
unsigned sourceColors(const DeckCard& c, bool land, const CardFactsMap& facts) {
  auto made = [&](const QString& text) { return producedColors(text) | (land ? fetchedColors(text) : 0); };
  unsigned colors = made(c.text);
  const auto it = facts.constFind(nameKey(c.NameE));
  if (it != facts.cend()) colors |= made(it->text) | landTypeColors(it->typeLine);
  // Without a type line a basic land is named by its land type.
  else if (c.cardType == kBasicLand)
    colors |= landTypeColors(c.NameE);
  return colors;
}

// n copies of a card with `each` symbols, without wrapping.
qint64 timesCopies(qint64 each, qint64 n) {
  qint64 product;
  return __builtin_mul_overflow(each, n, &product) ? INT64_MAX : product;
}

}  // namespace

DeckStats deckStats(const DeckCards& deck, const CardFactsMap& facts) {
  DeckStats s;
  std::array<qint64, kOtherType + 1> main{}, side{};
  ManaCounts pips{}, landSources{}, otherSources{};
  double costSum = 0;
  qint64 costed = 0;
  for (const DeckCard& c : deck.side) {
    const qint64 n = std::max<qint64>(c.copies, 0);
    qint64& count = side[size_t(typeRow(c.cardType))];
    count = addCopies(count, n);
    s.sideCards = addCopies(s.sideCards, n);
  }
  for (const DeckCard& c : deck.main) {
    const qint64 n = std::max<qint64>(c.copies, 0);
    qint64& count = main[size_t(typeRow(c.cardType))];
    count = addCopies(count, n);
    s.mainCards = addCopies(s.mainCards, n);
    const bool land = isLand(c.cardType);
    if (land) s.lands = addCopies(s.lands, n);
    if (!land && c.manaValue && *c.manaValue >= 0) {
      costSum += double(*c.manaValue) * double(n);
      costed = addCopies(costed, n);
      qint64& bar = s.curve[size_t(std::min<qint64>(*c.manaValue, kCurveBuckets - 1))];
      bar = addCopies(bar, n);
    }
    const ManaCounts cardPips = costPips(c.cost);
    const unsigned made = sourceColors(c, land, facts);
    ManaCounts& sources = land ? landSources : otherSources;
    for (size_t k = 0; k < size_t(kManaColors); ++k) {
      pips[k] = addCopies(pips[k], timesCopies(cardPips[k], n));
      if (made & (1u << k)) sources[k] = addCopies(sources[k], n);
    }
  }
  s.nonLands = s.mainCards - s.lands;
  if (costed > 0) s.averageManaValue = costSum / double(costed);

  for (int i = 0; i <= kOtherType; ++i) {
    if (i == kOtherType && main[size_t(i)] == 0 && side[size_t(i)] == 0) break;
    s.types.append({i == kOtherType ? QStringLiteral("その他") : kTypes[i].label.toString(), main[size_t(i)],
                    side[size_t(i)]});
  }
  double allPips = 0;
  for (qint64 p : pips) allPips += double(p);
  for (size_t k = 0; k < size_t(kManaColors); ++k) {
    const ColorCode* code = findColor(QStringView(u"WUBRGN").mid(qsizetype(k), 1));
    s.colors.append({int(k), code ? code->label.toString() : QString(), pips[k],
                     allPips > 0 ? double(pips[k]) / allPips : 0, landSources[k], otherSources[k]});
  }
  return s;
}

QString curveLabel(int bucket) {
  return bucket == kCurveBuckets - 1 ? QStringLiteral("%1+").arg(bucket) : QString::number(bucket);
}

QString averageText(const std::optional<double>& average) {
  return average ? QString::number(*average, 'f', 2) : QStringLiteral("−");
}

QString percentText(double fraction) { return QString::number(fraction * 100, 'f', 1) + u'%'; }

}  // namespace tv

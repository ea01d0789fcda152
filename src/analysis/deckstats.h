// The numbers players tune a deck by: cards by type, lands, the average mana
// value, the curve, and what the costs ask of each colour beside the cards
// that make it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "analysis/cardfacts.h"
#include "analysis/deckcards.h"
#include "analysis/manasymbols.h"

namespace tv {

struct TypeCount {
  QString label;  // "クリーチャー", …, "土地"
  qint64 main = 0;
  qint64 side = 0;
};

struct ColorStat {
  int color = 0;  // ManaColor
  QString label;  // "白", …, "無色"
  qint64 pips = 0;
  double share = 0;         // of all pips of the main deck, 0 … 1
  qint64 landSources = 0;   // copies of lands that make the colour
  qint64 otherSources = 0;  // copies of other cards that make it
};

inline constexpr int kCurveBuckets = 8;  // 0 … 6, then 7 and more

struct DeckStats {
  QList<TypeCount> types;  // every type, in a fixed order; "その他" only when a card has none of them
  qint64 mainCards = 0, sideCards = 0;
  qint64 lands = 0, nonLands = 0;             // main deck
  std::optional<double> averageManaValue;     // of the main deck's non-land cards with a known cost
  std::array<qint64, kCurveBuckets> curve{};  // the same cards by mana value
  QList<ColorStat> colors;                    // white … green, then colourless
};

// `facts` adds to each card's TextN its English text, whose reminders say
// what a basic land makes, and its type line, whose basic land types do.
DeckStats deckStats(const DeckCards& deck, const CardFactsMap& facts = {});

// "0" … "6", "7+".
QString curveLabel(int bucket);

// "2.35"; "−" when there is none.
QString averageText(const std::optional<double>& average);

// "38.5%": a share or chance to one decimal of a per cent.
QString percentText(double fraction);

}  // namespace tv

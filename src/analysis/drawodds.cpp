#include "analysis/drawodds.h"

#include <algorithm>

namespace tv {
namespace {

constexpr qint64 kHand = 7;

// P(X = x) for X hypergeometric: x of `copies` among `seen` drawn from `deck`,
// as a product of ratios (no factorials, any deck size).
double exactly(qint64 deck, qint64 copies, qint64 seen, qint64 x) {
  if (x < 0 || x > copies || x > seen || seen - x > deck - copies) return 0;
  // C(seen, x) · copies!/(copies−x)! · (deck−copies)!/(deck−copies−seen+x)! · (deck−seen)!/deck!
  double p = 1;
  for (qint64 i = 0; i < x; ++i)
    p *= double(seen - i) / double(x - i) * double(copies - i) / double(deck - i);
  for (qint64 j = 0; j < seen - x; ++j) p *= double(deck - copies - j) / double(deck - x - j);
  return p;
}

}  // namespace

double chanceOfAtLeast(qint64 deck, qint64 copies, qint64 seen, int wanted) {
  if (deck <= 0 || copies <= 0) return wanted <= 0 ? 1 : 0;
  copies = std::min(copies, deck);
  seen = std::clamp<qint64>(seen, 0, deck);
  double below = 0;
  for (int x = 0; x < wanted; ++x) below += exactly(deck, copies, seen, x);
  return std::clamp(1 - below, 0.0, 1.0);
}

double chanceWithMulligan(qint64 deck, qint64 copies, int wanted) {
  const double first = chanceOfAtLeast(deck, copies, kHand, wanted);
  if (deck <= 0 || copies <= 0) return first;
  // The six kept of the second seven hold all its wanted cards but when all
  // seven are wanted.
  const qint64 seen = std::min(kHand, deck);
  double second = 0;
  for (qint64 x = 0; x <= seen; ++x)
    if (std::min(x, kHand - 1) >= wanted) second += exactly(deck, std::min(copies, deck), seen, x);
  return first + (1 - first) * std::clamp(second, 0.0, 1.0);
}

DrawOdds drawOdds(qint64 deck, qint64 copies) {
  DrawOdds odds;
  odds.deck = deck;
  odds.copies = copies;
  auto chance = [&](qint64 seen) {
    return DrawChance{chanceOfAtLeast(deck, copies, seen, 1), chanceOfAtLeast(deck, copies, seen, 2)};
  };
  const DrawChance opening = chance(kHand);
  odds.rows.append({QStringLiteral("初手（7枚）"), opening, opening});
  const DrawChance mulligan{chanceWithMulligan(deck, copies, 1), chanceWithMulligan(deck, copies, 2)};
  odds.rows.append({QStringLiteral("マリガン込み"), mulligan, mulligan});
  for (int turn = 2; turn <= kLastOddsTurn; ++turn)
    odds.rows.append(
        {QStringLiteral("%1ターン目").arg(turn), chance(kHand + turn - 1), chance(kHand + turn)});
  return odds;
}

QString mulliganExplanation() {
  return QStringLiteral(
      "マリガン込み：最初の7枚に入っていなければ1回マリガンする場合。ロンドン・マリガンで新しく7枚引き、"
      "狙いのカード以外の1枚をライブラリーの一番下に置いて6枚で始めます。");
}

}  // namespace tv

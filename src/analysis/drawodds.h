// How likely chosen cards are in hand: the exact hypergeometric chances of
// at least one and at least two of them among the cards seen, in the opening
// hand and by each of the first turns, on the play and on the draw.
#pragma once

#include <QList>
#include <QString>

namespace tv {

// The chance of at least `wanted` of `copies` cards among `seen` cards drawn
// from a deck of `deck` (every card drawn when the deck has no more).
double chanceOfAtLeast(qint64 deck, qint64 copies, qint64 seen, int wanted);

// With one mulligan, London style: a seven-card hand without `wanted` of the
// cards is shuffled away, seven new cards are drawn and one that is not a
// wanted card (unless all are) goes to the bottom. The chance that the hand
// kept, of seven or of six cards, holds at least `wanted`.
double chanceWithMulligan(qint64 deck, qint64 copies, int wanted);

struct DrawChance {
  double atLeastOne = 0;
  double atLeastTwo = 0;
};

struct DrawOddsRow {
  QString label;  // "初手（7枚）", "マリガン込み", "2ターン目", …
  DrawChance onPlay, onDraw;
};

struct DrawOdds {
  qint64 deck = 0;    // cards in the main deck
  qint64 copies = 0;  // of them the chosen ones
  QList<DrawOddsRow> rows;
};

inline constexpr int kLastOddsTurn = 6;

// The opening hand, the mulligan row beside it, then turns 2 to 6. By turn t
// a player on the play has seen 7 + (t − 1) cards, on the draw 7 + t.
DrawOdds drawOdds(qint64 deck, qint64 copies);

// What the mulligan row means, for the tab to say beside it.
QString mulliganExplanation();

}  // namespace tv

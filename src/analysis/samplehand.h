// A sample hand: seven cards drawn at random from the main deck, then one
// more at a time; a mulligan shuffles everything back and draws seven anew.
#pragma once

#include <QList>
#include <QStringList>
#include <random>

#include "analysis/deckcards.h"

namespace tv {

class SampleHand {
 public:
  // The main deck's lines; `seed` makes the draws repeatable (tests).
  SampleHand(QList<DeckCard> deck, quint64 seed);

  // A new hand of seven from the whole deck ("マリガン", and the first hand).
  void newHand();
  // One card more; false when the library is empty ("1枚引く").
  bool drawOne();

  // The hand as deck-list lines ("2  Lightning Bolt/稲妻"), each card once, in
  // the order first drawn.
  QStringList lines() const;
  qint64 handSize() const { return handSize_; }
  qint64 librarySize() const { return library_; }

 private:
  quint64 below(quint64 n);  // uniform in [0, n)

  QList<DeckCard> deck_;
  std::vector<qint64> left_;   // copies of each line still in the library
  std::vector<qint64> drawn_;  // copies of each line in hand
  std::vector<int> order_;     // lines in the order first drawn
  qint64 library_ = 0, handSize_ = 0;
  std::mt19937_64 random_;
};

}  // namespace tv

#include "analysis/samplehand.h"

#include "deck/decklist.h"
#include "output/decksections.h"

namespace tv {

SampleHand::SampleHand(QList<DeckCard> deck, quint64 seed) : deck_(std::move(deck)), random_(seed) {
  newHand();
}

void SampleHand::newHand() {
  left_.assign(size_t(deck_.size()), 0);
  drawn_.assign(size_t(deck_.size()), 0);
  order_.clear();
  library_ = handSize_ = 0;
  for (qsizetype i = 0; i < deck_.size(); ++i) {
    left_[size_t(i)] = std::max<qint64>(deck_[i].copies, 0);
    library_ = addCopies(library_, left_[size_t(i)]);
  }
  for (int i = 0; i < 7 && drawOne();) ++i;
}

bool SampleHand::drawOne() {
  if (library_ <= 0) return false;
  // The library as counts, not cards: a deck file may bring in any count.
  quint64 pick = below(quint64(library_));
  size_t line = 0;
  while (pick >= quint64(left_[line])) pick -= quint64(left_[line++]);
  --left_[line];
  --library_;
  if (drawn_[line]++ == 0) order_.push_back(int(line));
  ++handSize_;
  return true;
}

QStringList SampleHand::lines() const {
  QStringList out;
  for (int line : order_) {
    const DeckCard& c = deck_[line];
    out << deckLine(drawn_[size_t(line)], c.NameE, c.NameN);
  }
  return out;
}

quint64 SampleHand::below(quint64 n) {
  // Rejection keeps every value equally likely; mt19937_64's output is the
  // same everywhere, so a seed gives the same hand everywhere.
  const quint64 limit = UINT64_MAX - UINT64_MAX % n;
  quint64 r;
  do r = random_();
  while (r >= limit);
  return r % n;
}

}  // namespace tv

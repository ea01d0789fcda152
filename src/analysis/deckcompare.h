// What the current deck has more and less than another version of it, per
// English name (every printing together), for the main deck and the
// sideboard: "+2 Lightning Bolt/稲妻", "−1 Forest/森".
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "analysis/deckcards.h"
#include "carddb/cardnames.h"
#include "deck/deck.h"

namespace tv {

struct CountChange {
  QString NameE, NameN;
  qint64 change = 0;  // the current deck's copies minus the other's
};

struct DeckComparison {
  QList<CountChange> main, side;  // more first, then less; each by English name
  bool same() const { return main.isEmpty() && side.isEmpty(); }
};

DeckComparison compareDecks(const DeckCards& current, const DeckCards& other);

// A deck's lines with their Japanese names from the card master (a deck
// file holds card keys only).
DeckCards deckCardsOf(const Deck& deck, Database& db);

// "+2 Lightning Bolt/稲妻" ("−" is U+2212).
QString changeLine(const CountChange& c);

// The whole comparison for the clipboard: a heading per half, its lines;
// "違いはありません" when the decks hold the same cards. LF line ends.
QString comparisonText(const DeckComparison& c);

struct OtherDeck {
  std::optional<DeckCards> cards;
  QString error;        // for the user, when there are no cards
  int unreadLines = 0;  // text lines left out (unknown names and the like)
};

// Reads a deck file (.tvf) or, any other name, a text deck list, without
// touching the deck tables.
OtherDeck readOtherDeck(const QString& path, Database& db, const CardNames& names);

}  // namespace tv

// The deck as the analysis reads it: both halves' lines in list order (the
// deck lists' own query, so line k here is line k there), each with what the
// card master says of its card.
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QVariant>
#include <optional>

#include "carddb/database.h"

namespace tv {

enum class DeckHalf { Main, Side };

// A line of one of the deck lists.
struct DeckLineRef {
  DeckHalf half = DeckHalf::Main;
  int line = 0;
  friend bool operator==(const DeckLineRef&, const DeckLineRef&) = default;
};

struct DeckCard {
  DeckLineRef ref;
  QString CardSetEx;
  QString NameE;
  QString NameN;  // the deck row's, as its list line shows it
  qint64 copies = 0;
  // From tbl_CardMst; empty (no card type) when the master has no such row.
  QString cardType;
  QString cost;
  std::optional<qint64> manaValue;  // NumCost; none for lands and unknown costs
  QString text;                     // TextN
};

struct DeckCards {
  QList<DeckCard> main;
  QList<DeckCard> side;
};

// Both deck tables in the order of their lists under `sortField`.
DeckCards readDeckCards(Database& db, const QString& sortField);

// "Lightning Bolt/稲妻": the names as a deck line shows them, without the count.
QString cardLabel(const QString& nameE, const QString& nameN);

// A printing as the card master's key compares it (expansion and English
// name, letter case aside): what stays of a line when the lines move.
QString printingKey(const QString& CardSetEx, const QString& NameE);
inline QString printingKey(const DeckCard& c) { return printingKey(c.CardSetEx, c.NameE); }

// The lines of `half` that hold one of `printings` (printingKey).
QList<int> linesOfPrintings(const QList<DeckCard>& half, const QSet<QString>& printings);

// A name as names are compared: without regard to letter case, as the card
// master's key compares them.
inline QString nameKey(QStringView name) { return name.toString().toLower(); }

}  // namespace tv

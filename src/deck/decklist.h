// The two halves of the deck as lists: lines, counts and the label texts.
// Plain data out; the deck-building tab applies it to its widgets.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "carddb/database.h"
#include "carddb/names.h"

namespace tv {

// "wtbl_DecList" is the main deck; any other name the sideboard.
inline bool isMainDeck(const QString& table) { return table == kMainDeckTable; }

// What a deck list shows selected after a refresh.
struct DeckSelection {
  enum class Kind { None, Index, Card };
  Kind kind = Kind::None;
  int index = -1;
  CardKey card;
  static DeckSelection none() { return {}; }
  static DeckSelection line(int i) { return {Kind::Index, i, {}}; }
  // The line of this card, compared exactly (letter case included); none when it has no row.
  static DeckSelection cardLine(CardKey key) { return {Kind::Card, -1, std::move(key)}; }
};

struct DeckListView {
  QString table;
  QStringList lines;
  qint64 count = 0;    // copies, not lines
  int selection = -1;  // -1: none
  QString label;       // the count label's text
};

// "4  Card One/カード一": copies, two blanks, English name, slash, Japanese name.
QString deckLine(const QVariant& copies, const QVariant& nameE, const QVariant& nameN);

// "-メイン- 60枚" or "-サイド- 15枚".
QString deckCountLabel(const QString& table, qint64 count);

// The deck table in list order (the sort column, then the English name):
// every reader of a deck list reads it through this one query, so a line
// number means the same row to all of them.
QString deckListQuery(const QString& table, const QString& sortField);

// Reads one deck list from its table.
DeckListView readDeckList(Database& db, const QString& table, const QString& sortField,
                          const DeckSelection& selection);

// A deck-table row found from its line in the list.
struct DeckRow {
  int index = -1;  // the line it was found on
  QString CardSetEx;
  QString NameE;
  QVariant NameN, CardMaisu, NumCost, CAttack, CDefence;
};

DeckRow deckRowFrom(const Recordset& rs, int index);

// The row on line `line` of `table`'s list; nothing for no line (-1) or a
// line past the end.
std::optional<DeckRow> findDeckRow(Database& db, const QString& table, const QString& sortField, int line);

}  // namespace tv

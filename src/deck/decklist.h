// The two halves of the deck as lists: lines, counts and the label texts.
// Plain data out; the main window applies it to its widgets.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

#include "session/context.h"

namespace tv {

inline const QString kMainDeckTable = QStringLiteral("wtbl_DecList");
inline const QString kSideDeckTable = QStringLiteral("wtbl_DecSideList");

// "wtbl_DecList" is the main deck; any other name the sideboard.
inline bool isMainDeck(const QString& table) { return table == kMainDeckTable; }

// What a deck list shows selected after a refresh.
struct DeckSelection {
  enum class Kind { None, Index, CurrentCard };
  Kind kind = Kind::None;
  int index = -1;
  static DeckSelection none() { return {}; }
  static DeckSelection line(int i) { return {Kind::Index, i}; }
  static DeckSelection currentCard() { return {Kind::CurrentCard, -1}; }
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

// The deck table in list order: the sort column, then the English name.
QString deckListQuery(const QString& table, const QString& sortField);

// Refills one deck list from its table.
DeckListView RefreshDeckList(AppContext& ctx, const QString& table, DeckSelection selection);

// The same from a query of the caller's that reads the table in list order
// (the search and the moves name their own column lists).
DeckListView readDeckList(AppContext& ctx, const QString& table, const QString& query,
                          DeckSelection selection);

// A deck-table row found again from its line in the list.
struct DeckRow {
  int index = -1;  // the line it was found on
  QString CardSetEx;
  QString NameE;
  // Null when the look-up query does not read the column.
  QVariant NameN, CardMaisu, NumCost, CAttack, CDefence;
};

// Opens `query` (a deck table in list order, as the list was filled) and
// takes the row on line `selectedLine`. Nothing when the table is empty, no
// line is selected (-1), or the table has fewer rows than the list had lines:
// the callers then change and refresh nothing.
std::optional<DeckRow> findDeckRow(AppContext& ctx, const QString& query, int selectedLine);

}  // namespace tv

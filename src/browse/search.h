// The card search: the filter state of the deck-building tab turned into one
// INSERT … SELECT into wtbl_CardList, and the lists read back from it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "browse/namefilter.h"
#include "deck/decklist.h"
#include "query/query.h"
#include "session/context.h"
#include "text/lines.h"

namespace tv {

// The filter controls as the search reads them. A box that is true is checked.
struct SearchFilter {
  QList<int> selectedSets;  // positions of the selected lines of lst_CardSet, ascending
  bool W = true, U = true, B = true, R = true, G = true, M = true, N = true;
  bool Land = true, Instant = true, Sorcery = true, Enchantment = true, Artifact = true, Creature = true,
       Planeswalker = true;
  bool CTypeOn = false;
  QString CType;  // the combo box's text
  // The creature type CType names, in either language (CreatureTypes::find;
  // searchCards sets it): a card passes when it is among the card's types.
  // Empty: CType is looked for in the card's CType as it stands.
  QString creatureType;
  // 同名カードをまとめる: one line per English name, the printing of the
  // newest selected expansion; with a name typed, its exact matches first.
  bool oneLinePerName = false;
  // txt_Name: a card query (query/query.h); plain words are the card's name,
  // which its English or Japanese name holds (browse/namefilter.h)
  QString name;
  QString sortField;  // empty: no option selected, the previous gSortField stays
};

// One condition of an unchecked colour or card-type box, "<column> <> '<code>'",
// in the order the statement writes them.
struct FilterClause {
  bool SearchFilter::*box;
  QString column;
  QString code;
};
const std::vector<FilterClause>& filterClauses();

// The sort column of the first selected option, in the order 英語名, 日本語名,
// コスト, パワー, タフネス; empty when none is selected.
QString sortFieldFromOptions(bool nameE, bool nameN, bool cost, bool attack, bool defence);

// With a name filter the statement calls the predicate "NameMatch" that
// searchCards defines for it; without one it is the plain statement.
QString buildSearchStatement(const SearchFilter& filter, const QString& sortField,
                             const NameFilter* names = nullptr);
// The statement's SELECT … ORDER BY, without its INSERT.
QString searchSelect(const SearchFilter& filter, const QString& sortField, const NameFilter* names = nullptr);

struct SearchResult {
  Lines cardLines;        // lst_CardList, in wtbl_CardList's order
  DeckListView mainDeck;  // both with no selection; their labels are not for the search to set
  DeckListView sideDeck;
  // What the name box's query could not do with this card data; the card list is then empty.
  QString queryError;
  // A name or query typed and nothing found: the lines every expansion
  // selected would give (0 when that is the selection already).
  qsizetype elsewhere = 0;
};

// The name box's text as the search reads it, with the format names of the
// card data. An error ("「mv<<2」を読めません", or a term the card data holds
// nothing for) means no search: the list keeps its last result.
query::Parsed readNameBox(AppContext& ctx, QStringView text);

// Empties wtbl_CardList, sets gSortField, fills the table and reads the three
// lists back. Large searches go through the card catalogue (cardcatalogue.h),
// which fills the table only before the connection's next statement, so the
// lines can be on screen first; the table and the lines are those the
// statement gives. A name box that is more than a name is a query, which the
// catalogue answers at any size; one that cannot be read (readNameBox) finds
// nothing.
SearchResult searchCards(AppContext& ctx, const SearchFilter& filter);

// The filter with every expansion selected; nullopt when it is that already.
std::optional<SearchFilter> everyExpansion(Database& db, const SearchFilter& filter);
// How many lines the search gives with every expansion selected.
qsizetype countInEveryExpansion(Database& db, const SearchFilter& filter, const NameFilter* names);

// What the first large search and the name box's first keystroke would
// otherwise wait for: the card catalogue and the card names, made now. Worth
// doing while nothing else is (the start-up window). Throws DbError when the
// names cannot be read; the catalogue leaves its failures to the search.
void prepareSearches(AppContext& ctx);

// The statement itself into the emptied wtbl_CardList (its rows grouped as
// the filter asks).
void fillByStatement(Database& db, const SearchFilter& filter, const QString& sortField,
                     const NameFilter* names = nullptr);

// The statement itself into the emptied wtbl_CardList, and the card-list lines read back.
QStringList runSearchStatement(Database& db, const SearchFilter& filter, const QString& sortField,
                               const NameFilter* names = nullptr);

// A double-click on the colour or card-type frame: true checks every box of
// the frame, false clears them. Only the flag decides, never the boxes.
inline bool nextFrameToggle(qint16& flag) {
  const bool checkAll = flag != 0;
  flag = checkAll ? 0 : 1;
  return checkAll;
}

}  // namespace tv

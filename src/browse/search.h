// The card search: the filter state of the deck-building tab turned into one
// INSERT … SELECT into wtbl_CardList, and the lists read back from it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "browse/namefilter.h"
#include "deck/decklist.h"
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
  QString CType;      // the combo box's text, used as it stands
  QString name;       // txt_Name: the card's English or Japanese name holds it (browse/namefilter.h)
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

struct SearchResult {
  Lines cardLines;        // lst_CardList, in wtbl_CardList's order
  DeckListView mainDeck;  // both with no selection; their labels are not for the search to set
  DeckListView sideDeck;
};

// Empties wtbl_CardList, sets gSortField, fills the table and reads the three
// lists back. Large searches go through the card catalogue (cardcatalogue.h),
// which fills the table only before the connection's next statement, so the
// lines can be on screen first; the table and the lines are those the
// statement gives.
SearchResult searchCards(AppContext& ctx, const SearchFilter& filter);

// What the first large search and the name box's first keystroke would
// otherwise wait for: the card catalogue and the card names, made now. Worth
// doing while nothing else is (the start-up window). Throws DbError when the
// names cannot be read; the catalogue leaves its failures to the search.
void prepareSearches(AppContext& ctx);

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

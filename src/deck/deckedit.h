// Changing the deck one copy at a time: adding the current card, removing a
// selected line, moving a selected line between main deck and sideboard.
//
// Each call changes exactly one copy of exactly one deck row (the row behind
// the line, even where a deck file brought in two rows of one card) and
// returns the refreshed list(s), or std::nullopt when it did nothing and
// nothing is to be redrawn. A returned selection is set on the list as a
// click would set it, so the window shows that line's card.
//
// Limit: four copies of a card per table, all its rows together; cards of
// type BL in tbl_CardMst are free up to kMaxCopies, a card without a master
// row is limited.
#pragma once

#include <QString>
#include <optional>

#include "deck/decklist.h"
#include "session/context.h"

namespace tv {

// Free of the copy limit: a card of type BL in the card master.
bool isBasicLand(Database& db, const QString& set, const QString& nameE);

// One more copy of gCurrentCard in `table` ("wtbl_DecList" or
// "wtbl_DecSideList"). Nothing when no card has been shown. At the limit the
// table stays as it is but the list is still refreshed. The view selects the
// current card's line, or none when the card has no row there.
std::optional<DeckListView> addCopyToDeck(AppContext& ctx, const QString& table);

// One copy less of the row on line `line` (-1: none) of `table`'s list; the
// last copy deletes the row. Nothing when there is no such line. The view
// keeps the line selected, or the line above after a deletion (none when
// line 0 was deleted).
std::optional<DeckListView> removeCopyFromDeck(Database& db, const QString& table, const QString& sortField,
                                               int line);

// Both lists after a move. The source list selects the moved line (the line
// above when its row went, none when that was line 0); the target list
// selects nothing.
struct DeckMoveResult {
  DeckListView main, side;
};

// One copy of the row on line `line` of the sideboard's (main deck's) list
// into the other half. Nothing when the source line does not exist. When
// the target already holds four copies of a limited card, both tables stay
// as they are (no copy is lost) and both lists are refreshed with the source
// line still selected.
std::optional<DeckMoveResult> moveCopyToMain(Database& db, const QString& sortField, int sideLine);
std::optional<DeckMoveResult> moveCopyToSide(Database& db, const QString& sortField, int mainLine);

}  // namespace tv

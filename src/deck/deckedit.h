// Changing the deck one copy at a time: adding the current card, removing a
// selected line, moving a selected line between main deck and sideboard.
//
// Each call changes the deck tables and returns the refreshed list(s) for the
// main window to apply, or std::nullopt when it did nothing and nothing is to
// be redrawn. A returned selection is set on the list as a click would set it,
// so the window shows that line's card (the same card again is a no-op).
//
// Limit: four copies of a card per table; cards of type BL are free.
#pragma once

#include <QString>
#include <optional>

#include "session/context.h"
#include "deck/decklist.h"

namespace tv {

// One more copy of gCurrentCard in `table` ("wtbl_DecList" or
// "wtbl_DecSideList"). Nothing when no card has been shown. At the limit the
// table stays as it is but the list is still refreshed. The view selects the
// current card's line, or none when the card has no row there.
std::optional<DeckListView> AddCardToDeck(AppContext& ctx, const QString& table);

// One copy less of the card on line `selectedLine` (-1: none) of `table`'s
// list; the last copy deletes the row. Nothing when there is no such line.
// The view keeps the line selected, or the line above after a deletion
// (none when line 0 was deleted).
std::optional<DeckListView> RemoveCardFromDeck(AppContext& ctx, const QString& table, int selectedLine);

// Both lists after a move, main deck refreshed first. The source list selects
// the moved line (the line above when its row went, none when that was line
// 0); the target list selects nothing.
struct DeckMoveResult {
  DeckListView main, side;
};

// "↑": one copy of the sideboard's line `sideSelectedLine` into the main deck.
// "↓": one copy of the main deck's line `mainSelectedLine` into the sideboard.
// Nothing when the source line does not exist. When the target already holds
// four copies of a limited card, both tables stay as they are (no copy is
// lost) and both lists are refreshed with the source line still selected.
// Main's slots of the same name call these as tv::cmd_MoveMain_Click(...).
std::optional<DeckMoveResult> cmd_MoveMain_Click(AppContext& ctx, int sideSelectedLine);
std::optional<DeckMoveResult> cmd_MoveSide_Click(AppContext& ctx, int mainSelectedLine);

}  // namespace tv

// The deck tables as a Deck and back, and the deck file commands over them.
// The file is checked whole before the deck is touched, and the deck tables
// change in one transaction: a failure leaves everything as it was.
#pragma once

#include <QString>
#include <optional>

#include "carddb/database.h"
#include "deck/deck.h"

namespace tv {

// Both deck tables in the order they hold their rows; no title or comment.
Deck readDeckTables(Database& db);

// Empties both deck tables and fills them from `deck`, taking each card's
// Japanese name, cost, power and toughness from tbl_CardMst (left empty for
// a card it does not hold). A name the master misses that a save folded
// (tvfCardText) gets the master's name back when exactly one card of its
// expansion folds to it. All or nothing: on DbError the tables are as they
// were. Returns the rows as the tables now hold them.
Deck replaceDeckTables(Database& db, const Deck& deck);

// Larger files are refused; a deck file is a few kilobytes.
inline constexpr qint64 kMaxDeckFileSize = 16 * 1024 * 1024;

struct DeckFileOutcome {
  bool ok = false;
  QString error;  // for the user's message box, when not ok
  Deck deck;      // what was saved, or what the deck now is after opening
};

// Writes the deck tables with `title` and `comment` to `path` through
// writeFileAtomically: a failure changes no file. The error names the cause.
DeckFileOutcome SaveDeckFile(Database& db, const QString& path, const QString& title, const QString& comment);

// The deck a file holds, read and checked; the deck tables are not touched.
DeckFileOutcome ReadDeckFile(const QString& path);

// Replaces the deck with the file's; the outcome's deck holds the file's
// title and comment and the rows as the tables now hold them.
DeckFileOutcome OpenDeckFile(Database& db, const QString& path);

// Whether a file given to the program (dropped on the window, named on the
// command line) is opened as a deck file rather than read as a deck list in
// text: a .tvf file is, and so is a file that reads as a deck file beginning
// with its quoted title (a deck saved under a name without extension). A file
// that cannot be read is taken for a deck file, whose opening says why.
bool isDeckFile(const QString& path);

// Whether the deck differs from the one last started with, opened or saved.
// Row order does not count: editing may reorder the tables' rows.
class DeckChangeTracker {
 public:
  void markSaved(const Deck& deck) { baseline_ = sorted(deck); }
  bool changed(const Deck& now) const { return sorted(now) != baseline_; }

 private:
  static Deck sorted(Deck deck);
  Deck baseline_;
};

}  // namespace tv

// Undo and redo of the deck. Every change of the deck tables (a copy added,
// removed or moved, a deck opened, read from text or started anew, the card
// data replaced) is one step: the rows it replaced and the rows it put in
// their place in each table, as the engine held them, and the lines the
// lists showed selected before and after. Undoing puts the tables back row
// for row and value for value; the lists are then read from them.
#pragma once

#include <QString>
#include <deque>
#include <optional>

#include "carddb/names.h"
#include "deck/decklist.h"
#include "deck/decktables.h"

namespace tv {

enum class DeckStep { Add, Remove, MoveToMain, MoveToSide, Open, ImportText, New, CardDataUpdate };

// A deck list's selected line, and the card on it for when the sort has
// changed since (the line then stands for another card).
struct DeckPick {
  int line = -1;  // -1: none
  QString sortField;
  CardKey card;
};

// The title and the comment, kept by the steps that set them.
struct DeckText {
  QString title;
  QString comment;
  friend bool operator==(const DeckText&, const DeckText&) = default;
};

// Rows a deck may have for its changes to be kept: beyond, a deck file
// brought in more than any deck holds, and nothing of it is copied.
inline constexpr qint64 kMaxUndoableRows = 10'000;

// One moment of the deck and its lists.
struct DeckMoment {
  DeckTableRows main, side;
  DeckPick mainPick, sidePick;
  std::optional<DeckText> text;
  bool tooLarge = false;  // a table had more than kMaxUndoableRows rows: none were read
};

// The deck as it stands, with the lines its lists show selected (-1: none)
// under `sortField`.
DeckMoment readDeckMoment(Database& db, const QString& sortField, int mainLine, int sideLine,
                          std::optional<DeckText> text = std::nullopt);

// What an undo or redo leaves for the window to show: both lists' selections
// under the sort in force now, and the title and comment when the step set them.
struct DeckRestored {
  DeckSelection main, side;
  std::optional<DeckText> text;
};

class DeckHistory {
 public:
  static constexpr size_t kMaxSteps = 100;
  // Rows held by all steps together; beyond it the oldest steps go (decks of
  // a few hundred rows never come near it).
  static constexpr size_t kMaxRows = 200'000;

  // Keeps the change from `before` to `after` as the newest step and drops
  // the steps undone; false, and nothing kept, when neither the tables nor
  // the text changed. A moment too large drops the whole history: the deck
  // can no longer go back. `fileName` names an opened deck's step.
  bool record(DeckStep step, const DeckMoment& before, const DeckMoment& after, const QString& fileName = {});

  bool canUndo() const { return !done_.empty(); }
  bool canRedo() const { return !undone_.empty(); }
  // The step an undo (redo) would take back (do again): "追加 Lightning Bolt".
  QString undoName() const { return canUndo() ? done_.back().name : QString(); }
  QString redoName() const { return canRedo() ? undone_.back().name : QString(); }

  // Puts the tables back as they were before the newest step (after the
  // step undone last), in one transaction. Nothing when there is no such
  // step, or when the tables are no longer as the step left them: the
  // history is then dropped, as it no longer describes the deck. A DbError
  // leaves the tables and the history as they were.
  std::optional<DeckRestored> undo(Database& db, const QString& sortField);
  std::optional<DeckRestored> redo(Database& db, const QString& sortField);

  void clear();
  size_t rowsHeld() const { return rows_; }

 private:
  // One table's change: `removed` rows from `at` on replaced by `inserted`,
  // which left the table `sizeAfter` rows long.
  struct TableChange {
    size_t at = 0, sizeAfter = 0;
    DeckTableRows removed, inserted;
    bool empty() const { return removed.empty() && inserted.empty(); }
  };
  struct Step {
    QString name;
    TableChange main, side;
    DeckPick pickBefore[2], pickAfter[2];
    std::optional<DeckText> textBefore, textAfter;
    size_t rows() const;
  };
  std::optional<DeckRestored> apply(Database& db, const QString& sortField, bool backwards);

  std::deque<Step> done_, undone_;
  size_t rows_ = 0;
};

}  // namespace tv

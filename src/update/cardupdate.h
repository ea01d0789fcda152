// Making a card database from card data files and putting it in place of the
// one in use: for the first start of an installed program and for the card
// data update. The import writes a new file beside the database and never
// touches it; the replacement is one rename, the old file kept as
// <name>.bak, the deck carried into the new connection.
#pragma once

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "carddb/database.h"
#include "carddb/import.h"

namespace tv {

// What a card database is made from. The set table (classic expansion codes,
// which deck files carry) and the tokens are the program's own copies unless
// others are given.
struct CardDataFiles {
  QString mtgjson;
  QString whisper;  // may be empty
  QString sets = QStringLiteral(":/data/sets.csv");
  QString tokens = QStringLiteral(":/data/tokens.csv");
};

// The files of an installed card data folder (core/userfiles.h).
CardDataFiles installedCardData(const QString& folder);

struct ImportOutcome {
  enum Status { Done, Cancelled, Failed } status = Failed;
  QString error;   // Failed: what the user reads
  QString detail;  // Failed: the importer's own message, naming file and place
  QString file;    // Done: the new card database, beside the target
  int sets = 0, cards = 0;
};

// Imports into a new file beside `target` (target + ".new"). `cancel` is
// looked at after every set and once more when the file is written; a
// cancelled or failed import leaves no new file. Runs in any thread;
// `progress` is called in that thread.
ImportOutcome importCardData(const CardDataFiles& files, const QString& target,
                             const std::atomic<bool>& cancel,
                             const std::function<void(const tvtools::ImportProgress&)>& progress = {});

// "123 セット、45678 枚（残り約 2 分）", as a progress dialog shows it.
QString importProgressText(const tvtools::ImportProgress& p, qint64 elapsedMs);

struct ReplaceOutcome {
  std::unique_ptr<Database> db;  // the new card database, open as at start-up
  QString error;                 // for the user, when db is null
};

// Puts `newFile` (an import's file) in place of `target`: it must open as a
// card database the program accepts; the deck tables of `current` (null when
// there is none) are copied into its connection, row for row, with the card
// values the new data has for them; `target` (a link followed to its file)
// is kept as target + ".bak" and replaced by one rename. On failure nothing
// changes, `current` included, and `newFile` is removed.
ReplaceOutcome replaceCardDatabase(Database* current, const QString& target, const QString& newFile);

}  // namespace tv

// Both deck tables as the engine holds them: every column of every row, in
// table order, each value with its type and bytes. What the undo history
// keeps and the card data update carries into a new card database.
#pragma once

#include <vector>

#include "carddb/database.h"

namespace tv {

using DeckTableRow = std::vector<Cell>;  // the values of kDeckColumns
using DeckTableRows = std::vector<DeckTableRow>;

DeckTableRows readDeckTableRows(Database& db, const QString& table);

// Empties `table` and fills it with `rows` in their order, each value as it
// was read. The caller holds the transaction.
void writeDeckTableRows(Database& db, const QString& table, const DeckTableRows& rows);

}  // namespace tv

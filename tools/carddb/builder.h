// Builds a card database from the card data files (cards, sets, tokens CSV).
#pragma once

#include <QString>

#include "carddb/error.h"

namespace tvtools {

struct BuildOptions {
  QString cardsCsv, setsCsv, tokensCsv /* may be empty */, output;
  // N > 1 adds N-1 copies of every expansion under new codes, for benchmark
  // databases of realistic size.
  int repeat = 1;
};

// Writes the card database to a temporary file beside `output` and renames it
// over `output` only when complete, so a failure leaves any old file as it
// was and no new one. Throws BuildError naming the file and line at fault.
void buildCardDatabase(const BuildOptions& options);

}  // namespace tvtools

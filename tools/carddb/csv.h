// The builder reads the card data with the program's CSV reader, the one that
// also reads the set table the program ships.
#pragma once

#include "text/csv.h"

namespace tvtools {

using tv::CsvRecord;
using tv::CsvTable;

}  // namespace tvtools

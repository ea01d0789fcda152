// How an import's progress reads: the time left, and the line a terminal shows.
#pragma once

#include <QString>
#include <optional>

#include "carddb/import.h"

namespace tvtools {

// Seconds left, from the share of the file read so far; nothing until a
// second has passed and some of the file is read.
std::optional<qint64> secondsLeft(const ImportProgress& p, qint64 elapsedMs);

// "[#####.....]  42%  123 sets  45678 cards  0:37 left", at most `width`
// characters; the bar takes what the words leave.
QString progressLine(const ImportProgress& p, qint64 elapsedMs, int width);

}  // namespace tvtools

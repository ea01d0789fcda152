// The one error type of the builder: its message is what the user reads.
#pragma once

#include "text/csv.h"

namespace tvtools {

using BuildError = tv::FileError;
using tv::errorAt;

// A value of the input as a message shows it: a long one is cut.
inline QString shown(const QString& value, qsizetype max = 60) {
  if (value.size() <= max) return value;
  if (value.at(max - 1).isHighSurrogate()) --max;
  return value.left(max) + QStringLiteral("…");
}

}  // namespace tvtools

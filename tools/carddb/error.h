// The one error type of the builder: its message is what the user reads.
#pragma once

#include "text/csv.h"

namespace tvtools {

using BuildError = tv::FileError;
using tv::errorAt;

}  // namespace tvtools

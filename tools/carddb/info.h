// What a card database holds, for `talviks-carddb info`.
#pragma once

#include <QString>

namespace tvtools {

// Data version, rows per table and cards per expansion, as lines of text.
// Throws BuildError when the file is not a card database the program opens.
QString describeCardDatabase(const QString& path);

}  // namespace tvtools

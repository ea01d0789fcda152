// Every file the program writes goes through here, so that a failure never
// leaves a half-written or emptied file behind.
#pragma once

#include <QByteArray>
#include <QString>

namespace tv {

// Writes the file whole or not at all (temporary file, then rename); on
// failure the reason goes to `error`.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace tv

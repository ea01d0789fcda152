// The one error type of the builder: its message is what the user reads.
#pragma once

#include <QString>
#include <stdexcept>

namespace tvtools {

class BuildError : public std::runtime_error {
 public:
  explicit BuildError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString message() const { return QString::fromStdString(what()); }
};

// "file:line: message", the form editors and terminals jump to.
inline BuildError errorAt(const QString& file, int line, const QString& message) {
  return BuildError(QStringLiteral("%1:%2: %3").arg(file, QString::number(line), message));
}

}  // namespace tvtools

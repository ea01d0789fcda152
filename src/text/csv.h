// RFC 4180 CSV files with a header row: the card data, and the set table the
// program ships.
#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace tv {

// A file that cannot be read or is malformed; the message is what the user reads.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString message() const { return QString::fromStdString(what()); }
};

// "file:line: message", the form editors and terminals jump to.
inline FileError errorAt(const QString& file, int line, const QString& message) {
  return FileError(QStringLiteral("%1:%2: %3").arg(file, QString::number(line), message));
}

struct CsvRecord {
  int line = 0;  // physical line the record starts on, 1-based
  QStringList fields;
};

class CsvTable {
 public:
  // Reads a UTF-8 file (a BOM is skipped, LF or CR LF line ends). Throws
  // FileError naming the file and line for anything malformed, including a
  // record whose field count differs from the header's.
  static CsvTable read(const QString& path);
  static CsvTable parse(const QString& text, const QString& fileName);

  const QString& fileName() const { return fileName_; }
  const QStringList& header() const { return header_; }
  const std::vector<CsvRecord>& records() const { return records_; }

  // Index of a column, or -1.
  int column(const QString& name) const { return int(header_.indexOf(name)); }
  // Index of a column that must be there; throws FileError on line 1.
  int require(const QString& name) const;

 private:
  QString fileName_;
  QStringList header_;
  std::vector<CsvRecord> records_;
};

}  // namespace tv

// RFC 4180 CSV files with a header row, as the card data comes.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tvtools {

struct CsvRecord {
  int line = 0;  // physical line the record starts on, 1-based
  QStringList fields;
};

class CsvTable {
 public:
  // Reads a UTF-8 file (a BOM is skipped, LF or CR LF line ends). Throws
  // BuildError naming the file and line for anything malformed, including a
  // record whose field count differs from the header's.
  static CsvTable read(const QString& path);
  static CsvTable parse(const QString& text, const QString& fileName);

  const QString& fileName() const { return fileName_; }
  const QStringList& header() const { return header_; }
  const std::vector<CsvRecord>& records() const { return records_; }

  // Index of a column, or -1.
  int column(const QString& name) const { return int(header_.indexOf(name)); }
  // Index of a column that must be there; throws BuildError on line 1.
  int require(const QString& name) const;

 private:
  QString fileName_;
  QStringList header_;
  std::vector<CsvRecord> records_;
};

}  // namespace tvtools

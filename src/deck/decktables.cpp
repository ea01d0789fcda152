#include "deck/decktables.h"

#include "carddb/names.h"

namespace tv {
namespace {

class TableRows : public RowSource {
 public:
  explicit TableRows(const DeckTableRows& rows) : rows_(rows) {}
  size_t rowCount() const override { return rows_.size(); }
  const Cell& cell(size_t row, int column) const override {
    static const Cell null;
    return size_t(column) < rows_[row].size() ? rows_[row][size_t(column)] : null;
  }

 private:
  const DeckTableRows& rows_;
};

}  // namespace

DeckTableRows readDeckTableRows(Database& db, const QString& table) {
  DeckTableRows rows;
  auto rs = db.openRecordset(
      QStringLiteral("SELECT ") + kDeckColumns.join(u", ") + QStringLiteral(" FROM ") + table,
      RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext()) {
    DeckTableRow row;
    row.reserve(size_t(kDeckColumns.size()));
    for (const QString& column : kDeckColumns) row.push_back(rs.cell(column));
    rows.push_back(std::move(row));
  }
  return rows;
}

void writeDeckTableRows(Database& db, const QString& table, const DeckTableRows& rows) {
  QStringList values;
  for (int i = 0; i < kDeckColumns.size(); ++i) values << QStringLiteral("c%1").arg(i);
  db.execute(QStringLiteral("DELETE FROM ") + table, dbFailOnError);
  db.executeWithRows(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM tv_rows(?1)")
                         .arg(table, kDeckColumns.join(u", "), values.join(u", ")),
                     TableRows(rows));
}

}  // namespace tv

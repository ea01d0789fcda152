#include "browse/windowdata.h"

namespace tv {

namespace {

QStringList readColumn(Database& db, const QString& sql, QStringView field) {
  QStringList out;
  for (auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly); !rs.eof(); rs.moveNext()) {
    out << rs.field(field).toString();
  }
  return out;
}

}  // namespace

void emptyWorkingTables(Database& db) {
  for (const QString& table : workingTables())
    db.execute(QStringLiteral("DELETE FROM ") + table, dbFailOnError);
}

QStringList readExpansionNames(Database& db) {
  return readColumn(db, QStringLiteral("SELECT tbl_CardSet.Cardset FROM tbl_CardSet"), u"Cardset");
}

QStringList readTokenNames(Database& db) {
  return readColumn(db,
                    QStringLiteral("SELECT NameN") + QStringLiteral(" FROM tbl_TokenMst") +
                        QStringLiteral(" ORDER BY NameN"),
                    u"NameN");
}

}  // namespace tv

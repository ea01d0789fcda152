#include "browse/windowdata.h"

namespace tv {

namespace {

QStringList readColumn(Database& db, const QString& sql, QStringView field, bool skipNull) {
  QStringList out;
  for (auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly); !rs.eof(); rs.moveNext()) {
    const QVariant v = rs.field(field);
    if (skipNull && !v.isValid()) continue;
    out << v.toString();
  }
  return out;
}

}  // namespace

void emptyWorkingTables(Database& db) {
  for (const QString& table : workingTables())
    db.execute(QStringLiteral("DELETE FROM ") + table, dbFailOnError);
}

QStringList readExpansionNames(Database& db) {
  return readColumn(db, QStringLiteral("SELECT tbl_CardSet.Cardset FROM tbl_CardSet"), u"Cardset", false);
}

QStringList readCreatureTypes(Database& db) {
  QStringList types = readColumn(
      db,
      QStringLiteral("SELECT tbl_CardMst.CType") + QStringLiteral(" From tbl_CardMst") +
          QStringLiteral(" GROUP BY tbl_CardMst.CType") + QStringLiteral(" ORDER BY tbl_CardMst.CType"),
      u"CType", true);
  // Read once per start: every creature type's pages need not stay cached.
  db.releaseMemory();
  return types;
}

QStringList readTokenNames(Database& db) {
  return readColumn(db,
                    QStringLiteral("SELECT NameN") + QStringLiteral(" FROM tbl_TokenMst") +
                        QStringLiteral(" ORDER BY NameN"),
                    u"NameN", false);
}

}  // namespace tv

#include "carddb/info.h"

#include <QTextStream>

#include "carddb/error.h"
#include "carddb/oraclefacts.h"
#include "carddb/schema.h"
#include "core/startup.h"

namespace tvtools {
namespace {

QVariant scalar(tv::Database& db, const QString& sql) {
  auto rs = db.openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  return rs.eof() ? QVariant() : rs.field(rs.fieldName(0));
}

BuildError inUse(const QString& path, const tv::DbError& e) {
  return BuildError(
      QStringLiteral("%1: in use by another program (%2); try again once it is done").arg(path, e.reason()));
}

// The import's tables beside the card tables, or that there are none.
void describeCardFacts(tv::Database& db, QTextStream& s) {
  if (!tv::OracleFacts::present(db)) {
    s << "\ncard facts (legality, colour identity, rules text): none\n";
    return;
  }
  for (const QString& name : tv::cardFactsTables())
    s << name.leftJustified(16)
      << scalar(db, QStringLiteral("SELECT count(*) FROM ") + name).toString().rightJustified(8) << "\n";
  s << "\nformat             legal  banned  restricted\n";
  auto rs = db.openRecordset(
      QStringLiteral(
          "SELECT f.Format, sum(l.Legality = 'Legal') AS Legal, sum(l.Legality = 'Banned') AS Banned,"
          " sum(l.Legality = 'Restricted') AS Restricted FROM tbl_Format f LEFT JOIN tbl_CardLegality l"
          " ON l.FormatNo = f.FormatNo GROUP BY f.FormatNo ORDER BY f.Format"),
      tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  for (; !rs.eof(); rs.moveNext())
    s << rs.text(u"Format").leftJustified(16) << rs.text(u"Legal").rightJustified(8)
      << rs.text(u"Banned").rightJustified(8) << rs.text(u"Restricted").rightJustified(12) << "\n";
  s << "\ncolour identity  names\n";
  auto ci = db.openRecordset(QStringLiteral("SELECT length(ColorIdentity) AS Colours, count(*) AS Names"
                                            " FROM tbl_CardOracle GROUP BY 1 ORDER BY 1"),
                             tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  for (; !ci.eof(); ci.moveNext())
    s << (ci.text(u"Colours") == u"0" ? QStringLiteral("colourless")
                                      : ci.text(u"Colours") + QStringLiteral(" colour(s)"))
             .leftJustified(16)
      << ci.text(u"Names").rightJustified(7) << "\n";
}

}  // namespace

QString describeCardDatabase(const QString& path) {
  std::unique_ptr<tv::Database> db;
  try {
    db = tv::Database::open(path, tv::kCardDbConnect);
  } catch (const tv::DbError& e) {
    if (e.kind() == tv::DbError::Kind::InUse) throw inUse(path, e);
    throw BuildError(
        QStringLiteral("%1: not a card database the program can open (%2)").arg(path, e.message()));
  }

  QString out;
  QTextStream s(&out);
  try {
    const QVariant version = scalar(*db, QStringLiteral("SELECT DbVersion FROM tbl_Version"));
    s << "card database: " << path << "\n";
    s << "data version:  " << (version.isValid() ? version.toString() : QStringLiteral("(none)"));
    switch (tv::judgeDataVersion(version).verdict) {
      case tv::DataVersion::Verdict::Accepted:
        break;
      case tv::DataVersion::Verdict::Old:
        s << "  (the program refuses it as old: it needs " << tv::kMinDataVersion << " or more)";
        break;
      case tv::DataVersion::Verdict::Broken:
        s << "  (the program refuses it as broken data: not a version number it reads)";
        break;
    }
    s << "\n\ntable               rows\n";
    for (const QString& name : tv::cardDatabaseTables()) {
      s << name.leftJustified(16)
        << scalar(*db, QStringLiteral("SELECT count(*) FROM ") + name).toString().rightJustified(8) << "\n";
    }

    describeCardFacts(*db, s);

    s << "\n  no  code   cards  expansion\n";
    auto rs = db->openRecordset(
        QStringLiteral("SELECT s.CardsetNo, s.CardsetEx, s.Cardset, "
                       "(SELECT count(*) FROM tbl_CardMst m WHERE m.CardSetEx = s.CardsetEx) "
                       "AS Cards FROM tbl_CardSet s ORDER BY s.CardsetNo"),
        tv::RecordsetType::Snapshot, tv::dbForwardOnly);
    for (; !rs.eof(); rs.moveNext())
      s << rs.text(u"CardsetNo").rightJustified(4) << "  " << rs.text(u"CardsetEx").leftJustified(5)
        << rs.text(u"Cards").rightJustified(7) << "  " << rs.text(u"Cardset") << "\n";

    const qlonglong orphans =
        scalar(*db, QStringLiteral("SELECT count(*) FROM tbl_CardMst WHERE CardSetEx NOT IN "
                                   "(SELECT CardsetEx FROM tbl_CardSet)"))
            .toLongLong();
    if (orphans > 0) s << "\ncards of no listed expansion: " << orphans << "\n";
  } catch (const tv::DbError& e) {
    if (e.kind() == tv::DbError::Kind::InUse) throw inUse(path, e);
    throw BuildError(QStringLiteral("%1: %2").arg(path, e.message()));
  }
  s.flush();
  return out;
}

}  // namespace tvtools

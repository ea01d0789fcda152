#include "browse/windowdata.h"

#include "app/core/appinfo.h"

namespace tv {

namespace {

QStringList readColumn(AppContext& ctx, const QString& sql, QStringView field, bool skipNull) {
  QStringList out;
  for (auto rs = ctx.gCardDb->openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly); !rs.eof();
       rs.moveNext()) {
    const QVariant v = rs.field(field);
    if (skipNull && !v.isValid()) continue;
    out << v.toString();
  }
  return out;
}

}  // namespace

void emptyWorkingTables(AppContext& ctx) {
  for (const char* table : {"wtbl_CardList", "wtbl_DecList", "wtbl_DecSideList"})
    ctx.gCardDb->execute(QStringLiteral("DELETE FROM ") + QLatin1StringView(table), dbFailOnError);
}

QStringList readExpansionNames(AppContext& ctx) {
  return readColumn(ctx, QStringLiteral("SELECT tbl_CardSet.Cardset FROM tbl_CardSet"), u"Cardset", false);
}

QStringList readCreatureTypes(AppContext& ctx) {
  return readColumn(ctx,
                    QStringLiteral("SELECT tbl_CardMst.CType") + QStringLiteral(" From tbl_CardMst") +
                        QStringLiteral(" GROUP BY tbl_CardMst.CType") +
                        QStringLiteral(" ORDER BY tbl_CardMst.CType"),
                    u"CType", true);
}

QStringList readTokenNames(AppContext& ctx) {
  return readColumn(ctx,
                    QStringLiteral("SELECT NameN") + QStringLiteral(" FROM tbl_TokenMst") +
                        QStringLiteral(" ORDER BY NameN"),
                    u"NameN", false);
}

QString versionCardText() {
  return QStringLiteral("Talvik's Version ") + versionText() +
         QStringLiteral("\r\n\r\nProduced by Halden\r\n") + kMakerUrl;
}

QString versionMessageText() {
  return QStringLiteral("Talvik's Ver ") + versionText() + QStringLiteral("\r\nProduced by Halden\r\n\r\n") +
         QStringLiteral("ご意見、ご要望、バグ報告はこちらまで\r\n") + kMakerUrl +
         QStringLiteral(
             "\r\n\r\n現在取り扱い説明書がありません、\r\n気合と直感で使ってみてください。。m(_ _)m");
}

}  // namespace tv

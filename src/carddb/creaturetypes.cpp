#include "carddb/creaturetypes.h"

#include <QSet>

#include "carddb/names.h"
#include "text/collate.h"
#include "text/fold.h"

namespace tv {

QStringList CreatureTypes::split(QStringView ctype) {
  QStringList out;
  // "･" is the half-width form some printed type lines use.
  for (QStringView part : ctype.split(QChar(0xFF65)))
    for (QStringView type : part.split(u'・'))
      if (!type.trimmed().isEmpty()) out << type.trimmed().toString();
  return out;
}

bool CreatureTypes::holds(QStringView ctype, QStringView type) {
  return !type.isEmpty() && split(ctype).contains(type.trimmed());
}

void CreatureTypes::add(const QString& nameN, const QString& nameE, const QString& reading) {
  if (nameN.isEmpty()) return;
  if (!byKey_.contains(foldName(nameN))) names_ << nameN;
  for (const QString& key : {foldName(nameN), foldName(reading), nameE.toCaseFolded()})
    if (!key.isEmpty() && !byKey_.contains(key)) byKey_.insert(key, nameN);
}

CreatureTypes CreatureTypes::load(Database& db) {
  CreatureTypes t;
  if (db.hasTable(kCreatureTypeTable)) {
    t.named_ = true;
    auto rs = db.openRecordset(
        QStringLiteral("SELECT NameN, NameE, Reading FROM tbl_CreatureType ORDER BY SortNo, NameN"),
        RecordsetType::Snapshot, dbForwardOnly);
    for (; !rs.eof(); rs.moveNext()) t.add(rs.text(u"NameN"), rs.text(u"NameE"), rs.text(u"Reading"));
    return t;
  }
  QSet<QString> seen;
  QStringList types;
  auto rs = db.openRecordset(QStringLiteral("SELECT DISTINCT CType FROM tbl_CardMst WHERE CType IS NOT NULL"),
                             RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext())
    for (const QString& type : split(rs.text(u"CType")))
      if (!seen.contains(type)) {
        seen.insert(type);
        types << type;
      }
  sortJapanese(types);
  for (const QString& type : types) t.add(type, {}, {});
  return t;
}

QString CreatureTypes::find(QStringView typed) const {
  const QString text = typed.trimmed().toString();
  if (text.isEmpty()) return {};
  if (const auto it = byKey_.constFind(text.toCaseFolded()); it != byKey_.cend()) return *it;
  return byKey_.value(foldName(text));
}

}  // namespace tv

#include "carddb/setcodes.h"

#include <QHash>

#include "text/csv.h"

namespace tv {
namespace {

struct SetCodeTable {
  QHash<QString, QString> classicOf;  // upper-case list code -> classic code
  QHash<QString, QString> listOf;     // upper-case classic code -> list code
};

const SetCodeTable& table() {
  static const SetCodeTable t = [] {
    SetCodeTable out;
    try {
      const CsvTable csv = CsvTable::read(QStringLiteral(":/data/sets.csv"));
      const int cSet = csv.require(QStringLiteral("set_code"));
      const int cCode = csv.require(QStringLiteral("expansion_code"));
      for (const CsvRecord& r : csv.records()) {
        const QString set = r.fields[cSet].trimmed(), code = r.fields[cCode].trimmed();
        if (set.isEmpty() || code.isEmpty()) continue;
        out.classicOf.insert(set.toUpper(), code);
        out.listOf.insert(code.toUpper(), set);
      }
    } catch (const FileError& e) {
      // Built into the program; only a broken build gets here.
      qWarning("set table: %s", e.what());
    }
    return out;
  }();
  return t;
}

}  // namespace

QString classicSetCode(QStringView listCode) {
  return table().classicOf.value(listCode.toString().toUpper());
}

QString listSetCode(QStringView classicCode) {
  return table().listOf.value(classicCode.toString().toUpper());
}

}  // namespace tv

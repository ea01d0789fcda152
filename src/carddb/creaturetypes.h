// The creature types of the card database as players use them: each type
// once ("エルフ", "ドルイド", not "エルフ・ドルイド"), in Japanese reading order,
// found by its Japanese or English name. From the import's tbl_CreatureType
// (names, readings and order); a card database made by `build` or an older
// tool has none, and the types are then the parts of the CType values in
// ICU's Japanese order.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "carddb/database.h"

namespace tv {

class CreatureTypes {
 public:
  static CreatureTypes load(Database& db);

  // True when the types come from the import's table, with English names and
  // readings.
  bool named() const { return named_; }
  // Japanese names, each once, in reading order.
  const QStringList& names() const { return names_; }
  // The type a player typed: its Japanese name (in hiragana or katakana, any
  // width), its reading, or its English name in any case ("Goblin",
  // "goblin"); empty when none.
  QString find(QStringView typed) const;

  // The types of a CType value: "エルフ・ドルイド" gives エルフ and ドルイド.
  static QStringList split(QStringView ctype);
  // Is `type` one of the types of `ctype`?
  static bool holds(QStringView ctype, QStringView type);

 private:
  void add(const QString& nameN, const QString& nameE, const QString& reading);

  bool named_ = false;
  QStringList names_;
  QHash<QString, QString> byKey_;  // English (case-folded), folded Japanese name and reading -> name
};

}  // namespace tv

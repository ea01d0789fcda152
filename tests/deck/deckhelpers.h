// Helpers shared by the deck tests.
#pragma once

#include "support/fixtures.h"
#include "text/sqlliteral.h"

namespace tvtest {

// Makes a card of tbl_CardMst the current card, as its detail text does.
inline void showCard(CardDbFixture& f, const QString& set, const QString& nameE) {
  auto rs = f.db().openRecordset(
      QStringLiteral("SELECT CardSetEx, NameE, NameN, Rare, Cost, NumCost, TextN, CAttack, CDefence FROM "
                     "tbl_CardMst WHERE CardSetEx=") +
          tv::sqlLiteral(set) + QStringLiteral(" AND NameE=") + tv::sqlLiteral(nameE),
      tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  if (rs.eof()) throw std::runtime_error("no such card");
  tv::CurrentCard& c = f.ctx.gCurrentCard;
  c.NameE = rs.text(u"NameE");
  c.NameN = rs.text(u"NameN");
  c.CardSetEx = rs.text(u"CardSetEx");
  c.Rare = rs.text(u"Rare");
  c.Cost = rs.field(u"Cost");
  c.NumCost = rs.field(u"NumCost");
  c.TextN = rs.field(u"TextN");
  c.CAttack = rs.field(u"CAttack");
  c.CDefence = rs.field(u"CDefence");
}

// Copies of a card in a deck table; -1 when it has no row there.
inline qlonglong copies(CardDbFixture& f, const QString& table, const QString& set, const QString& nameE) {
  return f.scalar(QStringLiteral("SELECT CardMaisu FROM ") + table + QStringLiteral(" WHERE CardSetEx=") +
                  tv::sqlLiteral(set) + QStringLiteral(" AND NameE=") + tv::sqlLiteral(nameE));
}

inline qlonglong totalCopies(CardDbFixture& f, const QString& table) {
  return f.scalar(QStringLiteral("SELECT SUM(CardMaisu) FROM ") + table);
}

inline qlonglong rowCount(CardDbFixture& f, const QString& table) {
  return f.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table);
}

}  // namespace tvtest

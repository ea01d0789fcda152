#include "analysis/deckcards.h"

#include <QHash>

#include "carddb/names.h"
#include "deck/decklist.h"

namespace tv {
namespace {

struct MasterRow {
  QString cardType, cost, text;
  std::optional<qint64> manaValue;
};

// The master rows of every card of the deck, by card key.
QHash<QString, MasterRow> masterRows(Database& db) {
  QHash<QString, MasterRow> rows;
  auto rs = db.openRecordset(
      QStringLiteral("SELECT m.CardSetEx, m.NameE, m.CardType, m.Cost, m.NumCost, m.TextN FROM tbl_CardMst m"
                     " INNER JOIN (SELECT CardSetEx, NameE FROM wtbl_DecList UNION"
                     " SELECT CardSetEx, NameE FROM wtbl_DecSideList) d"
                     " ON m.CardSetEx = d.CardSetEx AND m.NameE = d.NameE"),
      RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext()) {
    MasterRow row{rs.text(u"CardType"), rs.text(u"Cost"), rs.text(u"TextN"), std::nullopt};
    bool number = false;
    const QVariant cost = rs.field(u"NumCost");
    if (const qint64 v = cost.toLongLong(&number); number && cost.isValid()) row.manaValue = v;
    rows.insert(printingKey(rs.text(u"CardSetEx"), rs.text(u"NameE")), std::move(row));
  }
  return rows;
}

QList<DeckCard> readHalf(Database& db, const QString& table, DeckHalf half, const QString& sortField,
                         const QHash<QString, MasterRow>& master) {
  QList<DeckCard> cards;
  auto rs = db.openRecordset(deckListQuery(table, sortField), RecordsetType::Snapshot, dbForwardOnly);
  for (int line = 0; !rs.eof(); ++line, rs.moveNext()) {
    DeckCard c;
    c.ref = {half, line};
    c.CardSetEx = rs.text(u"CardSetEx");
    c.NameE = rs.text(u"NameE");
    c.NameN = rs.text(u"NameN");
    c.copies = rs.field(u"CardMaisu").toLongLong();
    if (const auto it = master.constFind(printingKey(c.CardSetEx, c.NameE)); it != master.cend()) {
      c.cardType = it->cardType;
      c.cost = it->cost;
      c.manaValue = it->manaValue;
      c.text = it->text;
    }
    cards.append(std::move(c));
  }
  return cards;
}

}  // namespace

DeckCards readDeckCards(Database& db, const QString& sortField) {
  const QHash<QString, MasterRow> master = masterRows(db);
  return {readHalf(db, kMainDeckTable, DeckHalf::Main, sortField, master),
          readHalf(db, kSideDeckTable, DeckHalf::Side, sortField, master)};
}

QString printingKey(const QString& CardSetEx, const QString& NameE) {
  return nameKey(CardSetEx) + u'\x1f' + nameKey(NameE);
}

QList<int> linesOfPrintings(const QList<DeckCard>& half, const QSet<QString>& printings) {
  QList<int> lines;
  for (qsizetype i = 0; i < half.size(); ++i)
    if (printings.contains(printingKey(half[i]))) lines << int(i);
  return lines;
}

QString cardLabel(const QString& nameE, const QString& nameN) { return nameE + u'/' + nameN; }

}  // namespace tv

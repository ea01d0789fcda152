#include "deck/decklist.h"

namespace tv {

QString deckLine(const QVariant& copies, const QVariant& nameE, const QVariant& nameN) {
  return copies.toString() + QStringLiteral("  ") + nameE.toString() + u'/' + nameN.toString();
}

QString deckCountLabel(const QString& table, qint64 count) {
  return (isMainDeck(table) ? QStringLiteral("-メイン- ") : QStringLiteral("-サイド- ")) +
         QString::number(count) + QStringLiteral("枚");
}

QString deckListQuery(const QString& table, const QString& sortField) {
  return QStringLiteral("SELECT ") + kDeckColumns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ") +
         table + QStringLiteral(" ORDER BY ") + sortField + QStringLiteral(" ,NameE");
}

DeckListView readDeckList(Database& db, const QString& table, const QString& sortField,
                          const DeckSelection& selection) {
  DeckListView view;
  view.table = table;
  auto rs = db.openRecordset(deckListQuery(table, sortField), RecordsetType::Snapshot, dbForwardOnly);
  const bool findCard = selection.kind == DeckSelection::Kind::Card;
  for (int k = 0; !rs.eof(); ++k, rs.moveNext()) {
    const QVariant copies = rs.field(u"CardMaisu");
    view.lines << deckLine(copies, rs.field(u"NameE"), rs.field(u"NameN"));
    view.count += copies.toLongLong();
    // Exact comparison, letter case included: the engine's NOCASE does not apply here.
    if (findCard && view.selection < 0 && rs.text(u"CardSetEx") == selection.card.CardSetEx &&
        rs.text(u"NameE") == selection.card.NameE)
      view.selection = k;
  }
  if (selection.kind == DeckSelection::Kind::Index) view.selection = selection.index;
  view.label = deckCountLabel(table, view.count);
  return view;
}

DeckRow deckRowFrom(const Recordset& rs, int index) {
  DeckRow row;
  row.index = index;
  row.CardSetEx = rs.text(u"CardSetEx");
  row.NameE = rs.text(u"NameE");
  row.NameN = rs.field(u"NameN");
  row.CardMaisu = rs.field(u"CardMaisu");
  row.NumCost = rs.field(u"NumCost");
  row.CAttack = rs.field(u"CAttack");
  row.CDefence = rs.field(u"CDefence");
  return row;
}

std::optional<DeckRow> findDeckRow(Database& db, const QString& table, const QString& sortField, int line) {
  if (line < 0) return std::nullopt;
  auto rs = db.openRecordset(deckListQuery(table, sortField), RecordsetType::Snapshot, dbForwardOnly);
  rs.move(line);
  if (rs.eof()) return std::nullopt;
  return deckRowFrom(rs, line);
}

}  // namespace tv

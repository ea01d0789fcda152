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
  return QStringLiteral("SELECT CardSetEx, NameE, NameN, CardMaisu") + QStringLiteral(" FROM ") + table +
         QStringLiteral(" ORDER BY ") + sortField + QStringLiteral(" ,NameE");
}

QString qualifiedDeckListQuery(const QString& t, const QString& sortField) {
  return QStringLiteral("SELECT ") + t + QStringLiteral(".CardSetEx, ") + t + QStringLiteral(".NameE, ") + t +
         QStringLiteral(".NameN, ") + t + QStringLiteral(".CardMaisu FROM ") + t +
         QStringLiteral(" ORDER BY ") + sortField + QStringLiteral(" ,NameE");
}

DeckListView RefreshDeckList(AppContext& ctx, const QString& table, DeckSelection selection) {
  return readDeckList(ctx, table, deckListQuery(table, ctx.gSortField), selection);
}

DeckListView readDeckList(AppContext& ctx, const QString& table, const QString& query,
                          DeckSelection selection) {
  DeckListView view;
  view.table = table;
  auto rs = ctx.gCardDb->openRecordset(query, RecordsetType::Snapshot, dbForwardOnly);
  const bool findCurrent = selection.kind == DeckSelection::Kind::CurrentCard;
  for (int k = 0; !rs.eof(); ++k, rs.moveNext()) {
    const QVariant copies = rs.field(u"CardMaisu");
    view.lines << deckLine(copies, rs.field(u"NameE"), rs.field(u"NameN"));
    view.count += copies.toLongLong();
    // Exact comparison, letter case included: the engine's NOCASE does not apply here.
    if (findCurrent && rs.text(u"CardSetEx") == ctx.gCurrentCard.CardSetEx &&
        rs.text(u"NameE") == ctx.gCurrentCard.NameE)
      view.selection = k;
  }
  if (selection.kind == DeckSelection::Kind::Index) view.selection = selection.index;
  view.label = deckCountLabel(table, view.count);
  return view;
}

std::optional<DeckRow> findDeckRow(AppContext& ctx, const QString& query, int selectedLine) {
  auto rs = ctx.gCardDb->openRecordset(query, RecordsetType::Snapshot, dbForwardOnly);
  if (rs.eof() || selectedLine < 0) return std::nullopt;
  rs.move(selectedLine);
  if (rs.eof()) return std::nullopt;

  auto read = [&rs](QStringView name) {
    for (int i = 0; i < rs.fieldCount(); ++i)
      if (rs.fieldName(i).compare(name, Qt::CaseInsensitive) == 0) return rs.field(name);
    return QVariant();
  };
  DeckRow row;
  row.index = selectedLine;
  row.CardSetEx = rs.text(u"CardSetEx");
  row.NameE = rs.text(u"NameE");
  row.NameN = read(u"NameN");
  row.CardMaisu = read(u"CardMaisu");
  row.NumCost = read(u"NumCost");
  row.CAttack = read(u"CAttack");
  row.CDefence = read(u"CDefence");
  return row;
}

}  // namespace tv

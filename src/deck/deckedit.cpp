#include "deck/deckedit.h"

#include "carddb/codes.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

constexpr qint64 kCopyLimit = 4;

// What a new deck row is made of.
struct CardValues {
  QString CardSetEx, NameE;
  QVariant NameN, NumCost, CAttack, CDefence;
};

enum class AddOutcome { NewRow, Incremented, AtLimit };

// One more copy through `lookUp`, a join of the deck table with tbl_CardMst
// on the card key that reads the deck row and the card's CardType.
AddOutcome addOneCopy(Database& db, const QString& lookUp, const CardValues& card) {
  auto rs = db.openRecordset(lookUp, RecordsetType::Dynaset, dbInconsistent);
  if (rs.eof()) {
    rs.addNew();
    rs.setField(u"CardSetEx", card.CardSetEx);
    rs.setField(u"NameE", card.NameE);
    rs.setField(u"NameN", card.NameN);
    rs.setField(u"CardMaisu", 1);
    rs.setField(u"NumCost", card.NumCost);
    rs.setField(u"CAttack", card.CAttack);
    rs.setField(u"CDefence", card.CDefence);
    rs.update();
    return AddOutcome::NewRow;
  }
  const qint64 copies = rs.field(u"CardMaisu").toLongLong();
  // A deck file may bring in more than four; those stay as they are.
  if (rs.text(u"CardType") != kBasicLand && copies >= kCopyLimit) return AddOutcome::AtLimit;
  rs.edit();
  rs.setField(u"CardMaisu", copies + 1);
  rs.update();
  return AddOutcome::Incremented;
}

// One copy less of `row`: its last copy goes with `deleteSql`, otherwise the
// row found by `keyQuery` is decremented. True when the row was deleted.
bool removeOneCopy(Database& db, const DeckRow& row, const QString& deleteSql, const QString& keyQuery) {
  // A deck file may bring in a row of no copies: it goes, rather than below zero.
  if (row.CardMaisu.toLongLong() <= 1) {
    db.execute(deleteSql);
    return true;
  }
  auto rs = db.openRecordset(keyQuery, RecordsetType::Dynaset);
  if (!rs.eof()) {
    rs.edit();
    rs.setField(u"CardMaisu", rs.field(u"CardMaisu").toLongLong() - 1);
    rs.update();
  }
  return false;
}

// "T.a, T.b FROM T"
QString qualifiedColumnsFrom(const QString& table, const QStringList& columns) {
  QString sql;
  for (qsizetype i = 0; i < columns.size(); ++i) {
    if (i > 0) sql += QStringLiteral(", ");
    sql += table + u'.' + columns[i];
  }
  return sql + QStringLiteral(" FROM ") + table;
}

QString qualifiedSelect(const QString& table, const QStringList& columns) {
  return QStringLiteral("SELECT ") + qualifiedColumnsFrom(table, columns);
}

QString orderBy(const QString& sortField) {
  return QStringLiteral(" ORDER BY ") + sortField + QStringLiteral(" ,NameE");
}

// " WHERE T.CardSetEx='x' AND T.NameE='y'"
QString qualifiedKeyWhere(const QString& table, const QString& set, const QString& nameE) {
  return QStringLiteral(" WHERE ") + table + QStringLiteral(".CardSetEx=") + sqlLiteral(set) +
         QStringLiteral(" AND ") + table + QStringLiteral(".NameE=") + sqlLiteral(nameE);
}

// The add's look-up, also the main deck's target look-up of "↑".
QString addLookUpQuery(const QString& t, const QString& set, const QString& nameE) {
  return QStringLiteral("SELECT ") + t + QStringLiteral(".CardSetEx, ") + t + QStringLiteral(".NameE, ") + t +
         QStringLiteral(".NameN, ") + t + QStringLiteral(".CardMaisu, ") + t + QStringLiteral(".NumCost, ") +
         t + QStringLiteral(".CAttack, ") + t + QStringLiteral(".CDefence,tbl_CardMst.CardType") +
         QStringLiteral(" FROM ") + t + QStringLiteral(" INNER JOIN tbl_CardMst ON ") + t +
         QStringLiteral(".CardSetEx = tbl_CardMst.CardSetEx AND ") + t +
         QStringLiteral(".NameE = tbl_CardMst.NameE") + QStringLiteral(" WHERE (") + t +
         QStringLiteral(".CardSetEx = ") + sqlLiteral(set) + QStringLiteral(" AND ") + t +
         QStringLiteral(".NameE = ") + sqlLiteral(nameE) + QStringLiteral(")");
}

// The sideboard's target look-up of "↓", written its own way.
QString sideLookUpQuery(const QString& set, const QString& nameE) {
  const QString t = kSideDeckTable;
  return QStringLiteral("SELECT ") + t + QStringLiteral(".CardSetEx, ") + t + QStringLiteral(".NameE, ") + t +
         QStringLiteral(".NameN, ") + t + QStringLiteral(".CardMaisu, ") + t + QStringLiteral(".NumCost, ") +
         t + QStringLiteral(".CAttack, ") + t + QStringLiteral(".CDefence,tbl_CardMst.CardType") +
         QStringLiteral(" FROM ") + t +
         QStringLiteral(" INNER JOIN tbl_CardMst ON (tbl_CardMst.CardSetEx = ") + t +
         QStringLiteral(".CardSetEx) AND (tbl_CardMst.NameE = ") + t + QStringLiteral(".NameE)") +
         qualifiedKeyWhere(t, set, nameE);
}

const QStringList kListColumns = {QStringLiteral("CardSetEx"), QStringLiteral("NameE"),
                                  QStringLiteral("NameN"), QStringLiteral("CardMaisu")};

// Both moves are one procedure with source and target exchanged.
std::optional<DeckMoveResult> moveCard(AppContext& ctx, bool toMain, int selectedLine) {
  Database& db = *ctx.gCardDb;
  const QString& source = toMain ? kSideDeckTable : kMainDeckTable;
  const QString& g = ctx.gSortField;

  const QString queryA = qualifiedSelect(source, {QStringLiteral("CardSetEx"), QStringLiteral("NameE"),
                                                  QStringLiteral("NameN"), QStringLiteral("NumCost"),
                                                  QStringLiteral("CAttack"), QStringLiteral("CDefence")}) +
                         orderBy(g);
  const auto a = findDeckRow(ctx, queryA, selectedLine);
  if (!a) return std::nullopt;

  const QString lookUp = toMain ? addLookUpQuery(kMainDeckTable, a->CardSetEx, a->NameE)
                                : sideLookUpQuery(a->CardSetEx, a->NameE);
  const CardValues card{a->CardSetEx, a->NameE, a->NameN, a->NumCost, a->CAttack, a->CDefence};
  int i = a->index;
  // A full target keeps its copies and the source keeps its own: no copy is lost.
  if (addOneCopy(db, lookUp, card) != AddOutcome::AtLimit) {
    const QString queryC = qualifiedDeckListQuery(source, g);
    const auto c = findDeckRow(ctx, queryC, selectedLine);
    if (!c) return std::nullopt;
    i = c->index;
    const QString where = qualifiedKeyWhere(source, c->CardSetEx, c->NameE);
    const QString deleteSql = QStringLiteral("Delete ") + qualifiedColumnsFrom(source, kListColumns) + where;
    if (removeOneCopy(db, *c, deleteSql, qualifiedSelect(source, kListColumns) + where)) --i;
  }

  const QString mainRefresh = qualifiedDeckListQuery(kMainDeckTable, g);
  QStringList sideColumns = kListColumns;
  if (!toMain)
    sideColumns << QStringLiteral("NumCost") << QStringLiteral("CAttack") << QStringLiteral("CDefence");
  const QString sideRefresh = qualifiedSelect(kSideDeckTable, sideColumns) + orderBy(g);

  DeckMoveResult result;
  result.main =
      readDeckList(ctx, kMainDeckTable, mainRefresh, toMain ? DeckSelection::none() : DeckSelection::line(i));
  result.side =
      readDeckList(ctx, kSideDeckTable, sideRefresh, toMain ? DeckSelection::line(i) : DeckSelection::none());
  return result;
}

}  // namespace

std::optional<DeckListView> AddCardToDeck(AppContext& ctx, const QString& table) {
  const CurrentCard& cur = ctx.gCurrentCard;
  if (cur.NameE.isEmpty()) return std::nullopt;
  addOneCopy(*ctx.gCardDb, addLookUpQuery(table, cur.CardSetEx, cur.NameE),
             {cur.CardSetEx, cur.NameE, cur.NameN, cur.NumCost, cur.CAttack, cur.CDefence});
  // Also at the limit: the card's line is selected as after any add.
  return RefreshDeckList(ctx, table, DeckSelection::currentCard());
}

std::optional<DeckListView> RemoveCardFromDeck(AppContext& ctx, const QString& table, int selectedLine) {
  const auto row = findDeckRow(ctx, deckListQuery(table, ctx.gSortField), selectedLine);
  if (!row) return std::nullopt;
  const QString where = QStringLiteral(" WHERE CardSetEx=") + sqlLiteral(row->CardSetEx) +
                        QStringLiteral(" AND NameE=") + sqlLiteral(row->NameE);
  const QString columns =
      QStringLiteral("CardSetEx, NameE, NameN, CardMaisu") + QStringLiteral(" FROM ") + table;
  int i = row->index;
  if (removeOneCopy(*ctx.gCardDb, *row, QStringLiteral("Delete ") + columns + where,
                    QStringLiteral("SELECT ") + columns + where))
    --i;
  return RefreshDeckList(ctx, table, DeckSelection::line(i));
}

std::optional<DeckMoveResult> cmd_MoveMain_Click(AppContext& ctx, int sideSelectedLine) {
  return moveCard(ctx, true, sideSelectedLine);
}

std::optional<DeckMoveResult> cmd_MoveSide_Click(AppContext& ctx, int mainSelectedLine) {
  return moveCard(ctx, false, mainSelectedLine);
}

}  // namespace tv

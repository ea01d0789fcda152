#include "deck/deckedit.h"

#include "carddb/codes.h"
#include "deck/deck.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

QString keyWhere(const QString& set, const QString& nameE) {
  return QStringLiteral(" WHERE CardSetEx=") + sqlLiteral(set) + QStringLiteral(" AND NameE=") +
         sqlLiteral(nameE);
}

enum class AddOutcome { NewRow, Incremented, AtLimit };

// One more copy of `card` in `table`: into its first row there, or a new row
// made of `card`'s values.
AddOutcome addOneCopy(Database& db, const QString& table, const DeckRow& card) {
  const QString where = keyWhere(card.CardSetEx, card.NameE);
  auto rs = db.openRecordset(QStringLiteral("SELECT ") + kDeckColumns.join(QStringLiteral(", ")) +
                                 QStringLiteral(" FROM ") + table + where,
                             RecordsetType::Dynaset, dbInconsistent);
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
  auto total = db.openRecordset(QStringLiteral("SELECT SUM(CardMaisu) AS Copies FROM ") + table + where,
                                RecordsetType::Snapshot, dbForwardOnly);
  // A deck file may bring in more than four; those stay as they are. Basic
  // lands stop where every deck format stops.
  const qint64 copies = total.field(u"Copies").toLongLong();
  if (copies >= kMaxCopies || (copies >= kCopyLimit && !isBasicLand(db, card.CardSetEx, card.NameE)))
    return AddOutcome::AtLimit;
  rs.edit();
  rs.setField(u"CardMaisu", rs.field(u"CardMaisu").toLongLong() + 1);
  rs.update();
  return AddOutcome::Incremented;
}

// One copy less of the recordset's current row. True when the row went.
bool takeOneCopy(Recordset& rs) {
  const qint64 copies = rs.field(u"CardMaisu").toLongLong();
  // A deck file may bring in a row of no copies: it goes, rather than below zero.
  if (copies <= 1) {
    rs.remove();
    return true;
  }
  rs.edit();
  rs.setField(u"CardMaisu", copies - 1);
  rs.update();
  return false;
}

// The deck list as an updatable recordset on line `line`, or nothing.
std::optional<Recordset> openLine(Database& db, const QString& table, const QString& sortField, int line) {
  if (line < 0) return std::nullopt;
  auto rs = db.openRecordset(deckListQuery(table, sortField), RecordsetType::Dynaset);
  rs.move(line);
  if (rs.eof()) return std::nullopt;
  return rs;
}

// Both moves are one procedure with source and target exchanged.
std::optional<DeckMoveResult> moveCopy(Database& db, const QString& sortField, bool toMain, int line) {
  const QString& source = toMain ? kSideDeckTable : kMainDeckTable;
  const QString& target = toMain ? kMainDeckTable : kSideDeckTable;
  auto rs = openLine(db, source, sortField, line);
  if (!rs) return std::nullopt;
  int i = line;
  Transaction transaction(db);  // a move that fails half-way neither loses nor makes a copy
  // A full target keeps its copies and the source keeps its own: no copy is lost.
  if (addOneCopy(db, target, deckRowFrom(*rs, line)) != AddOutcome::AtLimit && takeOneCopy(*rs)) --i;
  transaction.commit();

  DeckMoveResult result;
  result.main =
      readDeckList(db, kMainDeckTable, sortField, toMain ? DeckSelection::none() : DeckSelection::line(i));
  result.side =
      readDeckList(db, kSideDeckTable, sortField, toMain ? DeckSelection::line(i) : DeckSelection::none());
  return result;
}

}  // namespace

bool isBasicLand(Database& db, const QString& set, const QString& nameE) {
  auto rs = db.openRecordset(QStringLiteral("SELECT CardType FROM ") + kCardMstTable + keyWhere(set, nameE),
                             RecordsetType::Snapshot, dbForwardOnly);
  return !rs.eof() && rs.text(u"CardType") == kBasicLand;
}

std::optional<DeckListView> addCopyToDeck(AppContext& ctx, const QString& table) {
  const CurrentCard& cur = ctx.gCurrentCard;
  if (cur.NameE.isEmpty()) return std::nullopt;
  DeckRow card;
  card.CardSetEx = cur.CardSetEx;
  card.NameE = cur.NameE;
  card.NameN = cur.NameN;
  card.NumCost = cur.NumCost;
  card.CAttack = cur.CAttack;
  card.CDefence = cur.CDefence;
  addOneCopy(*ctx.gCardDb, table, card);
  // Also at the limit: the card's line is selected as after any add.
  return readDeckList(*ctx.gCardDb, table, ctx.gSortField,
                      DeckSelection::cardLine({cur.CardSetEx, cur.NameE}));
}

std::optional<DeckListView> removeCopyFromDeck(Database& db, const QString& table, const QString& sortField,
                                               int line) {
  auto rs = openLine(db, table, sortField, line);
  if (!rs) return std::nullopt;
  const int i = takeOneCopy(*rs) ? line - 1 : line;
  return readDeckList(db, table, sortField, DeckSelection::line(i));
}

std::optional<DeckMoveResult> moveCopyToMain(Database& db, const QString& sortField, int sideLine) {
  return moveCopy(db, sortField, true, sideLine);
}

std::optional<DeckMoveResult> moveCopyToSide(Database& db, const QString& sortField, int mainLine) {
  return moveCopy(db, sortField, false, mainLine);
}

}  // namespace tv

#include "browse/cardtext.h"

#include "carddb/codes.h"
#include "deck/decklist.h"
#include "text/sqlliteral.h"

namespace tv {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

std::optional<CardKey> cardKeyAt(Database& db, const QString& table, const QString& sortField, int index) {
  if (index < 0) return std::nullopt;
  // The card list is never sorted on reading: the INSERT put its rows in list order.
  const QString query = table == kCardListTable
                            ? QStringLiteral("SELECT CardSetEx, NameE FROM ") + kCardListTable
                            : deckListQuery(table, sortField);
  auto rs = db.openRecordset(query, RecordsetType::Snapshot, dbForwardOnly);
  rs.move(index);
  if (rs.eof()) return std::nullopt;
  return CardKey{rs.text(u"CardSetEx"), rs.text(u"NameE")};
}

QString cardDetailQuery(const CardKey& key) {
  return QStringLiteral("SELECT tbl_CardMst.CardSetEX, tbl_CardMst.NameE, tbl_CardMst.NameN,") +
         QStringLiteral(" tbl_CardMst.Color , tbl_CardMst.Cost, tbl_CardMst.NumCost, tbl_CardMst.Rare,") +
         QStringLiteral(" tbl_CardMst.CardType, tbl_CardMst.TextN ,") +
         QStringLiteral(
             " tbl_CardMst.CType, tbl_CardMst.CAttack, tbl_CardMst.CDefence, tbl_CardSet.Cardset") +
         QStringLiteral(
             " FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx") +
         QStringLiteral(" WHERE tbl_CardMst.CardSetEx = ") + sqlLiteral(key.CardSetEx) +
         QStringLiteral(" AND tbl_CardMst.NameE = ") + sqlLiteral(key.NameE);
}

namespace {

CardTextView readCard(AppContext& ctx, const QString& table, int index) {
  const auto key = cardKeyAt(*ctx.gCardDb, table, ctx.gSortField, index);
  if (!key) return {};
  auto rs = ctx.gCardDb->openRecordset(cardDetailQuery(*key), RecordsetType::Snapshot, dbForwardOnly);
  if (rs.eof()) return {};

  // Null reads as empty text throughout, the string fields of the current card included.
  const QString nameE = rs.text(u"NameE");
  const QString setEx = rs.text(u"CardSetEx");
  // Changed only once the whole text is known to be shown.
  CurrentCard card = ctx.gCurrentCard;
  if (nameE == card.NameE && setEx == card.CardSetEx) return {};

  CardTextView view;
  view.changed = true;
  if (const ColorCode* colour = findColor(rs.text(u"Color"))) view.background = colour->background;

  QString& t = view.text;
  t = rs.text(u"Cardset");
  // An unknown rarity adds no line break either: the names follow on the first line.
  if (const RarityCode* rarity = findRarity(rs.text(u"Rare")))
    t += QStringLiteral("   ") + rarity->label.toString() + kCrLf;
  t += nameE + QStringLiteral(" / ") + rs.text(u"NameN") + kCrLf;
  t += rs.text(u"Cost") + kCrLf;

  card.CType = QString();
  card.PowerToughness.clear();
  const QString typeCode = rs.text(u"CardType");
  const bool creature = isCreatureType(typeCode);
  if (const CardTypeCode* type = findCardType(typeCode)) {
    t += type->labelJa;
    if (creature) {
      t += rs.text(u"CType");
      card.CType = rs.field(u"CType");
    }
    t += kCrLf;
    card.TypeNameE = type->labelEn.toString();
  }
  t += rs.text(u"TextN") + kCrLf;
  if (creature) {
    const QString pt = rs.text(u"CAttack") + u'/' + rs.text(u"CDefence");
    t += u'[' + pt + u']' + kCrLf;
    card.PowerToughness = pt;
  }

  card.NameN = rs.text(u"NameN");
  card.NameE = nameE;
  card.Rare = rs.text(u"Rare");
  card.Cost = rs.field(u"Cost");
  card.NumCost = rs.field(u"NumCost");
  card.CardSetEx = setEx;
  card.TextN = rs.field(u"TextN");
  card.CAttack = rs.field(u"CAttack");
  card.CDefence = rs.field(u"CDefence");
  showable(t);
  ctx.gCurrentCard = std::move(card);
  return view;
}

}  // namespace

CardTextView chooseCard(AppContext& ctx, const QString& table, int index) {
  try {
    return readCard(ctx, table, index);
  } catch (const DbError&) {
    // The list shows the line as chosen: nothing may go on with the card before it (追加 would add it).
    ctx.gCurrentCard = {};
    throw;
  }
}

}  // namespace tv

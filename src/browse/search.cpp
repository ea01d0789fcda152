#include "browse/search.h"

#include "carddb/codes.h"
#include "text/sqlliteral.h"

namespace tv {

QString sortFieldFromOptions(bool nameE, bool nameN, bool cost, bool attack, bool defence) {
  if (nameE) return QStringLiteral("NameE");
  if (nameN) return QStringLiteral("NameN");
  if (cost) return QStringLiteral("NumCost");
  if (attack) return QStringLiteral("CAttack");
  if (defence) return QStringLiteral("CDefence");
  return {};
}

QString buildSearchStatement(const SearchFilter& f, const QString& sortField) {
  QString s;
  s += QStringLiteral("INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence )");
  s += QStringLiteral(
      " SELECT tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, "
      "tbl_CardMst.CAttack, tbl_CardMst.CDefence");
  s += QStringLiteral(
      " FROM tbl_CardMst INNER JOIN tbl_CardSet ON tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx");
  s += QStringLiteral(" WHERE");
  s += QStringLiteral(" (");
  for (qsizetype k = 0; k < f.selectedSets.size(); ++k) {
    s += k == 0 ? QStringLiteral(" tbl_CardSet.CardsetNo =") : QStringLiteral(" OR tbl_CardSet.CardsetNo =");
    s += QString::number(f.selectedSets[k]);
  }
  // A number no expansion has, so that nothing is found.
  if (f.selectedSets.isEmpty()) s += QStringLiteral(" tbl_CardSet.CardsetNo =99999");
  s += QStringLiteral(" )");

  if (!f.W) s += QStringLiteral(" AND tbl_CardMst.Color <> 'W'");
  if (!f.B) s += QStringLiteral(" AND tbl_CardMst.Color <> 'B'");
  if (!f.U) s += QStringLiteral(" AND tbl_CardMst.Color <> 'U'");
  if (!f.G) s += QStringLiteral(" AND tbl_CardMst.Color <> 'G'");
  if (!f.R) s += QStringLiteral(" AND tbl_CardMst.Color <> 'R'");
  if (!f.N) s += QStringLiteral(" AND tbl_CardMst.Color <> 'N'");
  if (!f.M) s += QStringLiteral(" AND tbl_CardMst.Color <> 'M'");

  const std::pair<bool, TypeGroup> boxes[] = {{f.Land, LandGroup},
                                              {f.Instant, InstantGroup},
                                              {f.Sorcery, SorceryGroup},
                                              {f.Enchantment, EnchantmentGroup},
                                              {f.Artifact, ArtifactGroup},
                                              {f.Creature, CreatureGroup},
                                              {f.Planeswalker, PlaneswalkerGroup}};
  for (const auto& [checked, group] : boxes)
    if (!checked)
      for (const CardTypeCode& type : cardTypeCodes())
        if (type.groups & group) s += QStringLiteral(" AND tbl_CardMst.CardType <> ") + sqlLiteral(type.code);

  if (f.CTypeOn) {
    // The text goes between the wildcards as it stands: spaces around it narrow the match.
    const QString literal = sqlLiteral(QString(u'*' + f.CType + u'*'));
    s += QStringLiteral(" AND tbl_CardMst.CType  Like ") + literal;
  }

  s += QStringLiteral(" ORDER BY tbl_CardMst.") + sortField + QStringLiteral(" ,tbl_CardMst.NameE");
  return s;
}

SearchResult searchCards(AppContext& ctx, const SearchFilter& filter) {
  Database& db = *ctx.gCardDb;
  db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), dbFailOnError);
  if (!filter.sortField.isEmpty()) ctx.gSortField = filter.sortField;
  db.execute(buildSearchStatement(filter, ctx.gSortField));

  SearchResult result;
  // No ORDER BY: the rows come back in the order the INSERT put them in.
  auto rs = db.openRecordset(QStringLiteral("SELECT wtbl_CardList.NameE, wtbl_CardList.NameN") +
                                 QStringLiteral(" FROM wtbl_CardList"),
                             RecordsetType::Snapshot, dbForwardOnly);
  // A card-list line is NameE/NameN, decoded once: with a large result this
  // loop is what counts.
  QByteArray line;
  for (; !rs.eof(); rs.moveNext()) {
    line.truncate(0);
    line.append(rs.utf8(u"NameE"));
    line.append('/');
    line.append(rs.utf8(u"NameN"));
    result.cardLines << QString::fromUtf8(line);
  }
  rs.close();

  result.mainDeck = readDeckList(db, kMainDeckTable, ctx.gSortField, DeckSelection::none());
  result.sideDeck = readDeckList(db, kSideDeckTable, ctx.gSortField, DeckSelection::none());
  return result;
}

}  // namespace tv

#include "browse/search.h"

#include "browse/cardcatalogue.h"
#include "text/sqlliteral.h"

namespace tv {

const std::array<FilterClause, 22> kFilterClauses = {{
    {&SearchFilter::W, "Color", "W"},         {&SearchFilter::B, "Color", "B"},
    {&SearchFilter::U, "Color", "U"},         {&SearchFilter::G, "Color", "G"},
    {&SearchFilter::R, "Color", "R"},         {&SearchFilter::N, "Color", "N"},
    {&SearchFilter::M, "Color", "M"},         {&SearchFilter::Land, "CardType", "L"},
    {&SearchFilter::Land, "CardType", "BL"},  {&SearchFilter::Land, "CardType", "LL"},
    {&SearchFilter::Instant, "CardType", "I"}, {&SearchFilter::Sorcery, "CardType", "S"},
    {&SearchFilter::Enchantment, "CardType", "E"}, {&SearchFilter::Enchantment, "CardType", "EC"},
    {&SearchFilter::Enchantment, "CardType", "EL"}, {&SearchFilter::Enchantment, "CardType", "EP"},
    {&SearchFilter::Enchantment, "CardType", "EA"}, {&SearchFilter::Artifact, "CardType", "A"},
    {&SearchFilter::Artifact, "CardType", "AC"}, {&SearchFilter::Artifact, "CardType", "LA"},
    {&SearchFilter::Creature, "CardType", "C"}, {&SearchFilter::Creature, "CardType", "AC"},
}};

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

  for (const FilterClause& c : kFilterClauses)
    if (!(f.*c.box))
      s += QStringLiteral(" AND tbl_CardMst.%1 <> '%2'").arg(QLatin1StringView(c.column), QLatin1StringView(c.code));

  if (f.CTypeOn) {
    // The text goes between the wildcards as it stands: spaces around it narrow the match.
    const QString literal = sqlLiteral(QString(u'*' + f.CType + u'*'));
    s += QStringLiteral(" AND tbl_CardMst.CType  Like ") + literal;
  }

  s += QStringLiteral(" ORDER BY tbl_CardMst.") + sortField + QStringLiteral(" ,tbl_CardMst.NameE");
  return s;
}

namespace {

QString searchDeckQuery(const QString& table, const QString& sortField) {
  return QStringLiteral("SELECT NameE, NameN, CardMaisu") + QStringLiteral(" FROM ") + table +
         QStringLiteral(" ORDER BY ") + sortField + QStringLiteral(" ,NameE");
}

}  // namespace

QStringList runSearchStatement(Database& db, const SearchFilter& filter, const QString& sortField) {
  db.execute(buildSearchStatement(filter, sortField));
  QStringList lines;
  // No ORDER BY: the rows come back in the order the INSERT put them in.
  auto rs = db.openRecordset(QStringLiteral("SELECT wtbl_CardList.NameE, wtbl_CardList.NameN") +
                                 QStringLiteral(" FROM wtbl_CardList"),
                             RecordsetType::Snapshot, dbForwardOnly);
  QByteArray line;
  for (; !rs.eof(); rs.moveNext()) {
    line.truncate(0);
    line.append(rs.utf8(u"NameE"));
    line.append('/');
    line.append(rs.utf8(u"NameN"));
    lines << QString::fromUtf8(line);
  }
  return lines;
}

SearchResult runCardSearch(AppContext& ctx, const SearchFilter& filter) {
  Database& db = *ctx.gCardDb;
  db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), dbFailOnError);
  if (!filter.sortField.isEmpty()) ctx.gSortField = filter.sortField;

  SearchResult result;
  if (auto lines = fillFromCatalogue(db, filter, ctx.gSortField))
    result.cardLines = std::move(*lines);
  else
    result.cardLines = runSearchStatement(db, filter, ctx.gSortField);

  result.mainDeck = readDeckList(ctx, kMainDeckTable, searchDeckQuery(kMainDeckTable, ctx.gSortField),
                                 DeckSelection::none());
  result.sideDeck = readDeckList(ctx, kSideDeckTable, searchDeckQuery(kSideDeckTable, ctx.gSortField),
                                 DeckSelection::none());
  return result;
}

}  // namespace tv

#include "browse/search.h"

#include "browse/cardcatalogue.h"
#include "browse/namefilter.h"
#include "carddb/codes.h"
#include "text/fold.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

// Index look-ups (expansions × names) that still beat reading every row.
constexpr qsizetype kIndexSeeksWorthIt = 20000;

}  // namespace

const std::vector<FilterClause>& filterClauses() {
  static const std::vector<FilterClause> clauses = [] {
    using F = SearchFilter;
    std::vector<FilterClause> out;
    const std::pair<bool F::*, QStringView> colors[] = {{&F::W, u"W"}, {&F::B, u"B"}, {&F::U, u"U"},
                                                        {&F::G, u"G"}, {&F::R, u"R"}, {&F::N, u"N"},
                                                        {&F::M, u"M"}};
    for (const auto& [box, code] : colors) out.push_back({box, QStringLiteral("Color"), code.toString()});
    const std::pair<bool F::*, TypeGroup> boxes[] = {{&F::Land, LandGroup},
                                                     {&F::Instant, InstantGroup},
                                                     {&F::Sorcery, SorceryGroup},
                                                     {&F::Enchantment, EnchantmentGroup},
                                                     {&F::Artifact, ArtifactGroup},
                                                     {&F::Creature, CreatureGroup},
                                                     {&F::Planeswalker, PlaneswalkerGroup}};
    for (const auto& [box, group] : boxes)
      for (const CardTypeCode& type : cardTypeCodes())
        if (type.groups & group) out.push_back({box, QStringLiteral("CardType"), type.code.toString()});
    return out;
  }();
  return clauses;
}

QString sortFieldFromOptions(bool nameE, bool nameN, bool cost, bool attack, bool defence) {
  if (nameE) return QStringLiteral("NameE");
  if (nameN) return QStringLiteral("NameN");
  if (cost) return QStringLiteral("NumCost");
  if (attack) return QStringLiteral("CAttack");
  if (defence) return QStringLiteral("CDefence");
  return {};
}

QString buildSearchStatement(const SearchFilter& f, const QString& sortField, const NameFilter* names) {
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

  for (const FilterClause& c : filterClauses())
    if (!(f.*c.box))
      s += QStringLiteral(" AND tbl_CardMst.") + c.column + QStringLiteral(" <> ") + sqlLiteral(c.code);

  if (f.CTypeOn) {
    // The text goes between the wildcards as it stands: spaces around it narrow the match.
    const QString literal = sqlLiteral(QString(u'*' + f.CType + u'*'));
    s += QStringLiteral(" AND tbl_CardMst.CType  Like ") + literal;
  }

  if (names && !names->empty()) {
    // A few names: the index finds their rows (expansion and name) and
    // nothing else is read; a row-by-row test of 80,000 costs several times
    // as much. The predicate stays, as the card master's NOCASE finds more.
    const qsizetype sets = std::max<qsizetype>(1, f.selectedSets.size());
    if (const auto few = names->candidateNames(int(std::min<qsizetype>(200, kIndexSeeksWorthIt / sets)))) {
      QStringList literals;
      for (const QString& name : *few) literals << sqlLiteral(name);
      s += QStringLiteral(" AND tbl_CardMst.NameE IN (") + literals.join(QStringLiteral(", ")) + u')';
    }
    s += QStringLiteral(" AND NameMatch(tbl_CardMst.NameE, tbl_CardMst.NameN)");
  }

  s += QStringLiteral(" ORDER BY tbl_CardMst.") + sortField + QStringLiteral(" ,tbl_CardMst.NameE");
  return s;
}

QStringList runSearchStatement(Database& db, const SearchFilter& filter, const QString& sortField,
                               const NameFilter* names) {
  db.execute(buildSearchStatement(filter, sortField, names));
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

void prepareSearches(AppContext& ctx) {
  prepareCardCatalogue(*ctx.gCardDb, ctx.gSortField, cardNames(ctx));
  // What the reads freed (cached pages, heap) goes back to the system.
  ctx.gCardDb->releaseMemory(true);
}

SearchResult searchCards(AppContext& ctx, const SearchFilter& filter) {
  Database& db = *ctx.gCardDb;
  db.dropDeferred();  // the last search's rows, deleted here unread
  db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), dbFailOnError);
  if (!filter.sortField.isEmpty()) ctx.gSortField = filter.sortField;

  SearchResult result;
  // The deck lists first: reading them would run a card list fill left for later.
  result.mainDeck = readDeckList(db, kMainDeckTable, ctx.gSortField, DeckSelection::none());
  result.sideDeck = readDeckList(db, kSideDeckTable, ctx.gSortField, DeckSelection::none());
  std::shared_ptr<NameFilter> names;
  if (!foldName(filter.name).isEmpty()) {
    names = std::make_shared<NameFilter>(cardNames(ctx), filter.name);
    db.definePredicate("NameMatch", 2,
                       [names](std::span<const std::string_view> a) { return names->matches(a[0], a[1]); });
  }
  if (auto lines = fillFromCatalogue(db, filter, ctx.gSortField, names))
    result.cardLines = std::move(*lines);
  else
    result.cardLines = runSearchStatement(db, filter, ctx.gSortField, names.get());
  return result;
}

}  // namespace tv

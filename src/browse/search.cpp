#include "browse/search.h"

#include "analysis/formats.h"
#include "browse/cardcatalogue.h"
#include "browse/namefilter.h"
#include "carddb/codes.h"
#include "carddb/creaturetypes.h"
#include "text/fold.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

// Index look-ups (expansions × names) that still beat reading every row.
constexpr qsizetype kIndexSeeksWorthIt = 20000;

// The statement's test of a type among a card's types (Null: none).
void defineCreatureTypeMatch(Database& db) {
  db.definePredicate("CreatureTypeMatch", 2, [](std::span<const std::string_view> a) {
    return CreatureTypes::holds(QString::fromUtf8(a[0].data(), qsizetype(a[0].size())),
                                QString::fromUtf8(a[1].data(), qsizetype(a[1].size())));
  });
}

qint64 countOf(Database& db, const QString& sql) {
  auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
  return rs.eof() ? 0 : rs.field(rs.fieldName(0)).toLongLong();
}

// The statement's rows made one per English name as the card catalogue
// makes them: the first row of the newest (lowest numbered) expansion where
// it stands, and the names that fold to the typed text first.
void keepOneLinePerName(Database& db, const NameFilter* names) {
  db.execute(QStringLiteral(
      "DELETE FROM wtbl_CardList WHERE rowid NOT IN (SELECT tv_Row FROM (SELECT wtbl_CardList.rowid AS "
      "tv_Row, row_number() OVER (PARTITION BY wtbl_CardList.NameE ORDER BY tbl_CardSet.CardsetNo, "
      "wtbl_CardList.rowid) AS tv_Rank FROM wtbl_CardList LEFT JOIN tbl_CardSet ON wtbl_CardList.CardSetEx "
      "= tbl_CardSet.CardsetEx) WHERE tv_Rank = 1)"));
  if (!names || names->empty()) return;
  db.definePredicate("NameExact", 2,
                     [names](std::span<const std::string_view> a) { return names->exact(a[0], a[1]); });
  // Copied again in the new order, then the old rows go.
  const qint64 last = countOf(db, QStringLiteral("SELECT max(rowid) FROM wtbl_CardList"));
  db.execute(QStringLiteral(
      "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence ) SELECT CardSetEx, "
      "NameE, NameN, NumCost, CAttack, CDefence FROM wtbl_CardList ORDER BY NameExact(NameE, NameN) DESC, "
      "rowid"));
  db.execute(QStringLiteral("DELETE FROM wtbl_CardList WHERE rowid <= ") + QString::number(last));
}

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
  return QStringLiteral("INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence )") +
         searchSelect(f, sortField, names);
}

QString searchSelect(const SearchFilter& f, const QString& sortField, const NameFilter* names) {
  QString s;
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

  if (f.CTypeOn && !f.creatureType.isEmpty()) {
    // A type among the card's types: ゴブリン finds ゴブリン・戦士.
    s += QStringLiteral(" AND CreatureTypeMatch(tbl_CardMst.CType, ") + sqlLiteral(f.creatureType) + u')';
  } else if (f.CTypeOn) {
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

void fillByStatement(Database& db, const SearchFilter& filter, const QString& sortField,
                     const NameFilter* names) {
  defineCreatureTypeMatch(db);
  db.execute(buildSearchStatement(filter, sortField, names));
  if (filter.oneLinePerName) keepOneLinePerName(db, names);
}

QStringList runSearchStatement(Database& db, const SearchFilter& filter, const QString& sortField,
                               const NameFilter* names) {
  fillByStatement(db, filter, sortField, names);
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

query::Parsed readNameBox(AppContext& ctx, QStringView text) {
  // Most texts are a name and read no card facts.
  query::Parsed read = query::parseQuery(text);
  const auto& terms = read.query.terms();
  const auto needsFacts = std::find_if(terms.begin(), terms.end(), [](const query::Term& t) {
    using F = query::Field;
    return t.field == F::Identity || t.field == F::Loyalty || t.field == F::Legal || t.field == F::Banned ||
           t.field == F::Restricted;
  });
  if (!read.ok() || needsFacts == terms.end()) return read;
  const auto facts = cardFacts(ctx);
  if (!facts)
    return {{},
            QStringLiteral("このカードデータには「") + needsFacts->typed +
                QStringLiteral("」の情報がありません")};
  std::vector<query::Format> formats;
  for (const QString& key : facts->formats()) formats.push_back({key, formatRules(key).label});
  return query::parseQuery(text, formats);
}

void prepareSearches(AppContext& ctx) {
  prepareCardCatalogue(*ctx.gCardDb, ctx.gSortField, cardNames(ctx));
  // What the reads freed (cached pages, heap) goes back to the system.
  ctx.gCardDb->releaseMemory(true);
}

SearchResult searchCards(AppContext& ctx, const SearchFilter& typed) {
  SearchFilter filter = typed;
  if (filter.CTypeOn) filter.creatureType = creatureTypes(ctx)->find(filter.CType);
  Database& db = *ctx.gCardDb;
  db.dropDeferred();  // the last search's rows, deleted here unread
  db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), dbFailOnError);
  if (!filter.sortField.isEmpty()) ctx.gSortField = filter.sortField;

  SearchResult result;
  // The deck lists first: reading them would run a card list fill left for later.
  result.mainDeck = readDeckList(db, kMainDeckTable, ctx.gSortField, DeckSelection::none());
  result.sideDeck = readDeckList(db, kSideDeckTable, ctx.gSortField, DeckSelection::none());
  const query::Parsed read = readNameBox(ctx, filter.name);
  std::shared_ptr<NameFilter> names;
  if (const query::Term* name = read.query.plainName()) {
    names = std::make_shared<NameFilter>(cardNames(ctx), name->text);
    db.definePredicate("NameMatch", 2,
                       [names](std::span<const std::string_view> a) { return names->matches(a[0], a[1]); });
  }
  // Grouping and the type among types are the catalogue's work at any size.
  const bool always = filter.oneLinePerName || !filter.creatureType.isEmpty();
  if (!read.ok()) {
    result.cardLines = Lines();
  } else if (!read.query.empty() && !names) {
    const CatalogueQuery query{&read.query, cardNames(ctx), cardFacts(ctx)};
    if (auto lines = fillFromCatalogue(db, filter, ctx.gSortField, nullptr, true, &query))
      result.cardLines = std::move(*lines);
    else
      result.queryError = QStringLiteral("このカードデータでは検索式を使えません");
  } else if (auto lines = fillFromCatalogue(db, filter, ctx.gSortField, names, always)) {
    result.cardLines = std::move(*lines);
  } else {
    result.cardLines = runSearchStatement(db, filter, ctx.gSortField, names.get());
  }
  if (result.cardLines.size() > 0 || !read.ok() || read.query.empty()) return result;
  if (names) {
    result.elsewhere = countInEveryExpansion(db, filter, names.get());
  } else if (const auto every = everyExpansion(db, filter)) {
    const CatalogueQuery query{&read.query, cardNames(ctx), cardFacts(ctx)};
    result.elsewhere = countFromCatalogue(db, *every, ctx.gSortField, query).value_or(0);
  }
  return result;
}

std::optional<SearchFilter> everyExpansion(Database& db, const SearchFilter& filter) {
  SearchFilter every = filter;
  every.selectedSets.clear();
  const qint64 expansions = countOf(db, QStringLiteral("SELECT Count(*) FROM tbl_CardSet"));
  for (int no = 0; no < expansions; ++no) every.selectedSets << no;
  if (every.selectedSets == filter.selectedSets) return std::nullopt;
  return every;
}

qsizetype countInEveryExpansion(Database& db, const SearchFilter& filter, const NameFilter* names) {
  const auto found = everyExpansion(db, filter);
  if (!found) return 0;
  const SearchFilter& every = *found;
  defineCreatureTypeMatch(db);
  // As many as the list would show: with one line per name, the names.
  return qsizetype(countOf(db, (filter.oneLinePerName ? QStringLiteral("SELECT Count(DISTINCT NameE) FROM (")
                                                      : QStringLiteral("SELECT Count(*) FROM (")) +
                                   searchSelect(every, QStringLiteral("NameE"), names) + u')'));
}

}  // namespace tv

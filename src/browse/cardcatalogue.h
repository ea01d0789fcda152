// The card catalogue: every printing of every expansion as the search sees it
// (tbl_CardMst joined with tbl_CardSet), worked out once per start and kept
// with the connection until the card database changes. A search is then a
// filter over memory and one statement that copies the chosen rows into
// wtbl_CardList in order: no join, no sort, no decryption. Each distinct value
// is held once, and the card-list lines are made from them only when shown.
//
// Each filter is one test per card in CardCatalogue::passes (cardcatalogue.cpp);
// a new filter adds its test there, beside its clause in the statement.
#pragma once

#include <memory>
#include <optional>

#include "browse/namefilter.h"
#include "browse/search.h"
#include "carddb/oraclefacts.h"
#include "query/query.h"
#include "text/lines.h"

namespace tv {

// Until the catalogue exists, searches of this many expansions or fewer run
// the statement, which is quick for them; a larger one builds the catalogue.
constexpr int kCatalogueFromExpansions = 8;

// Makes the catalogue now, if the connection has none for the card data as
// it is (and links it to `names`, the names the name box filters by): worth
// doing while nothing else is (the start-up window), so that the first large
// search is as quick as the next.
void prepareCardCatalogue(Database& db, const QString& sortField,
                          const std::shared_ptr<const CardNames>& names = nullptr);

// The name box's query where it is more than a name (query/query.h), with
// what its terms read: the names for its name terms, the card facts (may be
// null) for the rest.
struct CatalogueQuery {
  const query::Query* query = nullptr;
  std::shared_ptr<const CardNames> names;
  std::shared_ptr<const OracleFacts> facts;
};

// Returns the card-list lines of the rows the search statement would insert
// (with the name predicate when `names` is given), in its order, and leaves
// the emptied wtbl_CardList to be filled with them before the connection's
// next statement (Database::defer); with `query`, the rows it passes of
// those. Empty when the catalogue is not worth building yet (unless
// `always`) or cannot serve this card database: the caller then runs the
// statement.
std::optional<Lines> fillFromCatalogue(Database& db, const SearchFilter& filter, const QString& sortField,
                                       std::shared_ptr<const NameFilter> names = nullptr, bool always = false,
                                       const CatalogueQuery* query = nullptr);

// How many lines the query would give (nullopt when the catalogue cannot
// serve this card database); the card list is left as it is.
std::optional<qsizetype> countFromCatalogue(Database& db, const SearchFilter& filter,
                                            const QString& sortField, const CatalogueQuery& query);

}  // namespace tv

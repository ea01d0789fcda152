#include "browse/cardcatalogue.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

#include "browse/querytables.h"
#include "carddb/creaturetypes.h"
#include "carddb/dialect.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

qint64 scalar(Database& db, const QString& sql) {
  auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
  return rs.eof() ? 0 : rs.field(rs.fieldName(0)).toLongLong();
}

// The search's join. Without a WHERE the engine would rather walk the
// card rows themselves; the search index holds every column read here.
QString join(Database& db) {
  const bool indexed =
      scalar(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                                "name = 'tbl_CardMst_List' AND tbl_name = 'tbl_CardMst'")) > 0;
  return QStringLiteral(" FROM tbl_CardMst") +
         (indexed ? QStringLiteral(" INDEXED BY tbl_CardMst_List") : QString()) +
         QStringLiteral(" INNER JOIN tbl_CardSet ON tbl_CardMst.CardsetEx = tbl_CardSet.CardsetEx");
}

// The order of the search statement, with its ties made explicit: equal
// names keep the order of their expansions, as the statement visits them.
QString orderBy(const QString& sortField) {
  return QStringLiteral(" ORDER BY tbl_CardMst.") + sortField +
         QStringLiteral(" ,tbl_CardMst.NameE, tbl_CardSet.CardsetNo");
}

// Bit k is set where clause k of the statement holds, evaluated by the engine
// with the statement's own text, so Null, case and type rules are its own.
QString passesExpression() {
  const auto& clauses = filterClauses();
  if (clauses.size() > 32) throw DbError(QStringLiteral("more filter clauses than bits"));
  QStringList bits;
  for (size_t k = 0; k < clauses.size(); ++k)
    bits << QStringLiteral("(((tbl_CardMst.%1 <> %2) IS 1) << %3)")
                .arg(clauses[k].column, sqlLiteral(clauses[k].code))
                .arg(k);
  return bits.join(QStringLiteral(" | "));
}

// The clause bits of card rows, asked of the engine for a few rows at a time.
std::vector<quint32> passesOfRows(Database& db, const std::vector<qint64>& rows) {
  constexpr size_t kAtATime = 500;
  std::vector<quint32> bits(rows.size());
  for (size_t from = 0; from < rows.size(); from += kAtATime) {
    QStringList listed;
    QHash<qint64, quint32> ofRow;
    for (size_t i = from; i < std::min(rows.size(), from + kAtATime); ++i) listed << QString::number(rows[i]);
    auto rs =
        db.openRecordset(QStringLiteral("SELECT tbl_CardMst.rowid AS tv_Row, ") + passesExpression() +
                             QStringLiteral(" AS tv_Passes FROM tbl_CardMst WHERE tbl_CardMst.rowid IN (") +
                             listed.join(u',') + u')',
                         RecordsetType::Snapshot, dbForwardOnly);
    for (; !rs.eof(); rs.moveNext()) ofRow.insert(rs.cell(0).integer, quint32(rs.cell(1).integer));
    for (size_t i = from; i < std::min(rows.size(), from + kAtATime); ++i) {
      const auto it = ofRow.constFind(rows[i]);
      if (it == ofRow.cend()) throw DbError(QStringLiteral("the card tables changed"));
      bits[i] = *it;
    }
  }
  return bits;
}

// The columns copied into wtbl_CardList, in its INSERT's order.
constexpr int kCopied = 6;
const char* const kCopiedColumns[kCopied] = {"CardSetEx", "NameE", "NameN", "NumCost", "CAttack", "CDefence"};
constexpr int kNameE = 1, kNameN = 2, kNumCost = 3, kAttack = 4, kDefence = 5;

// The catalogue's rows and values, shared by the lines on screen: a list
// keeps showing its lines after the catalogue is replaced.
struct Store {
  struct Entry {
    qint64 cardRow = 0, setRow = 0;  // rowids: the row's identity in the join
    qint32 setNo = 0;
    quint32 passes = 0;
    qint32 ctype = -1;                     // into ctypes; -1 is Null
    std::array<qint32, kCopied> values{};  // into columns[k]
  };
  // The distinct values of one copied column, and their text as the engine
  // reads it: a text's is its bytes, any other's (a number's) is kept beside it.
  struct Column {
    std::vector<Cell> cells;
    QHash<qint32, QByteArray> otherTexts;
    const QByteArray& text(qint32 value) const {
      const Cell& c = cells[size_t(value)];
      if (c.kind == Cell::Text) return c.bytes;
      const auto it = otherTexts.constFind(value);
      static const QByteArray none;
      return it == otherTexts.cend() ? none : *it;
    }
  };

  std::vector<Entry> entries;
  std::array<Column, kCopied> columns;
  std::vector<QByteArray> ctypes;

  const Cell& cell(qint32 entry, int column) const {
    return columns[size_t(column)].cells[size_t(entries[size_t(entry)].values[size_t(column)])];
  }
  const QByteArray& text(qint32 entry, int column) const {
    return columns[size_t(column)].text(entries[size_t(entry)].values[size_t(column)]);
  }
  // The line the statement's path reads back from wtbl_CardList.
  QString line(qint32 entry) const {
    return QString::fromUtf8(text(entry, kNameE) + '/' + text(entry, kNameN));
  }
};

// A search's rows, in order: what the fill statement copies and the list shows.
class Selection : public RowSource, public LineSource {
 public:
  Selection(std::shared_ptr<const Store> store, std::vector<qint32> rows)
      : store_(std::move(store)), rows_(std::move(rows)) {}
  size_t rowCount() const override { return rows_.size(); }
  const Cell& cell(size_t row, int column) const override {
    static const Cell null;
    return column < kCopied ? store_->cell(rows_[row], column) : null;
  }
  qsizetype count() const override { return qsizetype(rows_.size()); }
  QString line(qsizetype row) const override { return store_->line(rows_[size_t(row)]); }

 private:
  std::shared_ptr<const Store> store_;
  std::vector<qint32> rows_;
};

class CardCatalogue {
 public:
  // A catalogue that cannot serve this card database.
  explicit CardCatalogue(quint32 dataVersion) : dataVersion_(dataVersion) {}

  CardCatalogue(Database& db, const QString& sortField, quint32 dataVersion)
      : dataVersion_(dataVersion), usable_(true), join_(join(db)) {
    auto store = std::make_shared<Store>();
    QStringList copied;
    for (const char* column : kCopiedColumns) copied << QLatin1String(column);
    auto rs = db.openRecordset(
        QStringLiteral("SELECT tbl_CardMst.rowid AS tv_CardRow, tbl_CardSet.rowid AS tv_SetRow, "
                       "tbl_CardSet.CardsetNo AS tv_SetNo, tbl_CardMst.Color AS tv_Color, "
                       "tbl_CardMst.CardType AS tv_CardType, tbl_CardMst.CType AS tv_CType, tbl_CardMst.") +
            copied.join(QStringLiteral(", tbl_CardMst.")) + join_ + orderBy(sortField),
        RecordsetType::Snapshot, dbForwardOnly);
    const int cardRow = rs.column(u"tv_CardRow"), setRow = rs.column(u"tv_SetRow"),
              setNo = rs.column(u"tv_SetNo"), color = rs.column(u"tv_Color"),
              cardType = rs.column(u"tv_CardType"), ctype = rs.column(u"tv_CType");
    std::array<int, kCopied> at{};
    for (int k = 0; k < kCopied; ++k) at[size_t(k)] = rs.column(copied[k]);
    // Neighbouring rows often share a value (a card's printings): its index is
    // then the last row's, with no look-up and no copy.
    std::array<QHash<Cell, qint32>, kCopied> index;
    std::array<Cell, kCopied> value, lastValue;
    std::array<qint32, kCopied> lastIndex{};
    QHash<QByteArray, qint32> ctypeIndex;
    std::pair<QByteArray, qint32> lastCType{{}, -1};
    // Each pair of Color and CardType (value and type alike), with a card row
    // that holds it: until its clause bits are known, an entry holds its pair's number.
    QHash<std::pair<Cell, Cell>, quint32> pairs;
    std::vector<qint64> rowOfPair;
    std::pair<Cell, Cell> types, lastTypes;
    quint32 lastPair = 0;
    for (bool first = true; !rs.eof(); rs.moveNext(), first = false) {
      Store::Entry e;
      const Cell no = rs.cell(setNo);
      // Anything but whole numbers compares by the engine's rules of affinity: leave it to the statement.
      if (no.kind != Cell::Integer || no.integer < 0 || no.integer > 0x7fffffff)
        throw DbError(QStringLiteral("expansion number not a small whole number"));
      e.setNo = qint32(no.integer);
      e.cardRow = rs.cell(cardRow).integer;
      e.setRow = rs.cell(setRow).integer;

      rs.cell(color, types.first);
      rs.cell(cardType, types.second);
      if (first || !(types == lastTypes)) {
        auto it = pairs.constFind(types);
        if (it == pairs.cend()) {
          it = pairs.insert(types, quint32(rowOfPair.size()));
          rowOfPair.push_back(e.cardRow);
        }
        lastPair = *it;
        std::swap(types, lastTypes);
      }
      e.passes = lastPair;

      if (!rs.isNull(ctype)) {
        const QByteArrayView text = rs.utf8(ctype);
        if (lastCType.second < 0 || text != lastCType.first) {
          auto it = ctypeIndex.constFind(QByteArray::fromRawData(text.data(), text.size()));
          if (it == ctypeIndex.constEnd()) {
            it = ctypeIndex.insert(text.toByteArray(), qint32(store->ctypes.size()));
            store->ctypes.push_back(text.toByteArray());
          }
          lastCType = {it.key(), *it};
        }
        e.ctype = lastCType.second;
      }

      for (size_t k = 0; k < kCopied; ++k) {
        rs.cell(at[k], value[k]);
        if (first || !(value[k] == lastValue[k])) {
          auto it = index[k].constFind(value[k]);
          if (it == index[k].constEnd()) {
            Store::Column& c = store->columns[k];
            it = index[k].insert(value[k], qint32(c.cells.size()));
            // The engine's text of a number is its own; a text is its bytes.
            if (value[k].kind != Cell::Text && value[k].kind != Cell::Null)
              c.otherTexts.insert(*it, rs.utf8(at[k]).toByteArray());
            c.cells.push_back(value[k]);
          }
          lastIndex[k] = *it;
          std::swap(value[k], lastValue[k]);
        }
        e.values[k] = lastIndex[k];
      }
      store->entries.push_back(e);
    }
    const std::vector<quint32> bits = passesOfRows(db, rowOfPair);
    for (Store::Entry& e : store->entries) e.passes = bits[e.passes];
    store->entries.shrink_to_fit();
    std::vector<qint32>& order = orders_[sortField];
    order.resize(store->entries.size());
    std::iota(order.begin(), order.end(), 0);
    store_ = std::move(store);
  }

  // What the queries read of every row, made by the first query: most runs
  // make none, and neither read the card facts nor hold the folded texts.
  void makeQueryTables(Database& db, std::shared_ptr<const OracleFacts> facts) {
    if (queryTables_) return;
    std::vector<qint64> rows;
    std::vector<qint32> setNos, names;
    rows.reserve(store_->entries.size());
    setNos.reserve(store_->entries.size());
    names.reserve(store_->entries.size());
    for (const Store::Entry& e : store_->entries) {
      rows.push_back(e.cardRow);
      setNos.push_back(e.setNo);
      names.push_back(e.values[kNameE]);
    }
    const auto& columns = store_->columns;
    std::vector<QByteArray> namesE;
    namesE.reserve(columns[kNameE].cells.size());
    for (qint32 v = 0; v < qint32(columns[kNameE].cells.size()); ++v)
      namesE.push_back(columns[kNameE].text(v));
    queryTables_ = std::make_unique<QueryTables>(
        db,
        QueryTables::Catalogue{rows, setNos, names, namesE, columns[kNumCost].cells, columns[kAttack].cells,
                               columns[kDefence].cells},
        std::move(facts));
  }

  quint32 dataVersion() const { return dataVersion_; }
  bool usable() const { return usable_; }
  void refuse() { usable_ = false; }

  // The rows the statement would insert, in its order.
  std::shared_ptr<Selection> select(Database& db, const SearchFilter& f, const QString& sortField,
                                    const NameFilter* names, const CatalogueQuery* query) {
    Filter filter = prepare(f, names);
    if (query && query->query && !query->query->empty()) prepareQuery(db, *query, filter);
    const std::vector<qint32>& order = orderFor(db, sortField);
    std::vector<qint32> rows;
    rows.reserve(order.size());
    for (const qint32 i : order)
      if (passes(i, filter)) rows.push_back(i);
    if (f.oneLinePerName) oneLinePerName(rows, names);
    rows.shrink_to_fit();
    return std::make_shared<Selection>(store_, std::move(rows));
  }

 private:
  // The search's filters made ready for one test per card.
  struct Filter {
    std::vector<char> setSelected;  // by CardsetNo
    quint32 required = 0;           // clause bits that must hold
    bool ctypeOn = false;
    std::vector<char> ctypeMatches;  // by ctypes index
    bool namesOn = false;
    std::vector<char> englishMatches, japaneseMatches;  // by value of NameE, NameN
    const query::Query* query = nullptr;
    std::vector<TermHits> hits;  // by term of the query
  };

  // Each term answered once per distinct value it reads.
  void prepareQuery(Database& db, const CatalogueQuery& q, Filter& out) {
    makeQueryTables(db, q.facts);
    out.query = q.query;
    for (const query::Term& t : q.query->terms()) {
      if (t.field != query::Field::Name) {
        out.hits.push_back(queryTables_->hits(t));
        continue;
      }
      const NameFilter names(q.names, t.text);
      const NameIds& ids = nameIdsFor(q.names);
      TermHits h{QueryDomain::NameE, QueryDomain::NameN, {}, {}};
      for (const int id : ids.english) h.firstHits.push_back(names.englishHit(id));
      for (const int id : ids.japanese) h.secondHits.push_back(names.japaneseHit(id));
      out.hits.push_back(std::move(h));
    }
  }

  // The index of entry `i`'s value that `domain` flags by; -1 for none.
  qint32 valueOf(QueryDomain domain, qint32 i) const {
    const Store::Entry& e = store_->entries[size_t(i)];
    const auto printing = [&]() -> const QueryTables::Printing& {
      return queryTables_->printings()[size_t(i)];
    };
    switch (domain) {
      case QueryDomain::None:
        return -1;
      case QueryDomain::NameE:
        return e.values[kNameE];
      case QueryDomain::NameN:
        return e.values[kNameN];
      case QueryDomain::NumCost:
        return e.values[kNumCost];
      case QueryDomain::Attack:
        return e.values[kAttack];
      case QueryDomain::Defence:
        return e.values[kDefence];
      case QueryDomain::TextN:
        return printing().textN;
      case QueryDomain::TypeLine:
        return printing().typeLine;
      case QueryDomain::Colors:
        return printing().colors;
      case QueryDomain::Rarity:
        return printing().rarity;
      case QueryDomain::Set:
        return printing().set;
    }
    return -1;
  }

  bool hit(QueryDomain domain, const std::vector<char>& flags, qint32 i) const {
    const qint32 v = valueOf(domain, i);
    return v >= 0 && size_t(v) < flags.size() && flags[size_t(v)];
  }

  bool passesQuery(qint32 i, const Filter& f) const {
    const query::Term* first = f.query->terms().data();
    return f.query->evaluate([&](const query::Term& t) {
      const TermHits& h = f.hits[size_t(&t - first)];
      return hit(h.first, h.firstHits, i) || hit(h.second, h.secondHits, i);
    });
  }

  Filter prepare(const SearchFilter& f, const NameFilter* names) {
    Filter out;
    // No expansion selected: the statement asks for number 99999.
    const QList<int> sets = f.selectedSets.isEmpty() ? QList<int>{99999} : f.selectedSets;
    for (const int no : sets) {
      if (no < 0) continue;
      if (size_t(no) >= out.setSelected.size()) out.setSelected.resize(size_t(no) + 1, 0);
      out.setSelected[size_t(no)] = 1;
    }
    const auto& clauses = filterClauses();
    for (size_t k = 0; k < clauses.size(); ++k)
      if (!(f.*clauses[k].box)) out.required |= 1u << k;
    out.ctypeOn = f.CTypeOn;
    if (out.ctypeOn) {
      const QByteArray pattern = QString(u'*' + f.CType + u'*').toUtf8();
      out.ctypeMatches.reserve(store_->ctypes.size());
      for (const QByteArray& ctype : store_->ctypes)
        out.ctypeMatches.push_back(f.creatureType.isEmpty()
                                       ? jetLike({pattern.constData(), size_t(pattern.size())},
                                                 {ctype.constData(), size_t(ctype.size())})
                                       : CreatureTypes::holds(QString::fromUtf8(ctype), f.creatureType));
    }
    out.namesOn = names && !names->empty();
    if (out.namesOn) {
      const NameIds& ids = nameIdsFor(names->cardNames());
      out.englishMatches.reserve(ids.english.size());
      for (const int id : ids.english) out.englishMatches.push_back(names->englishHit(id));
      out.japaneseMatches.reserve(ids.japanese.size());
      for (const int id : ids.japanese) out.japaneseMatches.push_back(names->japaneseHit(id));
    }
    return out;
  }

  // Of each English name's rows, the first of its newest expansion (the
  // lowest number: expansions are listed newest first), where it stands;
  // names that fold to the typed text as a whole come first.
  void oneLinePerName(std::vector<qint32>& rows, const NameFilter* names) {
    const std::vector<qint32>& group = nameGroups();
    auto entry = [&](qint32 at) -> const Store::Entry& { return store_->entries[size_t(rows[size_t(at)])]; };
    std::vector<qint32> best(groupCount_, -1);  // by group: a position in rows
    for (qint32 at = 0; at < qint32(rows.size()); ++at) {
      qint32& kept = best[size_t(group[size_t(entry(at).values[kNameE])])];
      if (kept < 0 || entry(at).setNo < entry(kept).setNo) kept = at;
    }
    std::vector<qint32> placed;
    for (qint32 at = 0; at < qint32(rows.size()); ++at)
      if (best[size_t(group[size_t(entry(at).values[kNameE])])] == at) placed.push_back(rows[size_t(at)]);
    if (names && !names->empty())
      std::stable_partition(placed.begin(), placed.end(), [&](qint32 entry) {
        const QByteArray &e = store_->text(entry, kNameE), &n = store_->text(entry, kNameN);
        return names->exact({e.constData(), size_t(e.size())}, {n.constData(), size_t(n.size())});
      });
    rows = std::move(placed);
  }

  // A group number for each NameE value: the column's collation ignores
  // the case of ASCII letters.
  const std::vector<qint32>& nameGroups() {
    const Store::Column& english = store_->columns[kNameE];
    if (!nameGroups_.empty() || english.cells.empty()) return nameGroups_;
    QHash<QByteArray, qint32> byKey;
    for (qint32 v = 0; v < qint32(english.cells.size()); ++v) {
      const QByteArray key = english.text(v).toLower();
      auto it = byKey.constFind(key);
      if (it == byKey.cend()) it = byKey.insert(key, qint32(byKey.size()));
      nameGroups_.push_back(*it);
    }
    groupCount_ = size_t(byKey.size());
    return nameGroups_;
  }

 public:
  // The ids in `names` of the distinct NameE and NameN values: worked out
  // once, so that a keystroke looks up no name.
  struct NameIds {
    std::shared_ptr<const CardNames> names;
    std::vector<int> english, japanese;  // by value of NameE, NameN; -1: none
  };
  const NameIds& nameIdsFor(const std::shared_ptr<const CardNames>& names) {
    if (nameIds_.names == names) return nameIds_;
    NameIds ids{names, {}, {}};
    // The predicate reads Null as empty, as the texts hold it.
    auto view = [](const QByteArray& text) {
      return std::string_view(text.constData(), size_t(text.size()));
    };
    const Store::Column &english = store_->columns[kNameE], &japanese = store_->columns[kNameN];
    for (qint32 v = 0; v < qint32(english.cells.size()); ++v)
      ids.english.push_back(NameFilter::englishIdOf(*names, view(english.text(v))));
    for (qint32 v = 0; v < qint32(japanese.cells.size()); ++v)
      ids.japanese.push_back(NameFilter::japaneseIdOf(*names, view(japanese.text(v))));
    nameIds_ = std::move(ids);
    return nameIds_;
  }

 private:
  bool passes(qint32 i, const Filter& f) const {
    const Store::Entry& e = store_->entries[size_t(i)];
    if (size_t(e.setNo) >= f.setSelected.size() || !f.setSelected[size_t(e.setNo)]) return false;
    if ((e.passes & f.required) != f.required) return false;
    if (f.ctypeOn && (e.ctype < 0 || !f.ctypeMatches[size_t(e.ctype)])) return false;
    if (f.namesOn && !f.englishMatches[size_t(e.values[kNameE])] &&
        !f.japaneseMatches[size_t(e.values[kNameN])])
      return false;
    return !f.query || passesQuery(i, f);
  }

  // The catalogue's positions in the order of `sortField`, asked of the
  // engine once per sort order.
  const std::vector<qint32>& orderFor(Database& db, const QString& sortField) {
    auto it = orders_.find(sortField);
    if (it != orders_.end()) return it->second;
    // Each row of the join is known by its card and expansion rowids.
    std::vector<Key> keys;
    keys.reserve(store_->entries.size());
    for (const Store::Entry& e : store_->entries) keys.push_back({e.cardRow, e.setRow, qint32(keys.size())});
    std::sort(keys.begin(), keys.end());
    std::vector<qint32> order;
    order.reserve(keys.size());
    auto rs = db.openRecordset(
        QStringLiteral("SELECT tbl_CardMst.rowid AS tv_CardRow, tbl_CardSet.rowid AS tv_SetRow") + join_ +
            orderBy(sortField),
        RecordsetType::Snapshot, dbForwardOnly);
    for (; !rs.eof(); rs.moveNext()) {
      const Key key{rs.cell(u"tv_CardRow").integer, rs.cell(u"tv_SetRow").integer, 0};
      const auto found = std::lower_bound(keys.begin(), keys.end(), key);
      if (found == keys.end() || std::get<0>(*found) != std::get<0>(key) ||
          std::get<1>(*found) != std::get<1>(key))
        throw DbError(QStringLiteral("the card tables changed"));
      order.push_back(std::get<2>(*found));
    }
    if (order.size() != keys.size()) throw DbError(QStringLiteral("the card tables changed"));
    rs.close();
    db.releaseMemory();
    return orders_.emplace(sortField, std::move(order)).first->second;
  }

  using Key = std::tuple<qint64, qint64, qint32>;  // card rowid, expansion rowid, position

  quint32 dataVersion_;
  bool usable_ = false;
  QString join_;
  std::shared_ptr<const Store> store_;
  std::map<QString, std::vector<qint32>> orders_;
  std::unique_ptr<QueryTables> queryTables_;
  std::vector<qint32> nameGroups_;
  size_t groupCount_ = 0;
  NameIds nameIds_;
};

const QString kFillStatement = QStringLiteral(
    "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence )"
    " SELECT c0, c1, c2, c3, c4, c5 FROM tv_rows(?1)");

}  // namespace

namespace {

// The connection's catalogue for the card data as it is now; made when
// `build`, else null until a search makes it.
std::shared_ptr<CardCatalogue> catalogueOf(Database& db, const QString& sortField, bool build) {
  auto catalogue = std::static_pointer_cast<CardCatalogue>(db.derived());
  const quint32 version = db.cardDataVersion();
  if (catalogue && catalogue->dataVersion() == version) return catalogue;
  db.derived().reset();
  if (!build) return nullptr;
  try {
    catalogue = std::make_shared<CardCatalogue>(db, sortField, version);
  } catch (const DbError&) {
    catalogue = std::make_shared<CardCatalogue>(version);
  }
  db.derived() = catalogue;
  // Searches read the catalogue from now on, not the file's pages.
  db.releaseMemory(true);
  return catalogue;
}

}  // namespace

void prepareCardCatalogue(Database& db, const QString& sortField,
                          const std::shared_ptr<const CardNames>& names) {
  const auto catalogue = catalogueOf(db, sortField, true);
  if (names && catalogue->usable()) catalogue->nameIdsFor(names);
}

std::optional<Lines> fillFromCatalogue(Database& db, const SearchFilter& filter, const QString& sortField,
                                       std::shared_ptr<const NameFilter> names, bool always,
                                       const CatalogueQuery* query) {
  const auto catalogue =
      catalogueOf(db, sortField, always || filter.selectedSets.size() > kCatalogueFromExpansions);
  if (!catalogue || !catalogue->usable()) return std::nullopt;

  std::shared_ptr<Selection> selection;
  try {
    selection = catalogue->select(db, filter, sortField, names.get(), query);
  } catch (const DbError&) {
    catalogue->refuse();
    return std::nullopt;
  }
  // The lines are on screen before the table is filled; nothing reads the
  // table before the fill (Database::defer).
  const bool queried = query && query->query && !query->query->empty();
  db.defer([&db, selection, catalogue, filter, sortField, names, queried] {
    try {
      db.executeWithRows(kFillStatement, *selection);
    } catch (const DbError&) {
      // One statement: a failure left wtbl_CardList empty for the statement to
      // fill, which cannot say what a query says.
      catalogue->refuse();
      if (!queried) fillByStatement(db, filter, sortField, names.get());
    }
  });
  return Lines(std::shared_ptr<const LineSource>(selection));
}

std::optional<qsizetype> countFromCatalogue(Database& db, const SearchFilter& filter,
                                            const QString& sortField, const CatalogueQuery& query) {
  const auto catalogue = catalogueOf(db, sortField, true);
  if (!catalogue || !catalogue->usable()) return std::nullopt;
  try {
    return catalogue->select(db, filter, sortField, nullptr, &query)->count();
  } catch (const DbError&) {
    return std::nullopt;
  }
}

}  // namespace tv

#include "browse/cardcatalogue.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

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

// The columns copied into wtbl_CardList, in its INSERT's order.
constexpr int kCopied = 6;
const char* const kCopiedColumns[kCopied] = {"CardSetEx", "NameE", "NameN", "NumCost", "CAttack", "CDefence"};
constexpr int kNameE = 1, kNameN = 2;

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
  // The distinct values of one copied column, and their text as the engine reads it.
  struct Column {
    std::vector<Cell> cells;
    std::vector<QByteArray> texts;
  };

  std::vector<Entry> entries;
  std::array<Column, kCopied> columns;
  std::vector<QByteArray> ctypes;

  const Cell& cell(qint32 entry, int column) const {
    return columns[size_t(column)].cells[size_t(entries[size_t(entry)].values[size_t(column)])];
  }
  const QByteArray& text(qint32 entry, int column) const {
    return columns[size_t(column)].texts[size_t(entries[size_t(entry)].values[size_t(column)])];
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
    store->entries.reserve(size_t(scalar(db, QStringLiteral("SELECT count(*)") + join_)));
    QStringList copied;
    for (const char* column : kCopiedColumns) copied << QLatin1String(column);
    auto rs = db.openRecordset(
        QStringLiteral("SELECT tbl_CardMst.rowid AS tv_CardRow, tbl_CardSet.rowid AS tv_SetRow, "
                       "tbl_CardSet.CardsetNo AS tv_SetNo, ") +
            passesExpression() +
            QStringLiteral(" AS tv_Passes, tbl_CardMst.CType AS tv_CType, tbl_CardMst.") +
            copied.join(QStringLiteral(", tbl_CardMst.")) + join_ + orderBy(sortField),
        RecordsetType::Snapshot, dbForwardOnly);
    std::array<QHash<Cell, qint32>, kCopied> index;
    QHash<QByteArray, qint32> ctypeIndex;
    for (; !rs.eof(); rs.moveNext()) {
      Store::Entry e;
      const Cell setNo = rs.cell(u"tv_SetNo");
      // Anything but whole numbers compares by the engine's rules of affinity: leave it to the statement.
      if (setNo.kind != Cell::Integer || setNo.integer < 0 || setNo.integer > 0x7fffffff)
        throw DbError(QStringLiteral("expansion number not a small whole number"));
      e.setNo = qint32(setNo.integer);
      e.cardRow = rs.cell(u"tv_CardRow").integer;
      e.setRow = rs.cell(u"tv_SetRow").integer;
      e.passes = quint32(rs.cell(u"tv_Passes").integer);
      if (!rs.isNull(u"tv_CType")) {
        const QByteArrayView text = rs.utf8(u"tv_CType");
        auto it = ctypeIndex.constFind(QByteArray::fromRawData(text.data(), text.size()));
        if (it == ctypeIndex.constEnd()) {
          it = ctypeIndex.insert(text.toByteArray(), qint32(store->ctypes.size()));
          store->ctypes.push_back(text.toByteArray());
        }
        e.ctype = *it;
      }
      for (int k = 0; k < kCopied; ++k) {
        const QString& column = copied[k];
        Cell value = rs.cell(column);
        auto it = index[size_t(k)].constFind(value);
        if (it == index[size_t(k)].constEnd()) {
          Store::Column& c = store->columns[size_t(k)];
          it = index[size_t(k)].insert(value, qint32(c.cells.size()));
          // The engine's text of a number is its own; a text is its bytes.
          c.texts.push_back(value.kind == Cell::Text ? value.bytes : rs.utf8(column).toByteArray());
          c.cells.push_back(std::move(value));
        }
        e.values[size_t(k)] = *it;
      }
      store->entries.push_back(e);
    }
    store->entries.shrink_to_fit();
    std::vector<qint32>& order = orders_[sortField];
    order.resize(store->entries.size());
    std::iota(order.begin(), order.end(), 0);
    store_ = std::move(store);
  }

  quint32 dataVersion() const { return dataVersion_; }
  bool usable() const { return usable_; }
  void refuse() { usable_ = false; }

  // The rows the statement would insert, in its order.
  std::shared_ptr<Selection> select(Database& db, const SearchFilter& f, const QString& sortField,
                                    const NameFilter* names) {
    const Filter filter = prepare(f, names);
    const std::vector<qint32>& order = orderFor(db, sortField);
    std::vector<qint32> rows;
    rows.reserve(order.size());
    for (const qint32 i : order)
      if (passes(store_->entries[size_t(i)], filter)) rows.push_back(i);
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
  };

  Filter prepare(const SearchFilter& f, const NameFilter* names) const {
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
      // The predicate reads Null as empty, as the texts hold it.
      for (const QByteArray& text : store_->columns[kNameE].texts)
        out.englishMatches.push_back(names->englishMatches({text.constData(), size_t(text.size())}));
      for (const QByteArray& text : store_->columns[kNameN].texts)
        out.japaneseMatches.push_back(names->japaneseMatches({text.constData(), size_t(text.size())}));
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
    if (!nameGroups_.empty() || store_->columns[kNameE].texts.empty()) return nameGroups_;
    QHash<QByteArray, qint32> byKey;
    for (const QByteArray& text : store_->columns[kNameE].texts) {
      const QByteArray key = text.toLower();
      auto it = byKey.constFind(key);
      if (it == byKey.cend()) it = byKey.insert(key, qint32(byKey.size()));
      nameGroups_.push_back(*it);
    }
    groupCount_ = size_t(byKey.size());
    return nameGroups_;
  }

  static bool passes(const Store::Entry& e, const Filter& f) {
    if (size_t(e.setNo) >= f.setSelected.size() || !f.setSelected[size_t(e.setNo)]) return false;
    if ((e.passes & f.required) != f.required) return false;
    if (f.ctypeOn && (e.ctype < 0 || !f.ctypeMatches[size_t(e.ctype)])) return false;
    if (f.namesOn && !f.englishMatches[size_t(e.values[kNameE])] &&
        !f.japaneseMatches[size_t(e.values[kNameN])])
      return false;
    return true;
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
  std::vector<qint32> nameGroups_;
  size_t groupCount_ = 0;
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

void prepareCardCatalogue(Database& db, const QString& sortField) { catalogueOf(db, sortField, true); }

std::optional<Lines> fillFromCatalogue(Database& db, const SearchFilter& filter, const QString& sortField,
                                       const NameFilter* names, bool always) {
  const auto catalogue =
      catalogueOf(db, sortField, always || filter.selectedSets.size() > kCatalogueFromExpansions);
  if (!catalogue || !catalogue->usable()) return std::nullopt;

  try {
    const auto selection = catalogue->select(db, filter, sortField, names);
    db.executeWithRows(kFillStatement, *selection);
    return Lines(std::shared_ptr<const LineSource>(selection));
  } catch (const DbError&) {
    // One statement: a failure left wtbl_CardList empty for the statement to fill.
    catalogue->refuse();
    return std::nullopt;
  }
}

}  // namespace tv

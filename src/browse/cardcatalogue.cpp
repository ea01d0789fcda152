#include "browse/cardcatalogue.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <tuple>
#include <vector>

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
        out.ctypeMatches.push_back(jetLike({pattern.constData(), size_t(pattern.size())},
                                           {ctype.constData(), size_t(ctype.size())}));
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
                                       std::shared_ptr<const NameFilter> names, bool always) {
  const auto catalogue =
      catalogueOf(db, sortField, always || filter.selectedSets.size() > kCatalogueFromExpansions);
  if (!catalogue || !catalogue->usable()) return std::nullopt;

  std::shared_ptr<Selection> selection;
  try {
    selection = catalogue->select(db, filter, sortField, names.get());
  } catch (const DbError&) {
    catalogue->refuse();
    return std::nullopt;
  }
  // The lines are on screen before the table is filled; nothing reads the
  // table before the fill (Database::defer).
  db.defer([&db, selection, catalogue, filter, sortField, names] {
    try {
      db.executeWithRows(kFillStatement, *selection);
    } catch (const DbError&) {
      // One statement: a failure left wtbl_CardList empty for the statement to fill.
      catalogue->refuse();
      db.execute(buildSearchStatement(filter, sortField, names.get()));
    }
  });
  return Lines(std::shared_ptr<const LineSource>(selection));
}

}  // namespace tv

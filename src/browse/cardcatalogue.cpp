#include "browse/cardcatalogue.h"

#include <QHash>
#include <algorithm>
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

class CardCatalogue {
 public:
  // A catalogue that cannot serve this card database.
  explicit CardCatalogue(quint32 dataVersion) : dataVersion_(dataVersion) {}

  CardCatalogue(Database& db, const QString& sortField, quint32 dataVersion)
      : dataVersion_(dataVersion), usable_(true), join_(join(db)) {
    // The copied values take wtbl_CardList's column types here, so the lines
    // read from this table are those read back from wtbl_CardList.
    db.execute(QStringLiteral("DROP TABLE IF EXISTS temp.tv_CardCatalogue"));
    db.execute(QStringLiteral(
        "CREATE TEMP TABLE tv_CardCatalogue AS SELECT CardSetEx, NameE, NameN, NumCost, CAttack, CDefence,"
        " NULL AS tv_SetNo, NULL AS tv_Passes, NULL AS tv_CType, NULL AS tv_CardRow, NULL AS tv_SetRow"
        " FROM wtbl_CardList WHERE 0"));
    db.execute(
        QStringLiteral("INSERT INTO temp.tv_CardCatalogue SELECT tbl_CardMst.CardSetEx, "
                       "tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.NumCost, tbl_CardMst.CAttack, "
                       "tbl_CardMst.CDefence, tbl_CardSet.CardsetNo, ") +
        passesExpression() + QStringLiteral(", tbl_CardMst.CType, tbl_CardMst.rowid, tbl_CardSet.rowid") +
        join_ + orderBy(sortField));

    const qsizetype count = scalar(db, QStringLiteral("SELECT count(*) FROM temp.tv_CardCatalogue"));
    entries_.reserve(size_t(count));
    lines_.reserve(count);
    auto rs = db.openRecordset(QStringLiteral("SELECT rowid, NameE, NameN, tv_SetNo, tv_Passes, tv_CType "
                                              "FROM temp.tv_CardCatalogue"),
                               RecordsetType::Snapshot, dbForwardOnly);
    QHash<QByteArray, qint32> ctypeIndex;
    QByteArray line;
    for (; !rs.eof(); rs.moveNext()) {
      const QVariant setNo = rs.field(u"tv_SetNo");
      // Anything but whole numbers compares by the engine's rules of affinity: leave it to the statement.
      if (setNo.typeId() != QMetaType::LongLong || setNo.toLongLong() < 0 || setNo.toLongLong() > 0x7fffffff)
        throw DbError(QStringLiteral("expansion number not a small whole number"));
      if (rs.field(u"rowid").toLongLong() != qint64(entries_.size()) + 1)
        throw DbError(QStringLiteral("catalogue out of order"));
      Entry e;
      e.setNo = qint32(setNo.toLongLong());
      e.passes = quint32(rs.field(u"tv_Passes").toLongLong());
      if (!rs.isNull(u"tv_CType")) {
        const QByteArrayView text = rs.utf8(u"tv_CType");
        auto it = ctypeIndex.constFind(QByteArray::fromRawData(text.data(), text.size()));
        if (it == ctypeIndex.constEnd()) {
          it = ctypeIndex.insert(text.toByteArray(), qint32(ctypes_.size()));
          ctypes_.push_back(text.toByteArray());
        }
        e.ctype = *it;
      }
      line.truncate(0);
      line.append(rs.utf8(u"NameE"));
      line.append('/');
      line.append(rs.utf8(u"NameN"));
      lines_ << QString::fromUtf8(line);
      entries_.push_back(e);
    }
    std::vector<qint32>& order = orders_[sortField];
    order.resize(entries_.size());
    std::iota(order.begin(), order.end(), 0);
  }

  quint32 dataVersion() const { return dataVersion_; }
  bool usable() const { return usable_; }
  void refuse() { usable_ = false; }

  // The catalogue rowids of the rows the statement would insert, in its
  // order, and their card-list lines.
  void select(Database& db, const SearchFilter& f, const QString& sortField, std::vector<qint64>& rowids,
              QStringList& lines) {
    const Filter filter = prepare(f);
    const std::vector<qint32>& order = orderFor(db, sortField);
    rowids.reserve(order.size());
    lines.reserve(qsizetype(order.size()));
    for (const qint32 i : order) {
      const Entry& e = entries_[size_t(i)];
      if (!passes(e, filter)) continue;
      rowids.push_back(i + 1);
      lines << lines_[i];
    }
  }

 private:
  struct Entry {
    qint32 setNo = 0;
    quint32 passes = 0;
    qint32 ctype = -1;  // into ctypes_; -1 is Null
  };

  // The search's filters made ready for one test per card.
  struct Filter {
    std::vector<char> setSelected;  // by CardsetNo
    quint32 required = 0;           // clause bits that must hold
    bool ctypeOn = false;
    std::vector<char> ctypeMatches;  // by ctypes_ index
  };

  Filter prepare(const SearchFilter& f) const {
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
      out.ctypeMatches.reserve(ctypes_.size());
      for (const QByteArray& ctype : ctypes_)
        out.ctypeMatches.push_back(jetLike({pattern.constData(), size_t(pattern.size())},
                                           {ctype.constData(), size_t(ctype.size())}));
    }
    return out;
  }

  static bool passes(const Entry& e, const Filter& f) {
    if (size_t(e.setNo) >= f.setSelected.size() || !f.setSelected[size_t(e.setNo)]) return false;
    if ((e.passes & f.required) != f.required) return false;
    if (f.ctypeOn && (e.ctype < 0 || !f.ctypeMatches[size_t(e.ctype)])) return false;
    return true;
  }

  // The catalogue's positions in the order of `sortField`, asked of the
  // engine once per sort order.
  const std::vector<qint32>& orderFor(Database& db, const QString& sortField) {
    auto it = orders_.find(sortField);
    if (it != orders_.end()) return it->second;
    // Each row of the join is known by its card and expansion rowids.
    std::vector<Key> keys;
    keys.reserve(entries_.size());
    for (auto rs = db.openRecordset(QStringLiteral("SELECT tv_CardRow, tv_SetRow FROM temp.tv_CardCatalogue"),
                                    RecordsetType::Snapshot, dbForwardOnly);
         !rs.eof(); rs.moveNext())
      keys.push_back(
          {rs.field(u"tv_CardRow").toLongLong(), rs.field(u"tv_SetRow").toLongLong(), qint32(keys.size())});
    std::sort(keys.begin(), keys.end());
    std::vector<qint32> order;
    order.reserve(entries_.size());
    auto rs = db.openRecordset(
        QStringLiteral("SELECT tbl_CardMst.rowid AS tv_CardRow, tbl_CardSet.rowid AS tv_SetRow") + join_ +
            orderBy(sortField),
        RecordsetType::Snapshot, dbForwardOnly);
    for (; !rs.eof(); rs.moveNext()) {
      const Key key{rs.field(u"tv_CardRow").toLongLong(), rs.field(u"tv_SetRow").toLongLong(), 0};
      const auto found = std::lower_bound(keys.begin(), keys.end(), key);
      if (found == keys.end() || std::get<0>(*found) != std::get<0>(key) ||
          std::get<1>(*found) != std::get<1>(key))
        throw DbError(QStringLiteral("the card tables changed"));
      order.push_back(std::get<2>(*found));
    }
    if (order.size() != entries_.size()) throw DbError(QStringLiteral("the card tables changed"));
    rs.close();
    db.releaseMemory();
    return orders_.emplace(sortField, std::move(order)).first->second;
  }

  using Key = std::tuple<qint64, qint64, qint32>;  // card rowid, expansion rowid, position

  quint32 dataVersion_;
  bool usable_ = false;
  QString join_;
  std::vector<Entry> entries_;
  QStringList lines_;  // the card-list line of each entry, shared with the lists shown
  std::vector<QByteArray> ctypes_;
  std::map<QString, std::vector<qint32>> orders_;
};

const QString kFillStatement = QStringLiteral(
    "INSERT INTO wtbl_CardList ( CardSetEx, NameE, NameN, NumCost, CAttack, CDefence )"
    " SELECT c.CardSetEx, c.NameE, c.NameN, c.NumCost, c.CAttack, c.CDefence"
    " FROM tv_rowids(?1) AS r CROSS JOIN temp.tv_CardCatalogue AS c ON c.rowid = r.id");

}  // namespace

std::optional<QStringList> fillFromCatalogue(Database& db, const SearchFilter& filter,
                                             const QString& sortField, bool always) {
  auto catalogue = std::static_pointer_cast<CardCatalogue>(db.derived());
  const quint32 version = db.cardDataVersion();
  if (catalogue && catalogue->dataVersion() != version) catalogue.reset();
  if (!catalogue) {
    if (!always && filter.selectedSets.size() <= kCatalogueFromExpansions) return std::nullopt;
    try {
      catalogue = std::make_shared<CardCatalogue>(db, sortField, version);
    } catch (const DbError&) {
      catalogue = std::make_shared<CardCatalogue>(version);
    }
    db.derived() = catalogue;
    // Searches read the catalogue from now on, not the file's pages.
    db.releaseMemory();
  }
  if (!catalogue->usable()) return std::nullopt;

  try {
    std::vector<qint64> rowids;
    QStringList lines;
    catalogue->select(db, filter, sortField, rowids, lines);
    db.executeWithRowids(kFillStatement, rowids);
    return lines;
  } catch (const DbError&) {
    // One statement: a failure left wtbl_CardList empty for the statement to fill.
    catalogue->refuse();
    return std::nullopt;
  }
}

}  // namespace tv

#include "deck/deckfile.h"

#include <QHash>
#include <algorithm>
#include <tuple>

#include "carddb/names.h"
#include "deck/tvffile.h"
#include "text/atomicfile.h"

namespace tv {
namespace {

using namespace Qt::StringLiterals;

const QString kSaveFailed = QStringLiteral("デッキを保存できませんでした。\r\n");
const QString kOpenFailed = QStringLiteral("デッキファイルを読み込めませんでした。\r\n");

QList<DeckEntry> readRows(Database& db, const QString& sql) {
  QList<DeckEntry> rows;
  auto rs = db.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext())
    rows.append({rs.text(u"CardSetEx"), rs.text(u"NameE"), rs.field(u"CardMaisu").toLongLong()});
  rs.close();
  return rows;
}

void appendRows(Database& db, const QString& sql, const QList<DeckEntry>& rows) {
  auto rs = db.openRecordset(sql, RecordsetType::Dynaset);
  for (const DeckEntry& e : rows) {
    rs.addNew();
    rs.setField(u"CardSetEx", e.CardSetEx);
    rs.setField(u"NameE", e.NameE);
    rs.setField(u"CardMaisu", e.CardMaisu);
    rs.update();
  }
  rs.close();
}

// Japanese name and card values from the master; the inner join leaves the
// rows of cards it does not hold as they are.
void fillFromMaster(Database& db, const QString& t) {
  const QString sql =
      QStringLiteral("SELECT ") + t + QStringLiteral(".CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, ") +
      t + QStringLiteral(".NameE, ") + t +
      QStringLiteral(".NameN, tbl_CardMst.NumCost, tbl_CardMst.CAttack, tbl_CardMst.CDefence, ") + t +
      QStringLiteral(".NumCost, ") + t + QStringLiteral(".CAttack, ") + t +
      QStringLiteral(".CDefence FROM ") + t +
      QStringLiteral(" INNER JOIN tbl_CardMst ON (tbl_CardMst.CardSetEx = ") + t +
      QStringLiteral(".CardSetEx) AND (tbl_CardMst.NameE = ") + t + QStringLiteral(".NameE)");
  auto rs = db.openRecordset(sql, RecordsetType::Dynaset, dbInconsistent);
  for (; !rs.eof(); rs.moveNext()) {
    rs.edit();
    for (const QLatin1StringView column : {"NameN"_L1, "NumCost"_L1, "CAttack"_L1, "CDefence"_L1})
      rs.setField(QString(t + u'.' + column), rs.field(QString("tbl_CardMst."_L1 + column)));
    rs.update();
  }
  rs.close();
}

// A save writes no double quote and no letter Shift-JIS lacks (tvfCardText):
// a name the master misses is given back the master's name that a save
// writes as it, where exactly one card of the expansion has that name.
void restoreSavedNames(Database& db, const QString& t) {
  const QString missing =
      QStringLiteral(" FROM ") + t +
      QStringLiteral(" WHERE NOT EXISTS (SELECT 1 FROM tbl_CardMst WHERE tbl_CardMst.CardSetEx = ") + t +
      QStringLiteral(".CardSetEx AND tbl_CardMst.NameE = ") + t + QStringLiteral(".NameE)");
  QHash<QString, QString> saved;  // key as saved -> master name; empty when several cards have it
  auto master = db.openRecordset(
      QStringLiteral("SELECT CardSetEx, NameE FROM tbl_CardMst WHERE CardSetEx IN (SELECT CardSetEx") +
          missing + u')',
      RecordsetType::Snapshot, dbForwardOnly);
  for (; !master.eof(); master.moveNext()) {
    const QString name = master.text(u"NameE");
    const QString written = tvfCardText(name);
    if (written == name) continue;
    const QString key = cardKey(master.text(u"CardSetEx"), written);
    saved.insert(key, saved.contains(key) ? QString() : name);
  }
  master.close();
  if (saved.isEmpty()) return;
  // The missing rows streamed, since a file may bring many; few are found.
  QList<std::pair<qint64, QString>> found;
  auto rows = db.openRecordset(QStringLiteral("SELECT ") + t + QStringLiteral(".rowid AS RowNo, ") + t +
                                   QStringLiteral(".CardSetEx, ") + t + QStringLiteral(".NameE") + missing,
                               RecordsetType::Snapshot, dbForwardOnly);
  for (; !rows.eof(); rows.moveNext()) {
    const QString name = saved.value(cardKey(rows.text(u"CardSetEx"), rows.text(u"NameE")));
    if (!name.isEmpty()) found.append({rows.field(u"RowNo").toLongLong(), name});
  }
  rows.close();
  for (const auto& [row, name] : found) {
    auto rs = db.openRecordset(QStringLiteral("SELECT NameE FROM ") + t + QStringLiteral(" WHERE rowid = ") +
                               QString::number(row));
    rs.edit();
    rs.setField(u"NameE", name);
    rs.update();
    rs.close();
  }
}

}  // namespace

Deck readDeckTables(Database& db) {
  Deck deck;
  deck.main =
      readRows(db, QStringLiteral("SELECT wtbl_DecList.CardSetEx, wtbl_DecList.NameE, wtbl_DecList.CardMaisu"
                                  " FROM wtbl_DecList"));
  deck.side = readRows(db, QStringLiteral("SELECT wtbl_DecSideList.CardSetEx, wtbl_DecSideList.NameE, "
                                          "wtbl_DecSideList.CardMaisu FROM wtbl_DecSideList"));
  return deck;
}

Deck replaceDeckTables(Database& db, const Deck& deck) {
  Transaction transaction(db);
  db.execute(QStringLiteral("DELETE FROM wtbl_DecList"), dbFailOnError);
  db.execute(QStringLiteral("DELETE FROM wtbl_DecSideList"), dbFailOnError);
  appendRows(db,
             QStringLiteral("SELECT wtbl_DecList.CardSetEx, wtbl_DecList.NameE,wtbl_DecList.CardMaisu FROM "
                            "wtbl_DecList"),
             deck.main);
  appendRows(db,
             QStringLiteral("SELECT wtbl_DecSideList.CardSetEx, wtbl_DecSideList.NameE, "
                            "wtbl_DecSideList.CardMaisu FROM wtbl_DecSideList"),
             deck.side);
  restoreSavedNames(db, kMainDeckTable);
  restoreSavedNames(db, kSideDeckTable);
  fillFromMaster(db, kMainDeckTable);
  fillFromMaster(db, kSideDeckTable);
  Deck now = readDeckTables(db);
  transaction.commit();
  return now;
}

DeckFileOutcome SaveDeckFile(Database& db, const QString& path, const QString& title,
                             const QString& comment) {
  DeckFileOutcome out;
  try {
    out.deck = readDeckTables(db);
  } catch (const DbError& e) {
    out.error = kSaveFailed + e.reason();
    return out;
  }
  out.deck.title = title;
  out.deck.comment = comment;
  const TvfEncoded encoded = encodeTvf(out.deck);
  if (!encoded.bytes) {
    out.error =
        kSaveFailed + QStringLiteral("「%1」はデッキファイルに書けない文字です。").arg(encoded.badChar);
    return out;
  }
  // A file that would not open again is not written (a count past the limit,
  // records that would merge past it, a file past the size opening takes).
  if (encoded.bytes->size() > kMaxDeckFileSize) {
    out.error = kSaveFailed + QStringLiteral("デッキファイルとしては大きすぎます。");
    return out;
  }
  if (const TvfDecoded back = decodeTvf(*encoded.bytes); !back.deck) {
    out.error = kSaveFailed + back.error;
    return out;
  }
  QString reason;
  if (!writeFileAtomically(path, *encoded.bytes, &reason)) {
    out.error = kSaveFailed + reason;
    return out;
  }
  out.ok = true;
  return out;
}

DeckFileOutcome ReadDeckFile(const QString& path) {
  DeckFileOutcome out;
  QString reason;
  const std::optional<QByteArray> bytes = readFileAtMost(path, kMaxDeckFileSize, &reason);
  if (!bytes) {
    out.error = QStringLiteral("デッキファイルを開けませんでした。\r\n") + reason;
    return out;
  }
  if (bytes->size() > kMaxDeckFileSize) {
    out.error = kOpenFailed + QStringLiteral("デッキファイルとしては大きすぎます。");
    return out;
  }
  TvfDecoded decoded = decodeTvf(*bytes);
  if (!decoded.deck) {
    out.error = kOpenFailed + decoded.error;
    return out;
  }
  out.deck = std::move(*decoded.deck);
  out.ok = true;
  return out;
}

DeckFileOutcome OpenDeckFile(Database& db, const QString& path) {
  DeckFileOutcome out = ReadDeckFile(path);
  if (!out.ok) return out;
  try {
    Deck rows = replaceDeckTables(db, out.deck);
    rows.title = out.deck.title;
    rows.comment = out.deck.comment;
    out.deck = std::move(rows);
  } catch (const DbError& e) {
    return {false, kOpenFailed + e.reason(), {}};
  }
  return out;
}

bool isDeckFile(const QString& path) {
  if (path.endsWith(QStringLiteral(".tvf"), Qt::CaseInsensitive)) return true;
  const std::optional<QByteArray> bytes = readFileAtMost(path, kMaxDeckFileSize, nullptr);
  return !bytes || (bytes->startsWith('"') && decodeTvf(*bytes).deck.has_value());
}

Deck DeckChangeTracker::sorted(Deck deck) {
  const auto order = [](const DeckEntry& a, const DeckEntry& b) {
    return std::tie(a.CardSetEx, a.NameE, a.CardMaisu) < std::tie(b.CardSetEx, b.NameE, b.CardMaisu);
  };
  std::sort(deck.main.begin(), deck.main.end(), order);
  std::sort(deck.side.begin(), deck.side.end(), order);
  return deck;
}

}  // namespace tv

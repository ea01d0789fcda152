#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <QFile>

#include "carddb/import.h"
#include "carddb/schema.h"
#include "text/sqlliteral.h"

namespace tvtest {

QStringList queryRows(tv::Database& db, const QString& sql) {
  QStringList rows;
  for (auto rs = db.openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly); !rs.eof();
       rs.moveNext()) {
    QStringList columns;
    for (int i = 0; i < rs.fieldCount(); ++i) {
      const QVariant v = rs.field(rs.fieldName(i));
      columns << (v.isValid() ? v.toString() : QStringLiteral("-"));
    }
    rows << columns.join(u'|');
  }
  return rows;
}

QString cardValues(tv::Database& db, const QString& set, const QString& nameE, const QStringList& columns) {
  QStringList named;  // an expression's own name may not read back as it stands
  for (const QString& c : columns) named << QStringLiteral("%1 AS c%2").arg(c).arg(named.size());
  const QStringList rows =
      queryRows(db, QStringLiteral("SELECT %1 FROM tbl_CardMst WHERE CardSetEx = %2 AND NameE = %3")
                        .arg(named.join(u','), tv::sqlLiteral(set), tv::sqlLiteral(nameE)));
  return rows.isEmpty() ? QStringLiteral("(none)") : rows.first();
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  file.write(bytes);
}

CardDbFixture::CardDbFixture() {
  path_ = dir_.filePath(QStringLiteral("cards.db"));
  ctx.gCardDb = tv::createCardDatabase(path_);
  ctx.gDatabasePath = path_;
  tv::keepWorkingTablesInMemory(*ctx.gCardDb);  // as the program's own connection
}

void CardDbFixture::addSet(int no, const QString& name, const QString& code) {
  tv::insertExpansion(db(), no, name, code);
}

void CardDbFixture::addCard(const Card& c) {
  tv::insertCard(db(), {c.set, c.nameE, c.nameN, c.color, c.cost, c.numCost, c.rare, c.type, c.text, c.ctype,
                        c.attack, c.defence});
}

void CardDbFixture::addToken(const QString& nameN, const QString& color, const QVariant& text,
                             const QVariant& attack, const QVariant& defence) {
  tv::insertToken(db(), {nameN, color, text, attack, defence});
}

void CardDbFixture::addDeckRow(const QString& table, const QString& set, const QString& nameE,
                               const QVariant& nameN, int copies, const QVariant& numCost,
                               const QVariant& attack, const QVariant& defence) {
  tv::insertRow(db(), table, tv::kDeckColumns, {set, nameE, nameN, copies, numCost, attack, defence});
}

qlonglong CardDbFixture::scalar(const QString& sql) {
  auto rs = db().openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  if (rs.eof()) return -1;
  return rs.field(rs.fieldName(0)).toLongLong();
}

std::unique_ptr<tv::Database> openFactsCardDb() {
  static QTemporaryDir dir;
  static const QString path = [] {
    tvtools::ImportOptions o;
    o.mtgjson = QStringLiteral(TV_SOURCE_DIR "/tests/tools/mtgjson-facts.json");
    o.output = dir.filePath(QStringLiteral("cards.db"));
    tvtools::importCardDatabase(o);
    return o.output;
  }();
  auto db = tv::Database::open(path, tv::kCardDbConnect);
  tv::keepWorkingTablesInMemory(*db);
  return db;
}

void addStandardCards(CardDbFixture& f) {
  f.addSet(0, QStringLiteral("第8版"), QStringLiteral("8E"));
  f.addSet(1, QStringLiteral("オデッセイ"), QStringLiteral("OD"));
  f.addSet(2, QStringLiteral("ウルザズ・サーガ"), QStringLiteral("US"));
  const QVariant null;
  const QList<Card> cards = {
      {"8E", "Forest", "森", "N", "BL", null, null, "C", null, null, null, null},
      {"8E", "Llanowar Elves", "ラノワールのエルフ", "G", "C", 1, "G", "C", "(Ｔ)：(緑)を加える。",
       "エルフ・ドルイド", 1, 1},
      {"8E", "Serra Angel", "セラの天使", "W", "C", 5, "3WW", "R", "飛行、警戒", "天使", 4, 4},
      {"8E", "Shock", "ショック", "R", "I", 1, "R", "C", "2点のダメージを与える。", null, null, null},
      {"8E", "Ornithopter", "羽ばたき飛行機械", "N", "AC", 0, "0", "U", "飛行", "飛行機械", 0, 2},
      {"8E", "Serra's Embrace", "セラの抱擁", "W", "EC", 4, "2WW", "U", "エンチャント（クリーチャー）", null,
       null, null},
      {"8E", "Urza's Mine", "ウルザの鉱山", "N", "L", null, null, "C", "(Ｔ)：(１)を加える。", null, null,
       null},
      {"OD", "Forest", "森", "N", "BL", null, null, "C", null, null, null, null},
      {"OD", "Mystic Enforcer", "神秘の執行者", "M", "C", 4, "2GW", "R", "", "人間・ノーマッド・ミスティック",
       3, 3},
      {"OD", "Divine Sacrament", "神聖なる秘蹟", "W", "E", 3, "1WW", "R", "スレッショルド", null, null, null},
      {"OD", "Shadowmage Infiltrator", "影魔道士の浸透者", "M", "C", 3, "1UB", "R", "畏怖", null, 1, 3},
      {"OD", "Mirari", "ミラーリ", "N", "LA", 5, "5", "R", "", null, null, null},
      {"US", "Serra Avatar", "セラのアバター", "W", "C", 7, "4WWW", "R", "*", "アバター", "*", "*"},
      {"US", "Dark Ritual", "暗黒の儀式", "B", "I", 1, "B", "X", "(黒)(黒)(黒)を加える。", null, null, null},
      {"US", "Counterspell", "対抗呪文", "U", "I", 2, "UU", "C", "打ち消す。", null, null, null},
      {"US", "Gaea's Cradle", "ガイアの揺籃の地", "N", "LL", null, null, "R", "", null, null, null},
  };
  for (const Card& c : cards) f.addCard(c);
}

}  // namespace tvtest

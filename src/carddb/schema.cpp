#include "carddb/schema.h"

#include <sqlite3.h>

#include <QStringList>

#include "text/sqlliteral.h"

namespace tv {

QStringList cardDatabaseSchema() {
  // Text compares and sorts without regard to ASCII case, as card databases
  // always have. NUMERIC keeps "3" as the integer 3 and "*" as text.
  // CardsetNo is the rowid and the table has no other index (the builder
  // checks the codes are unique), so every query reads the expansions in
  // number order; the
  // working tables are plain rowid tables without indexes, so a read without
  // ORDER BY gives insertion order.
  return {
      QStringLiteral("CREATE TABLE tbl_CardSet ("
                     " CardsetNo INTEGER PRIMARY KEY,"
                     " Cardset TEXT COLLATE NOCASE,"
                     " CardsetEx TEXT COLLATE NOCASE NOT NULL)"),
      QStringLiteral("CREATE TABLE tbl_CardMst ("
                     " CardSetEx TEXT COLLATE NOCASE NOT NULL,"
                     " NameE TEXT COLLATE NOCASE NOT NULL,"
                     " NameN TEXT COLLATE NOCASE,"
                     " Color TEXT COLLATE NOCASE,"
                     " Cost TEXT COLLATE NOCASE,"
                     " NumCost INTEGER,"
                     " Rare TEXT COLLATE NOCASE,"
                     " CardType TEXT COLLATE NOCASE,"
                     " TextN TEXT COLLATE NOCASE,"
                     " CType TEXT COLLATE NOCASE,"
                     " CAttack NUMERIC,"
                     " CDefence NUMERIC,"
                     " UNIQUE (CardSetEx, NameE))"),
      // Covers the search's columns and filters, so a search reads no card rows.
      QStringLiteral("CREATE INDEX tbl_CardMst_List ON tbl_CardMst"
                     " (CardSetEx, NameE, NameN, NumCost, CAttack, CDefence, Color, CardType, CType)"),
      // The creature-type list at start reads this instead of every card.
      QStringLiteral("CREATE INDEX tbl_CardMst_CType ON tbl_CardMst (CType)"),
      QStringLiteral("CREATE TABLE tbl_TokenMst ("
                     " NameN TEXT COLLATE NOCASE,"
                     " Color TEXT COLLATE NOCASE,"
                     " TextN TEXT COLLATE NOCASE,"
                     " CAttack NUMERIC,"
                     " CDefence NUMERIC)"),
      QStringLiteral("CREATE TABLE tbl_Version (DbVersion INTEGER)"),
      QStringLiteral("CREATE TABLE wtbl_CardList ("
                     " CardSetEx TEXT COLLATE NOCASE,"
                     " NameE TEXT COLLATE NOCASE,"
                     " NameN TEXT COLLATE NOCASE,"
                     " NumCost INTEGER,"
                     " CAttack NUMERIC,"
                     " CDefence NUMERIC)"),
      QStringLiteral("CREATE TABLE wtbl_DecList ("
                     " CardSetEx TEXT COLLATE NOCASE,"
                     " NameE TEXT COLLATE NOCASE,"
                     " NameN TEXT COLLATE NOCASE,"
                     " CardMaisu INTEGER,"
                     " NumCost INTEGER,"
                     " CAttack NUMERIC,"
                     " CDefence NUMERIC)"),
      QStringLiteral("CREATE TABLE wtbl_DecSideList ("
                     " CardSetEx TEXT COLLATE NOCASE,"
                     " NameE TEXT COLLATE NOCASE,"
                     " NameN TEXT COLLATE NOCASE,"
                     " CardMaisu INTEGER,"
                     " NumCost INTEGER,"
                     " CAttack NUMERIC,"
                     " CDefence NUMERIC)"),
  };
}

QStringList cardFactsSchema() {
  // Per English name (the key of every printing in tbl_CardMst); CardNo keeps
  // the many legality rows small. Colours are letters of WUBRG in that order,
  // empty for colourless.
  return {
      QStringLiteral("CREATE TABLE tbl_CardOracle ("
                     " CardNo INTEGER PRIMARY KEY,"
                     " NameE TEXT COLLATE NOCASE NOT NULL UNIQUE,"
                     " Colors TEXT COLLATE NOCASE NOT NULL,"
                     " ColorIdentity TEXT COLLATE NOCASE NOT NULL,"
                     " ManaValue NUMERIC,"
                     " TypeLineE TEXT COLLATE NOCASE,"
                     " TypeLineN TEXT COLLATE NOCASE,"
                     " TextE TEXT COLLATE NOCASE,"
                     " Power NUMERIC,"
                     " Toughness NUMERIC,"
                     " Loyalty NUMERIC,"
                     " Commander INTEGER NOT NULL,"
                     " Partner INTEGER NOT NULL,"
                     " PartnerWith TEXT COLLATE NOCASE,"
                     " AnyNumber INTEGER NOT NULL,"
                     " CopyLimit INTEGER)"),
      QStringLiteral("CREATE TABLE tbl_Format ("
                     " FormatNo INTEGER PRIMARY KEY,"
                     " Format TEXT COLLATE NOCASE NOT NULL UNIQUE)"),
      // A format a name has no row for is one it is not legal in.
      QStringLiteral("CREATE TABLE tbl_CardLegality ("
                     " CardNo INTEGER NOT NULL,"
                     " FormatNo INTEGER NOT NULL,"
                     " Legality TEXT COLLATE NOCASE NOT NULL,"
                     " PRIMARY KEY (CardNo, FormatNo)) WITHOUT ROWID"),
      QStringLiteral("CREATE TABLE tbl_CreatureType ("
                     " NameE TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,"
                     " NameN TEXT NOT NULL,"
                     " Reading TEXT,"
                     " SortNo INTEGER NOT NULL)"),
      QStringLiteral("CREATE TABLE tbl_CardSetInfo ("
                     " CardsetEx TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,"
                     " SetCode TEXT COLLATE NOCASE,"
                     " NameE TEXT COLLATE NOCASE,"
                     " ReleaseDate TEXT,"
                     " SetType TEXT COLLATE NOCASE)"),
  };
}

void createCardFactsTables(Database& db) {
  for (const QString& statement : cardFactsSchema()) db.execute(statement);
}

void keepWorkingTablesInMemory(Database& db) {
  // The program's own definitions: a file's may carry defaults, checks or
  // generated columns that make every row it writes gigabytes long.
  static const QString kCreate = QStringLiteral("CREATE TABLE ");
  db.execute(QStringLiteral("PRAGMA temp_store = MEMORY"));
  db.execute(QStringLiteral("PRAGMA temp.page_size = 4096"));
  const QStringList working = workingTables();
  for (const QString& statement : cardDatabaseSchema()) {
    const QString definition = statement.mid(kCreate.size());
    const QString table = definition.section(u' ', 0, 0);
    if (!statement.startsWith(kCreate) || !working.contains(table)) continue;
    db.execute(QStringLiteral("CREATE TEMP TABLE ") + definition);
    // Its columns must be the file's too: a file without them is no card database.
    const QString columnsOf = QStringLiteral("SELECT name FROM pragma_table_xinfo(%1, '%2')");
    QStringList fileColumns;
    for (auto rs = db.openRecordset(columnsOf.arg(sqlLiteral(table), QStringLiteral("main")),
                                    RecordsetType::Snapshot, dbForwardOnly);
         !rs.eof(); rs.moveNext())
      fileColumns << rs.text(u"name").toLower();
    for (auto rs = db.openRecordset(columnsOf.arg(sqlLiteral(table), QStringLiteral("temp")),
                                    RecordsetType::Snapshot, dbForwardOnly);
         !rs.eof(); rs.moveNext())
      if (!fileColumns.contains(rs.text(u"name").toLower()))
        throw DbError(QStringLiteral("no column %1 in %2").arg(rs.text(u"name"), table));
  }
}

namespace {

// Null, a bare number, or a string literal.
QString sqlValue(const QVariant& v) {
  if (!v.isValid()) return QStringLiteral("NULL");
  switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
      return v.toString();
    default:
      return sqlLiteral(v.toString());
  }
}

}  // namespace

void insertRow(Database& db, const QString& table, const QStringList& columns,
               const QList<QVariant>& values) {
  QStringList literals;
  for (const QVariant& v : values) literals << sqlValue(v);
  db.execute(QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") +
             columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
             literals.join(QStringLiteral(", ")) + u')');
}

RowInserter::RowInserter(Database& db, const QString& table, const QStringList& columns)
    : db_(db), columns_(columns.size()) {
  QStringList marks;
  for (qsizetype i = 0; i < columns_; ++i) marks << QStringLiteral("?");
  sql_ = QStringLiteral("INSERT INTO ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
         QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) + u')';
  const QByteArray utf8 = sql_.toUtf8();
  if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &statement_, nullptr) !=
          SQLITE_OK ||
      !statement_) {
    const QString reason = QString::fromUtf8(sqlite3_errmsg(db.handle()));
    sqlite3_finalize(statement_);
    throw DbError::fromEngine(reason, sql_);
  }
}

RowInserter::~RowInserter() { sqlite3_finalize(statement_); }

void RowInserter::add(const QList<QVariant>& values) {
  sqlite3_reset(statement_);
  for (int i = 0; i < int(columns_); ++i) {
    const QVariant v = i < values.size() ? values[i] : QVariant();
    int rc;
    switch (v.isValid() ? v.typeId() : QMetaType::UnknownType) {
      case QMetaType::UnknownType:
        rc = sqlite3_bind_null(statement_, i + 1);
        break;
      case QMetaType::Bool:
      case QMetaType::Int:
      case QMetaType::LongLong:
        rc = sqlite3_bind_int64(statement_, i + 1, v.toLongLong());
        break;
      case QMetaType::Double:
        rc = sqlite3_bind_double(statement_, i + 1, v.toDouble());
        break;
      default: {
        const QByteArray text = v.toString().toUtf8();
        rc = sqlite3_bind_text64(statement_, i + 1, text.constData(), sqlite3_uint64(text.size()),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
      }
    }
    if (rc != SQLITE_OK) throw DbError::fromEngine(QString::fromUtf8(sqlite3_errmsg(db_.handle())), sql_);
  }
  if (sqlite3_step(statement_) != SQLITE_DONE)
    throw DbError::fromEngine(QString::fromUtf8(sqlite3_errmsg(db_.handle())), sql_);
}

void insertExpansion(Database& db, int number, const QString& name, const QString& code) {
  insertRow(db, kCardSetTable,
            {QStringLiteral("CardsetNo"), QStringLiteral("Cardset"), QStringLiteral("CardsetEx")},
            {number, name, code});
}

CardInserter::CardInserter(Database& db)
    : rows_(db, kCardMstTable,
            {QStringLiteral("CardSetEx"), QStringLiteral("NameE"), QStringLiteral("NameN"),
             QStringLiteral("Color"), QStringLiteral("Cost"), QStringLiteral("NumCost"),
             QStringLiteral("Rare"), QStringLiteral("CardType"), QStringLiteral("TextN"),
             QStringLiteral("CType"), QStringLiteral("CAttack"), QStringLiteral("CDefence")}) {}

void CardInserter::add(const CardRecord& c) {
  rows_.add({c.CardSetEx, c.NameE, c.NameN, c.Color, c.Cost, c.NumCost, c.Rare, c.CardType, c.TextN, c.CType,
             c.CAttack, c.CDefence});
}

void insertCard(Database& db, const CardRecord& c) { CardInserter(db).add(c); }

void insertToken(Database& db, const TokenRecord& t) {
  static const QStringList columns = {QStringLiteral("NameN"), QStringLiteral("Color"),
                                      QStringLiteral("TextN"), QStringLiteral("CAttack"),
                                      QStringLiteral("CDefence")};
  insertRow(db, kTokenMstTable, columns, {t.NameN, t.Color, t.TextN, t.CAttack, t.CDefence});
}

std::unique_ptr<Database> createCardDatabase(const QString& path, int dataVersion, const QString& connect) {
  auto db = Database::create(path, connect);
  db->execute(QStringLiteral("BEGIN"));
  for (const QString& statement : cardDatabaseSchema()) db->execute(statement);
  insertRow(*db, kVersionTable, {QStringLiteral("DbVersion")}, {dataVersion});
  db->execute(QStringLiteral("COMMIT"));
  return db;
}

}  // namespace tv

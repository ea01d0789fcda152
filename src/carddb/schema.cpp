#include "carddb/schema.h"

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

void insertExpansion(Database& db, int number, const QString& name, const QString& code) {
  insertRow(db, kCardSetTable,
            {QStringLiteral("CardsetNo"), QStringLiteral("Cardset"), QStringLiteral("CardsetEx")},
            {number, name, code});
}

void insertCard(Database& db, const CardRecord& c) {
  static const QStringList columns = {
      QStringLiteral("CardSetEx"), QStringLiteral("NameE"),    QStringLiteral("NameN"),
      QStringLiteral("Color"),     QStringLiteral("Cost"),     QStringLiteral("NumCost"),
      QStringLiteral("Rare"),      QStringLiteral("CardType"), QStringLiteral("TextN"),
      QStringLiteral("CType"),     QStringLiteral("CAttack"),  QStringLiteral("CDefence")};
  insertRow(db, kCardMstTable, columns,
            {c.CardSetEx, c.NameE, c.NameN, c.Color, c.Cost, c.NumCost, c.Rare, c.CardType, c.TextN, c.CType,
             c.CAttack, c.CDefence});
}

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

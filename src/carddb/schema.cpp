#include "carddb/schema.h"

#include <QStringList>

namespace tv {

QStringList cardDatabaseSchema() {
  // Text compares and sorts without regard to ASCII case, as card databases
  // always have. NUMERIC keeps "3" as the integer 3 and "*" as text.
  // CardsetNo is the rowid, so the expansions read back in number order; the
  // working tables are plain rowid tables without indexes, so a read without
  // ORDER BY gives insertion order.
  return {
      QStringLiteral("CREATE TABLE tbl_CardSet ("
                     " CardsetNo INTEGER PRIMARY KEY,"
                     " Cardset TEXT COLLATE NOCASE,"
                     " CardsetEx TEXT COLLATE NOCASE NOT NULL UNIQUE)"),
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

std::unique_ptr<Database> createCardDatabase(const QString& path, int dataVersion, const QString& connect) {
  auto db = Database::create(path, connect);
  db->execute(QStringLiteral("BEGIN"));
  for (const QString& statement : cardDatabaseSchema()) db->execute(statement);
  db->execute(QStringLiteral("INSERT INTO tbl_Version (DbVersion) VALUES (%1)").arg(dataVersion));
  db->execute(QStringLiteral("COMMIT"));
  return db;
}

}  // namespace tv

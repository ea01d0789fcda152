// The card database's tables, in code once: the builder and every test
// fixture make their databases through this.
#pragma once

#include <QString>
#include <memory>

#include "carddb/database.h"
#include "carddb/names.h"

struct sqlite3_stmt;

namespace tv {

// The program's connect string for card databases.
inline const QString kCardDbConnect = QStringLiteral(";PWD=QMRTLWZOP");

// Lowest data version the program accepts, and the one it writes.
constexpr int kMinDataVersion = 5;

// Creates a new card database file with every table, empty working tables and
// one tbl_Version row, and returns it open. Fails if the file exists.
std::unique_ptr<Database> createCardDatabase(const QString& path, int dataVersion = kMinDataVersion,
                                             const QString& connect = kCardDbConnect);

// The statements createCardDatabase runs, for documentation and tests.
QStringList cardDatabaseSchema();

// The tables of card facts that `import` adds (names.h, cardFactsTables()).
QStringList cardFactsSchema();
void createCardFactsTables(Database& db);

// Gives this connection its own working tables: in-memory temporary tables of
// the program's own definitions, which the program's statements then reach
// under the same names. The program thus never writes the card database file
// (it may be read-only or shared), and a search need not encrypt its result.
// Fails unless the file's working tables have the program's columns.
void keepWorkingTablesInMemory(Database& db);

// One tbl_CardMst row; an invalid QVariant is Null.
struct CardRecord {
  QString CardSetEx, NameE;
  QVariant NameN, Color, Cost, NumCost, Rare, CardType, TextN, CType, CAttack, CDefence;
};

// One tbl_TokenMst row.
struct TokenRecord {
  QVariant NameN, Color, TextN, CAttack, CDefence;
};

// INSERT of one row; `values` in the order of `columns`.
void insertRow(Database& db, const QString& table, const QStringList& columns, const QList<QVariant>& values);

// Rows into one table through one prepared statement, for tables of many
// rows: add() each row, its values in the order of `columns`.
class RowInserter {
 public:
  RowInserter(Database& db, const QString& table, const QStringList& columns);
  ~RowInserter();
  RowInserter(const RowInserter&) = delete;
  RowInserter& operator=(const RowInserter&) = delete;
  void add(const QList<QVariant>& values);

 private:
  Database& db_;
  QString sql_;
  qsizetype columns_;
  sqlite3_stmt* statement_ = nullptr;
};

// The one way rows go into the read-only tables, for the builder and the fixtures alike.
void insertExpansion(Database& db, int number, const QString& name, const QString& code);
void insertCard(Database& db, const CardRecord& card);
// Many cards through one prepared statement.
class CardInserter {
 public:
  explicit CardInserter(Database& db);
  void add(const CardRecord& card);

 private:
  RowInserter rows_;
};
void insertToken(Database& db, const TokenRecord& token);

}  // namespace tv

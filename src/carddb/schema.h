// The card database's tables, in code once: the builder and every test
// fixture make their databases through this.
#pragma once

#include <QString>
#include <memory>

#include "carddb/database.h"

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

// The working tables the program fills and empties.
QStringList workingTables();

// Gives this connection its own working tables: in-memory temporary tables of
// the file's own definitions, which the program's statements then reach under
// the same names. The program thus never writes the card database file (it
// may be read-only or shared), and a search need not encrypt its result.
void keepWorkingTablesInMemory(Database& db);

}  // namespace tv

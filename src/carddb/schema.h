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

}  // namespace tv

// Where an installed program keeps its files: the user's TV.ini and card
// database (the XDG folders), and the card data installed with the program.
#pragma once

#include <QString>

namespace tv {

// $XDG_CONFIG_HOME/talviks/TV.ini: read where the program's folder has no TV.ini.
QString userIniPath();

// $XDG_DATA_HOME/talviks: where the user's TV.ini finds its card database.
QString userDataFolder();

// The card database that the user's TV.ini names, `value` being its LocalDataFile.
QString userDatabasePath(const QString& value);

// The card data installed with the program (MTGJSON, WHISPER, the CSV
// files): found from the program's folder, else in the system's data
// folders; empty when there is none.
QString installedCardDataFolder(const QString& appPath);

// Writes the user's TV.ini, naming `databaseName` in userDataFolder(). False
// with the reason in `error` when it cannot be written.
bool writeUserIni(const QString& databaseName, QString* error);

}  // namespace tv

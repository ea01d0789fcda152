#include "core/userfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/settings.h"
#include "text/atomicfile.h"

namespace tv {
namespace {

const QString kFolder = QStringLiteral("talviks");

// The installed data's place relative to the program, as the build installs it.
#ifndef TV_DATA_FROM_BIN
#define TV_DATA_FROM_BIN "../share/talviks/data"
#endif

bool holdsCardData(const QString& folder) {
  return QFileInfo(folder + QStringLiteral("/AllPrintings-subset.json.xz")).isFile();
}

}  // namespace

QString userIniPath() { return userConfigFolder() + QStringLiteral("/TV.ini"); }

QString userDataFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/' + kFolder;
}

QString userDatabasePath(const QString& value) { return QDir(userDataFolder()).filePath(value); }

QString installedCardDataFolder(const QString& appPath) {
  const QString beside = QDir::cleanPath(appPath + QStringLiteral("/" TV_DATA_FROM_BIN));
  if (holdsCardData(beside)) return beside;
  const QString system =
      QStandardPaths::locate(QStandardPaths::GenericDataLocation, kFolder + QStringLiteral("/data"),
                             QStandardPaths::LocateDirectory);
  return !system.isEmpty() && holdsCardData(system) ? system : QString();
}

bool writeUserIni(const QString& databaseName, QString* error) {
  const QString path = userIniPath();
  if (!QDir().mkpath(QFileInfo(path).path())) {
    *error = QStringLiteral("%1 を作成できません。").arg(QDir::toNativeSeparators(QFileInfo(path).path()));
    return false;
  }
  return writeFileAtomically(path, "[File]\r\nLocalDataFile=" + databaseName.toUtf8() + "\r\n", error);
}

}  // namespace tv

#include "core/settings.h"

#include <QDir>
#include <QStandardPaths>

namespace tv {

QString userConfigFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/talviks");
}

std::unique_ptr<QSettings> userSettings() {
  return std::make_unique<QSettings>(userConfigFolder() + QStringLiteral("/settings.ini"),
                                     QSettings::IniFormat);
}

}  // namespace tv

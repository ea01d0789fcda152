#include "app/instancelock.h"

#include <QDir>
#include <QStandardPaths>

namespace tv {

QString InstanceLock::defaultPath() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  return dir + QStringLiteral("/talviks.lock");
}

InstanceLock::InstanceLock(const QString& path) : lock_(std::make_unique<QLockFile>(path)) {
  // A lock whose process is gone is removed by tryLock itself; no age limit,
  // since a live copy may run for days.
  lock_->setStaleLockTime(0);
  acquired_ = lock_->tryLock(0);
}

}  // namespace tv

#include "app/instancelock.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tv {

QString InstanceLock::defaultPath() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  return dir + QStringLiteral("/talviks.lock");
}

InstanceLock::InstanceLock(const QString& path) {
  // Something else where the lock belongs (a folder, say) is left alone: the
  // lock goes inside it, the same place for every copy of the program.
  const QString where = QFileInfo(path).isDir() ? path + QStringLiteral("/talviks.lock") : path;
  lock_ = std::make_unique<QLockFile>(where);
  // A lock whose process is gone is removed by tryLock itself; no age limit,
  // since a live copy may run for days.
  lock_->setStaleLockTime(0);
  acquired_ = lock_->tryLock(0);
  // An empty or garbled lock names no process, so no copy of ours holds it.
  qint64 pid = 0;
  QString host, app;
  if (!acquired_ && lock_->error() == QLockFile::LockFailedError && !lock_->getLockInfo(&pid, &host, &app) &&
      lock_->removeStaleLockFile())
    acquired_ = lock_->tryLock(0);
}

}  // namespace tv

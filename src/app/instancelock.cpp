#include "app/instancelock.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace tv {

namespace {

QString runtimeFolder() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return dir.isEmpty() ? QDir::tempPath() : dir;
}

// A path is one line; anything longer than a path can be is no path.
constexpr qint64 kMaxMessage = 64 * 1024;
constexpr int kClientPatience = 5000;  // ms a connection may take to say its file
const QByteArray kTaken = QByteArrayLiteral("ok\n");

}  // namespace

QString InstanceLock::defaultPath() { return runtimeFolder() + QStringLiteral("/talviks.lock"); }

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

QString InstanceChannel::defaultPath() { return runtimeFolder() + QStringLiteral("/talviks.socket"); }

bool InstanceChannel::listen(const QString& path) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  // Only the lock's holder listens, so a socket file here is a crashed copy's.
  QLocalServer::removeServer(path);
  if (!server_.listen(path)) return false;
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QTimer::singleShot(kClientPatience, socket, [socket] { socket->abort(); });
      connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        const qsizetype end = socket->peek(kMaxMessage).indexOf('\n');
        if (end < 0) {
          if (socket->bytesAvailable() >= kMaxMessage) socket->abort();
          return;
        }
        const QString file = QString::fromUtf8(socket->read(end + 1).chopped(1));
        socket->write(kTaken);
        socket->disconnectFromServer();
        if (!file.isEmpty()) Q_EMIT fileReceived(file);
      });
    }
  });
  return true;
}

bool InstanceChannel::handOver(const QString& file, const QString& path, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(file.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray answer;
  while (answer.size() < kTaken.size() && socket.waitForReadyRead(timeoutMs)) answer += socket.readAll();
  return answer.startsWith(kTaken);
}

}  // namespace tv

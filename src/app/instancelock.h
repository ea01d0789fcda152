#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace tv {

// One running copy per user. The lock names its owner's process, so a copy
// that crashed does not keep the next one out.
class InstanceLock {
 public:
  // `path` defaults to a file in the user's runtime folder.
  explicit InstanceLock(const QString& path = defaultPath());
  bool acquired() const { return acquired_; }
  static QString defaultPath();

 private:
  std::unique_ptr<QLockFile> lock_;
  bool acquired_ = false;
};

// How a second start hands its file to the running copy: a local socket in
// the user's runtime folder, one file's path a connection, answered once the
// running copy has it.
class InstanceChannel : public QObject {
  Q_OBJECT
 public:
  static QString defaultPath();

  // The running copy (the lock's holder) opens the door; a socket file left
  // by a copy that crashed is replaced.
  bool listen(const QString& path = defaultPath());

  // A second start: true once the running copy has taken `file`.
  static bool handOver(const QString& file, const QString& path = defaultPath(), int timeoutMs = 5000);

 Q_SIGNALS:
  void fileReceived(const QString& path);

 private:
  QLocalServer server_;
};

}  // namespace tv

#pragma once

#include <QLockFile>
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

}  // namespace tv

// Writes and folders that fail without root: a file-size limit makes write()
// stop with EFBIG, as a full disk stops it with ENOSPC; an ordinary user meets
// the permissions that root passes.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tvtest {

// While it lives, no file grows beyond `bytes`; SIGXFSZ is ignored, so the
// write fails instead of the process ending.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  sighandler_t oldHandler_ = SIG_DFL;
};

// Under root, runs as "nobody" while it lives (effective ids only, so they
// come back); for anyone else it changes nothing.
class Unprivileged {
 public:
  Unprivileged() {
    if (geteuid() != 0) return;
    root_ = true;
    gid_ = getegid();
    EXPECT_EQ(setegid(65534), 0);
    EXPECT_EQ(seteuid(65534), 0);
  }
  ~Unprivileged() {
    if (!root_) return;
    EXPECT_EQ(seteuid(0), 0);
    EXPECT_EQ(setegid(gid_), 0);
  }
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

 private:
  bool root_ = false;
  gid_t gid_ = 0;
};

}  // namespace tvtest

#include "text/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tv {

// The common ones in the user's words, the rare ones as the system says them.
QString systemErrorText(int errnum) {
  switch (errnum) {
    case ENOSPC:
      return QStringLiteral("ディスクの空きが足りません。");
    case EDQUOT:
      return QStringLiteral("ディスクの使用量の上限を超えています。");
    case EFBIG:
      return QStringLiteral("ファイルが大きすぎます。");
    case EACCES:
    case EPERM:
      return QStringLiteral("アクセスが拒否されました。");
    case EROFS:
      return QStringLiteral("読み取り専用のドライブです。");
    case ENOENT:
      return QStringLiteral("ファイルまたはフォルダーが見つかりません。");
    case ENOTDIR:
      return QStringLiteral("パスの途中にフォルダーでないものがあります。");
    case EISDIR:
      return QStringLiteral("ファイルではなくフォルダーです。");
    case ENAMETOOLONG:
      return QStringLiteral("ファイル名が長すぎます。");
    case ELOOP:
      return QStringLiteral("シンボリックリンクが循環しています。");
    case EIO:
      return QStringLiteral("ディスクの読み書きでエラーが起きました。");
    case EMFILE:
    case ENFILE:
      return QStringLiteral("開いているファイルが多すぎます。");
    case EBUSY:
    case ETXTBSY:
      return QStringLiteral("ファイルが使用中です。");
    case EINVAL:
      return QStringLiteral("ファイル名に使えない文字があります。");
    default:
      return QStringLiteral("システムエラー %1（%2）")
          .arg(errnum)
          .arg(QString::fromLocal8Bit(strerror(errnum)));
  }
}

namespace {

const QString kNotAPlainFile = QStringLiteral("通常のファイルではありません。");

bool fail(QString* error, const QString& reason) {
  if (error) *error = reason;
  return false;
}

bool failWith(QString* error, int errnum) { return fail(error, systemErrorText(errnum)); }

std::optional<QByteArray> unread(QString* error, const QString& reason) {
  fail(error, reason);
  return std::nullopt;
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes it, with the close's own result: some file systems report a
  // failed write only here.
  bool close() {
    const int fd = std::exchange(fd_, -1);
    return ::close(fd) == 0 || errno == EINTR;
  }

 private:
  int fd_;
};

// All of `bytes` from `offset` on; false with errno set when any write fails.
bool writeAll(int fd, QByteArrayView bytes, off_t offset) {
  const char* data = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::pwrite(fd, data, size_t(std::min<qsizetype>(left, 1 << 30)), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    data += n;
    left -= n;
    offset += n;
  }
  return true;
}

// The file a path stands for, links followed, also to a file not there yet.
QString linkTarget(const QString& path) {
  QFileInfo info(path);
  for (int depth = 0; depth < 40 && info.isSymLink(); ++depth) info.setFile(info.symLinkTarget());
  return info.filePath();
}

// A temporary name of its own length, so that it fits wherever the target's does.
int createTemporary(const QString& folder, QByteArray& name) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    QByteArray suffix(8, '0');
    for (char& c : suffix) c = kDigits[QRandomGenerator::global()->bounded(36)];
    name = QFile::encodeName(folder) + "/.talviks-" + suffix;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void syncFolder(const QString& folder) {
  Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

// A folder that takes no new file: the file itself is rewritten. Space is
// reserved first where the file system can, and the old contents go back
// when a write fails part-way; a crash half-way still leaves a mix.
bool writeInPlace(const QByteArray& target, const QByteArray& bytes, QString* error) {
  constexpr qint64 kMaxKept = 64 * 1024 * 1024;
  Fd fd(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return failWith(error, errno);
  if (!S_ISREG(st.st_mode)) return fail(error, kNotAPlainFile);
  std::optional<QByteArray> old;
  if (st.st_size <= kMaxKept) {
    old = QByteArray(qsizetype(st.st_size), Qt::Uninitialized);
    if (::pread(fd.get(), old->data(), size_t(old->size()), 0) != old->size()) old.reset();
  }
  if (bytes.size() > st.st_size && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    return failWith(error, errno);
  if (writeAll(fd.get(), bytes, 0) && ::ftruncate(fd.get(), bytes.size()) == 0 && ::fsync(fd.get()) == 0)
    return fd.close() || failWith(error, errno);
  const int errnum = errno;
  if (old && writeAll(fd.get(), *old, 0)) {
    if (::ftruncate(fd.get(), old->size()) == 0) ::fsync(fd.get());
  }
  return failWith(error, errnum);
}

}  // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  const QString targetPath = linkTarget(path);
  const QByteArray target = QFile::encodeName(targetPath);
  struct stat st {};
  const bool exists = ::stat(target.constData(), &st) == 0;
  if (!exists && errno != ENOENT) return failWith(error, errno);
  if (exists) {
    if (S_ISDIR(st.st_mode)) return failWith(error, EISDIR);
    if (!S_ISREG(st.st_mode)) return fail(error, kNotAPlainFile);
    if (::access(target.constData(), W_OK) != 0) return failWith(error, errno);
  }
  const QString folder = QFileInfo(targetPath).path();
  QByteArray temporary;
  Fd fd(createTemporary(folder, temporary));
  if (!fd.valid()) {
    const int errnum = errno;
    if (exists && (errnum == EACCES || errnum == EPERM)) return writeInPlace(target, bytes, error);
    return failWith(error, errnum);
  }
  if (exists) {
    // Owner and group where allowed, then the mode (a change of owner clears set-id bits).
    [[maybe_unused]] const int owned = ::fchown(fd.get(), st.st_uid, st.st_gid);
    ::fchmod(fd.get(), st.st_mode & 07777);
  }
  const bool written = writeAll(fd.get(), bytes, 0) && ::fsync(fd.get()) == 0;
  const int errnum = errno;
  if (!fd.close() || !written || ::rename(temporary.constData(), target.constData()) != 0) {
    const int reason = written ? errno : errnum;
    ::unlink(temporary.constData());
    return failWith(error, reason);
  }
  syncFolder(folder);
  return true;
}

std::optional<QByteArray> readFileAtMost(const QString& path, qint64 limit, QString* error) {
  Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0) return unread(error, systemErrorText(errno));
  if (S_ISDIR(st.st_mode)) return unread(error, systemErrorText(EISDIR));
  if (!S_ISREG(st.st_mode)) return unread(error, kNotAPlainFile);
  QByteArray bytes(qsizetype(std::min<qint64>(std::max<qint64>(st.st_size, 0), limit) + 1),
                   Qt::Uninitialized);
  qsizetype got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (got > limit) break;
      bytes.resize(std::min<qint64>(qint64(got) * 2 + 4096, limit + 1));
    }
    const ssize_t n = ::read(fd.get(), bytes.data() + got, size_t(bytes.size() - got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return unread(error, systemErrorText(errno));
    if (n == 0) break;
    got += n;
  }
  bytes.truncate(got);
  return bytes;
}

}  // namespace tv

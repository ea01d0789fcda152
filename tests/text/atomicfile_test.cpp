// Files written whole or not at all: writes that fail part-way, names of any
// length, folders that refuse new files, targets that are no plain file.
#include "text/atomicfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/failingwrites.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;
using tvtest::readFile;
using tvtest::writeFile;

namespace {

// Empty when written, else the reason.
QString write(const QString& path, const QByteArray& bytes) {
  QString error;
  return writeFileAtomically(path, bytes, &error) ? QString() : error;
}

QStringList entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

mode_t mode(const QString& path) {
  struct stat st {};
  lstat(QFile::encodeName(path).constData(), &st);
  return st.st_mode;
}

}  // namespace

TEST(AtomicFile, AWriteThatFailsPartWayChangesNoFileAndSaysWhy) {
  QTemporaryDir dir;
  const QString old = dir.filePath("old.tvf");
  writeFile(old, "an old deck");
  // Past the limit at once, and past it after what a write buffer holds.
  for (const qsizetype size : {119, 100000}) {
    tvtest::FileSizeLimit limit(64);
    EXPECT_EQ(write(old, QByteArray(size, 'x')), "ファイルが大きすぎます。");
    EXPECT_EQ(write(dir.filePath("new.tvf"), QByteArray(size, 'x')), "ファイルが大きすぎます。");
  }
  EXPECT_EQ(readFile(old), "an old deck");
  EXPECT_EQ(entries(dir.path()), QStringList{"old.tvf"});
  const QByteArray large(1 << 20, 'y');
  EXPECT_EQ(write(old, large), "");
  EXPECT_EQ(readFile(old), large);
}

TEST(AtomicFile, NamesOfAnyLengthLinksAndPermissions) {
  QTemporaryDir dir;
  // The longest names a folder holds: 255 bytes.
  for (const QString& name : {QString(83, u'デ') + "ab.tvf", QString(251, u'a') + ".tvf"}) {
    EXPECT_EQ(write(dir.filePath(name), "first"), "");
    EXPECT_EQ(write(dir.filePath(name), "second"), "");
    EXPECT_EQ(readFile(dir.filePath(name)), "second");
    EXPECT_EQ(entries(dir.path()), QStringList{name});
    QFile::remove(dir.filePath(name));
  }
  // A link is followed, and the file keeps its permissions.
  const QString target = dir.filePath("target.tvf"), link = dir.filePath("link.tvf");
  writeFile(target, "old");
  chmod(QFile::encodeName(target).constData(), 0640);
  QFile::link(target, link);
  EXPECT_EQ(write(link, "new"), "");
  EXPECT_TRUE(S_ISLNK(mode(link)));
  EXPECT_EQ(readFile(target), "new");
  EXPECT_EQ(mode(target) & 07777, 0640u);
}

TEST(AtomicFile, TargetsThatCannotBeWrittenAreRefusedWithTheReason) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("fifo.tvf");
  mkfifo(QFile::encodeName(fifo).constData(), 0666);
  const std::pair<QString, QString> cases[] = {
      {dir.filePath("no/such/folder.tvf"), "ファイルまたはフォルダーが見つかりません。"},
      {dir.path(), "ファイルではなくフォルダーです。"},
      {fifo, "通常のファイルではありません。"},
      {dir.filePath(QString(256, u'a')), "ファイル名が長すぎます。"},
  };
  for (const auto& [path, reason] : cases) EXPECT_EQ(write(path, "x"), reason) << path.toStdString();
  EXPECT_TRUE(S_ISFIFO(mode(fifo)));
  EXPECT_EQ(entries(dir.path()), QStringList{"fifo.tvf"});
}

// A folder that refuses new files: a writable file in it is written in place,
// and a failure there still leaves the old contents.
TEST(AtomicFile, AWritableFileInAReadOnlyFolderIsWrittenInPlace) {
  QTemporaryDir dir;
  const QString ro = dir.filePath("ro");
  QDir().mkdir(ro);
  writeFile(ro + "/open.tvf", "old");
  writeFile(ro + "/locked.tvf", "old");
  chmod(QFile::encodeName(ro + "/open.tvf").constData(), 0666);
  chmod(QFile::encodeName(ro + "/locked.tvf").constData(), 0444);
  chmod(QFile::encodeName(ro).constData(), 0555);
  chmod(QFile::encodeName(dir.path()).constData(), 0755);
  {
    tvtest::Unprivileged user;
    EXPECT_EQ(write(ro + "/open.tvf", "new"), "");
    EXPECT_EQ(write(ro + "/locked.tvf", "new"), "アクセスが拒否されました。");
    EXPECT_EQ(write(ro + "/new.tvf", "new"), "アクセスが拒否されました。");
    tvtest::FileSizeLimit limit(8);
    EXPECT_EQ(write(ro + "/open.tvf", "longer than the limit"), "ファイルが大きすぎます。");
  }
  EXPECT_EQ(readFile(ro + "/open.tvf"), "new");
  EXPECT_EQ(readFile(ro + "/locked.tvf"), "old");
  EXPECT_EQ(entries(ro), QStringList({"locked.tvf", "open.tvf"}));
  chmod(QFile::encodeName(ro).constData(), 0755);
}

#include "core/startup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include "app/cardupdatedialog.h"
#include "app/instancelock.h"
#include "app/windowopen.h"
#include "carddb/info.h"
#include "carddb/schema.h"
#include "choices/choices.h"
#include "core/appinfo.h"
#include "core/userfiles.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void write(const QString& name, const QByteArray& content) {
    tvtest::writeFile(dir.filePath(name), content);
  }
  // A card database whose tbl_Version holds `version` (no row when empty).
  void makeDb(const QString& name, const QString& version, const QString& connect = kCardDbConnect) {
    auto db = createCardDatabase(dir.filePath(name), 5, connect);
    db->execute("DELETE FROM tbl_Version");
    if (!version.isEmpty()) db->execute("INSERT INTO tbl_Version (DbVersion) VALUES (" + version + ")");
  }
  StartupOutcome startWith(const QByteArray& file, bool another = false) {
    write("TV.ini", "[File]\r\nLocalDataFile=" + file + "\r\n");
    return InitApplication(dir.path(), another);
  }

  QTemporaryDir dir;
};

}  // namespace

TEST_F(StartupTest, IniValueIsReadAsTheProfileReaderDid) {
  const QString ini = dir.filePath("TV.ini");
  const std::pair<QByteArray, std::optional<QString>> cases[] = {
      {"; c\r\n[other]\r\nLocalDataFile=no.db\r\n[file]\r\n localdatafile = data\\cards.db \r\n",
       "data/cards.db"},
      {"[File]\nLocalDataFile=" + QByteArray(300, 'a') + "\n", QString(255, 'a')},  // cut at 255 bytes
      {"[File]\nLocalDataFile=カード.db\n", "カード.db"},
      {"[File]\nLocalDataFile=\x83\x4A\x81\x5B\x83\x68.db\n", "カード.db"},  // Shift-JIS
      {"[Other]\nLocalDataFile=cards.db\n", std::nullopt},
      {"[File]\nDatabase=x\n", std::nullopt},
      {"[File]\nLocalDataFile=\n", std::nullopt},
      {QByteArray("[File]\nLocalDataFile=a.db\0b\n", 28), "a.db"},  // a NUL ends the value
      {"[File]\nLocalDataFile=" + QByteArray("\x83\x93").repeated(128) + "\n",
       QString(127, QChar(u'ン'))},  // Shift-JIS cut at 255 bytes, whole characters
  };
  for (const auto& [content, expected] : cases) {
    write("TV.ini", content);
    EXPECT_EQ(ReadIniValue("File", "LocalDataFile", ini), expected) << content.constData();
  }
  // Not a regular file: refused at once, neither read forever nor waited on.
  QFile::remove(ini);
  ASSERT_EQ(mkfifo(ini.toLocal8Bit().constData(), 0600), 0);
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", ini), std::nullopt);
  QFile::remove(ini);
  QFile::link("/dev/zero", ini);
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", ini), std::nullopt);
  QFile::remove(ini);
  const auto out = InitApplication(dir.path(), false);
  EXPECT_EQ(out.error, ".iniファイルの読み込みに失敗しました。[File] DatabaseName");
  EXPECT_TRUE(out.gDatabasePath.isEmpty());
}

TEST_F(StartupTest, EachCheckGivesItsMessageInOrder) {
  const QString broken =
      "【データファイルに障害があります】\r\n指定のフォルダにデータファイルが存在しないか、\r\n"
      "データファイルが壊れている可能性があります";
  write("garbage.db", QByteArray(4096, '\x5a'));
  makeDb("other-password.db", "5", ";PWD=SOMETHINGELSE");
  makeDb("no-row.db", "");
  makeDb("text-version.db", "'five'");
  createCardDatabase(dir.filePath("no-table.db"))->execute("DROP TABLE tbl_Version");
  makeDb("v4.db", "4");
  makeDb("v6.db", "6");
  for (const QByteArray file : {"missing.db", "garbage.db", "other-password.db", "no-row.db",
                                "text-version.db", "no-table.db", "v4.db"}) {
    const auto out = startWith(file);
    EXPECT_EQ(out.error,
              file != "v4.db"
                  ? broken
                  : "【データファイルが古いです】\r\n新しいデータファイルをダウンロードしてください")
        << file.constData();
    EXPECT_FALSE(out.gCardDb) << file.constData();
  }

  // A second copy is refused before TV.ini is read.
  const auto second = startWith("v6.db", true);
  EXPECT_EQ(second.error, "このソフトは、すでに起動されています。");
  EXPECT_TRUE(second.gDatabasePath.isEmpty());

  const auto out = startWith("v6.db");
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(out.gDatabasePath, dir.path() + "/v6.db");
  EXPECT_EQ(out.labelText, "Talvik's Version 2.21\r\nDeck DB Version 6");
}

// info says of a data version what start-up makes of it.
TEST_F(StartupTest, InfoJudgesTheDataVersionAsStartUpDoes) {
  const struct {
    const char* version;
    QString message;
    const char* note;
  } cases[] = {
      {"4.5", kMsgOldData, "  (the program refuses it as old: it needs 5 or more)"},
      {"4.6", kMsgOldData, "  (the program refuses it as old: it needs 5 or more)"},
      {"99999", kMsgBrokenData, "  (the program refuses it as broken data: not a version number it reads)"},
      {"5.2", "", ""},
  };
  for (const auto& c : cases) {
    const QString file = QStringLiteral("v%1.db").arg(c.version);
    makeDb(file, c.version);
    EXPECT_EQ(startWith(file.toUtf8()).error, c.message) << c.version;
    EXPECT_TRUE(tvtools::describeCardDatabase(dir.filePath(file))
                    .contains(QStringLiteral("data version:  %1%2\n").arg(c.version, c.note)))
        << tvtools::describeCardDatabase(dir.filePath(file)).toStdString();
  }
}

TEST(InstanceLock, SecondCopyIsRefusedAndAStaleLockIsNot) {
  QTemporaryDir dir;
  const QString path = dir.filePath("talviks.lock");
  {
    InstanceLock first(path);
    EXPECT_TRUE(first.acquired());
    EXPECT_FALSE(InstanceLock(path).acquired());
  }
  // Left behind by a copy that crashed: its process no longer exists.
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  tvtest::writeFile(path, QString("%1\n%2\n%3\n")
                              .arg(dead)
                              .arg(QCoreApplication::applicationName(), QSysInfo::machineHostName())
                              .toUtf8());
  EXPECT_TRUE(InstanceLock(path).acquired());

  // Empty, garbled or a folder: names no process of ours, so never keeps a copy out.
  for (const QByteArray& junk : {QByteArray(), QByteArray("\xff\x00garbage\n\n\n", 13)}) {
    tvtest::writeFile(path, junk);
    InstanceLock lock(path);
    EXPECT_TRUE(lock.acquired());
    EXPECT_FALSE(InstanceLock(path).acquired());
  }
  QFile::remove(path);
  ASSERT_TRUE(QDir(dir.path()).mkdir("talviks.lock"));
  InstanceLock inFolder(path);
  EXPECT_TRUE(inFolder.acquired());
  EXPECT_FALSE(InstanceLock(path).acquired());
}

TEST(WindowOpen, ShowsTheVersionAndHandsOverOnlyWhenTheTimerFires) {
  int shown = 0;
  auto* w = new WindowOpen("Talvik's Version 2.21\r\nDeck DB Version 5", [&] { ++shown; });
  w->show();
  EXPECT_TRUE(w->Timer1->isActive());
  EXPECT_EQ(shown, 0);
  w->Timer1_Timer();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(w->isVisible());
}

namespace {

// The user's folders are emptied when a test ends, for the tests after it.
struct UserFilesRemoved {
  ~UserFilesRemoved() {
    QDir(QFileInfo(userIniPath()).path()).removeRecursively();
    QDir(userDataFolder()).removeRecursively();
  }
};

}  // namespace

TEST_F(StartupTest, TheUsersIniServesWhereTheProgramsFolderHasNone) {
  const UserFilesRemoved cleanup;
  // Neither TV.ini: the TV.ini message, and the first start's offer may follow.
  auto out = InitApplication(dir.path(), false);
  EXPECT_EQ(out.error, kMsgIniFailed);
  EXPECT_TRUE(out.iniMissing);

  QString error;
  ASSERT_TRUE(writeUserIni("mine.db", &error)) << error.toStdString();
  ASSERT_TRUE(QDir().mkpath(userDataFolder()));
  createCardDatabase(userDataFolder() + "/mine.db");
  out = InitApplication(dir.path(), false);
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.gDatabasePath, userDataFolder() + "/mine.db");

  // TV.ini beside the program wins, even one that names nothing.
  makeDb("v6.db", "6");
  EXPECT_EQ(startWith("v6.db").gDatabasePath, dir.path() + "/v6.db");
  write("TV.ini", "[File]\r\n");
  out = InitApplication(dir.path(), false);
  EXPECT_EQ(out.error, kMsgIniFailed);
  EXPECT_FALSE(out.iniMissing);
  QFile::remove(dir.filePath("TV.ini"));
  tvtest::writeFile(userIniPath(), "[File]\r\nLocalDataFile=\r\n");
  EXPECT_FALSE(InitApplication(dir.path(), false).iniMissing);
}

TEST(FirstStart, MakesTheCardDatabaseFromTheInstalledCardData) {
  const UserFilesRemoved cleanup;
  // An installation in a folder of its own: bin/ and share/talviks/data/.
  QTemporaryDir prefix;
  const QString bin = prefix.filePath("bin"), data = prefix.filePath("share/talviks/data");
  ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(data));
  ASSERT_TRUE(
      QFile::copy(TV_SOURCE_DIR "/tests/tools/mtgjson-sample.json", data + "/AllPrintings-subset.json.xz"));
  tvtest::writeFile(data + "/whisper-cards.xml.xz",
                    "<cards><card name=\"Ice\" ja=\"氷\">引く。</card></cards>");
  EXPECT_EQ(installedCardDataFolder(bin), data);

  QStringList asked;
  QMessageBox::StandardButton answer = QMessageBox::No;
  const auto messageBox = [&](const MessageBoxRequest& r) {
    asked << r.text;
    return answer;
  };
  EXPECT_FALSE(offerCardDatabase(bin, messageBox));
  EXPECT_FALSE(QFileInfo::exists(userIniPath()));
  answer = QMessageBox::Yes;
  ASSERT_TRUE(offerCardDatabase(bin, messageBox)) << asked.join("|").toStdString();
  EXPECT_EQ(asked.size(), 2);
  EXPECT_EQ(tvtest::readFile(userIniPath()), "[File]\r\nLocalDataFile=cards.db\r\n");
  const auto out = InitApplication(bin, false);
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.gDatabasePath, userDataFolder() + "/cards.db");
  EXPECT_EQ(tvtest::queryRows(*out.gCardDb, "SELECT COUNT(*) FROM tbl_TokenMst"), QStringList{"18"});
}

// `talviks FILE` opens the deck once the window is up; a second start with a
// file hands it to the running copy and ends. Each run is the real program in
// a folder of its own (its own TV.ini), with a runtime folder of its own.
TEST(CommandLine, OpensTheFileAndASecondStartHandsItsFileToTheRunningCopy) {
  QTemporaryDir dir;
  const QString bin = dir.filePath("bin"), run = dir.filePath("run");
  ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(run));
  QFile::setPermissions(run, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_TRUE(QFile::copy(TV_PROGRAM, bin + "/talviks"));
  tvtest::CardDbFixture cards;
  tvtest::addStandardCards(cards);
  ASSERT_TRUE(QFile::copy(cards.path(), bin + "/cards.db"));
  tvtest::writeFile(bin + "/TV.ini", "[File]\r\nLocalDataFile=cards.db\r\n");
  const QString a = dir.filePath("a.tvf"), b = dir.filePath("b.tvf");
  tvtest::writeFile(a, "\"a\",\"\"\r\n\"8E\",\"Shock\",4\r\n0,0,0\r\n");
  tvtest::writeFile(b, "\"b\",\"\"\r\n0,0,0\r\n");

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", run);
  env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  // The running copy tells what it opened through its recent list.
  const auto newest = [&] {
    return UserChoices(
               std::make_unique<QSettings>(dir.filePath("config/talviks/settings.ini"), QSettings::IniFormat))
        .recentDecks()
        .value(0);
  };
  const auto waitFor = [&](const QString& path) {
    QElapsedTimer t;
    t.start();
    while (newest() != path && t.elapsed() < 30000) QThread::msleep(100);
    return newest();
  };
  QProcess first;
  first.setProcessEnvironment(env);
  first.start(bin + "/talviks", {a});
  ASSERT_TRUE(first.waitForStarted());
  EXPECT_EQ(waitFor(a), a);
  QProcess second;
  second.setProcessEnvironment(env);
  second.start(bin + "/talviks", {b});
  ASSERT_TRUE(second.waitForFinished(15000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(waitFor(b), b);
  EXPECT_EQ(first.state(), QProcess::Running);
  first.kill();
  first.waitForFinished();
}

#include "app/core/startup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/core/appinfo.h"
#include "app/instancelock.h"
#include "app/windowopen.h"
#include "carddb/schema.h"

using namespace tv;

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void writeIni(const QByteArray& content) {
    QFile f(dir.filePath("TV.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
  }
  // A card database with the given tbl_Version content ("" leaves the table empty).
  void makeDb(const QString& name, const QString& versionValue, const QString& connect = kCardDbConnect) {
    auto db = createCardDatabase(dir.filePath(name), 5, connect);
    db->execute("DELETE FROM tbl_Version");
    if (!versionValue.isEmpty())
      db->execute("INSERT INTO tbl_Version (DbVersion) VALUES (" + versionValue + ")");
  }
  StartupOutcome start(bool another = false) { return InitApplication(dir.path(), another); }

  QTemporaryDir dir;
};

}  // namespace

TEST_F(StartupTest, SecondInstanceIsRefusedBeforeAnythingElse) {
  makeDb("cards.db", "5");
  writeIni("[File]\r\nLocalDataFile=cards.db\r\n");
  const auto out = start(true);
  EXPECT_EQ(out.error, "このソフトは、すでに起動されています。");
  EXPECT_FALSE(out.gCardDb);
  EXPECT_TRUE(out.gDatabasePath.isEmpty());  // TV.ini was not read
}

TEST_F(StartupTest, IniWithoutAValueGivesTheIniMessage) {
  const QString msg = ".iniファイルの読み込みに失敗しました。[File] DatabaseName";
  EXPECT_EQ(start().error, msg);  // no TV.ini at all
  for (const QByteArray& ini :
       {QByteArray("[Other]\nLocalDataFile=cards.db\n"), QByteArray("[File]\nDatabase=x\n"),
        QByteArray("[File]\nLocalDataFile=\n"), QByteArray("LocalDataFile=cards.db\n")}) {
    writeIni(ini);
    const auto out = start();
    EXPECT_EQ(out.error, msg) << ini.constData();
    EXPECT_TRUE(out.gDatabasePath.isEmpty());
  }
}

TEST_F(StartupTest, IniValueIsReadAsThePlatformReaderDid) {
  writeIni(
      "; comment\r\n[other]\r\nLocalDataFile=wrong.db\r\n[file]\r\n localdatafile = data\\cards.db \r\n");
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", dir.filePath("TV.ini")), "data/cards.db");

  const QByteArray longValue(300, 'a');
  writeIni("[File]\nLocalDataFile=" + longValue + "\n");
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", dir.filePath("TV.ini"))->size(), 255);
  writeIni("[File]\nLocalDataFile=" + QByteArray(255, 'b') + "\n");
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", dir.filePath("TV.ini")), QString(255, 'b'));

  writeIni("[File]\nLocalDataFile=カード.db\n");  // UTF-8
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", dir.filePath("TV.ini")), "カード.db");
  writeIni("[File]\nLocalDataFile=\x83\x4A\x81\x5B\x83\x68.db\n");  // the same in Shift-JIS
  EXPECT_EQ(ReadIniValue("File", "LocalDataFile", dir.filePath("TV.ini")), "カード.db");
}

TEST_F(StartupTest, DatabasePathIsTheProgramFolderPlusTheValue) {
  makeDb("cards.db", "5");
  writeIni("[File]\nLocalDataFile=cards.db\n");
  const auto out = start();
  ASSERT_TRUE(out.ok()) << out.error.toStdString();
  EXPECT_EQ(out.gDatabasePath, dir.path() + "/cards.db");
  EXPECT_TRUE(out.gCardDb);
}

TEST_F(StartupTest, EveryUnusableDatabaseGivesTheBrokenDataMessage) {
  const QString broken =
      "【データファイルに障害があります】\r\n指定のフォルダにデータファイルが存在しないか、\r\n"
      "データファイルが壊れている可能性があります";
  QFile garbage(dir.filePath("garbage.db"));
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write(QByteArray(4096, '\x5a'));
  garbage.close();
  makeDb("other-password.db", "5", ";PWD=SOMETHINGELSE");
  makeDb("no-row.db", "");
  makeDb("text-version.db", "'five'");
  {
    auto db = createCardDatabase(dir.filePath("no-table.db"));
    db->execute("DROP TABLE tbl_Version");
  }
  for (const char* file :
       {"missing.db", "garbage.db", "other-password.db", "no-row.db", "text-version.db", "no-table.db"}) {
    writeIni(QByteArray("[File]\nLocalDataFile=") + file + "\n");
    const auto out = start();
    EXPECT_EQ(out.error, broken) << file;
    EXPECT_FALSE(out.gCardDb) << file;
  }
}

TEST_F(StartupTest, DataVersionBelowFiveIsOldAndTheLabelShowsTheVersion) {
  makeDb("v4.db", "4");
  makeDb("v6.db", "6");
  writeIni("[File]\nLocalDataFile=v4.db\n");
  EXPECT_EQ(start().error, "【データファイルが古いです】\r\n新しいデータファイルをダウンロードしてください");

  writeIni("[File]\nLocalDataFile=v6.db\n");
  const auto out = start();
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(out.dataVersion, 6);
  EXPECT_EQ(out.labelText, "Talvik's Version 2.21\r\nDeck DB Version 6");
}

TEST(VersionText, MinorAndRevisionRunTogether) {
  EXPECT_EQ(versionText(2, 2, 1), "2.21");
  EXPECT_EQ(versionText(3, 10, 0), "3.100");
  EXPECT_EQ(versionText(), "2.21");  // the project's own version
}

TEST(InstanceLock, SecondCopyIsRefusedAndAStaleLockIsNot) {
  QTemporaryDir dir;
  const QString path = dir.filePath("talviks.lock");
  {
    InstanceLock first(path);
    EXPECT_TRUE(first.acquired());
    InstanceLock second(path);
    EXPECT_FALSE(second.acquired());
  }
  // Left behind by a copy that crashed: its process no longer exists.
  pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  QFile stale(path);
  ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
  QTextStream(&stale) << dead << "\n"
                      << QCoreApplication::applicationName() << "\n"
                      << QSysInfo::machineHostName() << "\n";
  stale.close();
  InstanceLock next(path);
  EXPECT_TRUE(next.acquired());
}

TEST(WindowOpen, ShowsTheVersionAndHandsOverOnlyWhenTheTimerFires) {
  int shown = 0;
  auto* w = new WindowOpen("Talvik's Version 2.21\r\nDeck DB Version 5", [&] { ++shown; });
  w->show();
  EXPECT_EQ(w->Label1->text(), "Talvik's Version 2.21\r\nDeck DB Version 5");
  EXPECT_EQ(w->size(), QSize(321, 105));
  EXPECT_EQ(w->Timer1->interval(), 2000);
  EXPECT_TRUE(w->Timer1->isActive());
  EXPECT_EQ(shown, 0);
  w->Timer1_Timer();
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(w->isVisible());
}

#include "update/cardupdate.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "carddb/names.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;
using tvtest::queryRows;
using tvtest::readFile;

namespace {

const QString kSample = QStringLiteral(TV_SOURCE_DIR "/tests/tools/mtgjson-sample.json");

// The card database in use, with a deck in its working tables: a card the
// new data holds, one it does not.
class CardUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    f.addDeckRow(kMainDeckTable, "AP", "Fire // Ice", "古い名前", 2, 9);
    f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 4, 1);
    f.addDeckRow(kSideDeckTable, "8E", "Forest", "森", 1);
    before = readFile(f.path());
    files.mtgjson = kSample;
  }
  QStringList folder() const { return QDir(f.dir()).entryList(QDir::Files | QDir::Hidden); }
  QStringList deck(Database& db) {
    return queryRows(db, "SELECT * FROM wtbl_DecList") + queryRows(db, "SELECT * FROM wtbl_DecSideList");
  }

  tvtest::CardDbFixture f;
  QByteArray before;
  CardDataFiles files;
  std::atomic<bool> cancel = false;
};

}  // namespace

TEST_F(CardUpdateTest, ReplacesTheFileKeepsTheOldOneAndCarriesTheDeck) {
  const QStringList oldDeck = deck(f.db());
  std::vector<tvtools::ImportProgress> seen;
  const ImportOutcome imported =
      importCardData(files, f.path(), cancel, [&](const tvtools::ImportProgress& p) { seen.push_back(p); });
  ASSERT_EQ(imported.status, ImportOutcome::Done) << imported.error.toStdString();
  EXPECT_EQ(readFile(f.path()), before);
  // Set by set, the whole file read before the writing.
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front().setsRead, 1);
  EXPECT_EQ(seen[seen.size() - 2].bytesRead, seen.back().bytesTotal);
  EXPECT_TRUE(seen.back().writing);
  EXPECT_EQ(seen.back().sets, imported.sets);
  EXPECT_EQ(importProgressText(seen.back(), 5000),
            QString("%1 セット、%2 枚を書き込んでいます…").arg(imported.sets).arg(imported.cards));

  const ReplaceOutcome placed = replaceCardDatabase(&f.db(), f.path(), imported.file);
  ASSERT_TRUE(placed.db) << placed.error.toStdString();
  EXPECT_EQ(readFile(f.path() + ".bak"), before);
  EXPECT_EQ(folder(), (QStringList{"cards.db", "cards.db.bak"}));
  EXPECT_EQ(queryRows(*placed.db, "SELECT COUNT(*) FROM tbl_CardSet"),
            QStringList{QString::number(imported.sets)});
  // Row for row, in order; the card values from the new data where it has the card.
  EXPECT_EQ(deck(*placed.db), (QStringList{"AP|Fire // Ice|火 // 氷|2|4|-|-", "8E|Shock|ショック|4|1|-|-",
                                           "8E|Forest|森|1|-|-|-"}));
  EXPECT_EQ(deck(f.db()), oldDeck);
}

TEST_F(CardUpdateTest, ACancelOrAFailureLeavesEverythingAsItWas) {
  tvtest::writeFile(f.path() + ".bak", "the backup of an earlier update");
  const QString notAllPrintings = f.dir() + "/other.json";
  tvtest::writeFile(notAllPrintings, R"({"meta": {}, "sets": [1, 2]})");
  const QStringList files0 = folder();
  struct Case {
    QString mtgjson;
    bool cancelAtFirstSet;
    ImportOutcome::Status status;
    QString detail;
  };
  for (const Case& c : {Case{kSample, true, ImportOutcome::Cancelled, ""},
                        Case{notAllPrintings, false, ImportOutcome::Failed,
                             notAllPrintings + ": not an MTGJSON AllPrintings file: no \"data\" object"},
                        Case{TV_SOURCE_DIR "/data/tokens.csv", false, ImportOutcome::Failed,
                             TV_SOURCE_DIR "/data/tokens.csv: not an MTGJSON AllPrintings file"}}) {
    files.mtgjson = c.mtgjson;
    cancel = false;
    const ImportOutcome out = importCardData(files, f.path(), cancel, [&](const tvtools::ImportProgress&) {
      if (c.cancelAtFirstSet) cancel = true;
    });
    EXPECT_EQ(out.status, c.status) << c.mtgjson.toStdString();
    EXPECT_EQ(out.detail.left(c.detail.size()), c.detail);
    if (c.status == ImportOutcome::Failed) {
      EXPECT_EQ(out.error, "「" + QFileInfo(c.mtgjson).fileName() +
                               "」を読み込めませんでした。MTGJSON のファイルではないか、壊れています。");
    }
    EXPECT_EQ(folder(), files0);
  }
  // A new file that is no card database is refused before anything moves.
  tvtest::writeFile(f.path() + ".new", "not a database");
  EXPECT_FALSE(replaceCardDatabase(&f.db(), f.path(), f.path() + ".new").db);
  EXPECT_EQ(readFile(f.path()), before);
  EXPECT_EQ(readFile(f.path() + ".bak"), "the backup of an earlier update");
  EXPECT_FALSE(QFileInfo::exists(f.path() + ".new"));
}

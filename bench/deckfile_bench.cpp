// Opening a 75-card deck file (60 main-deck lines, 15 sideboard lines) on the
// large card database: the file into the deck tables, the same through the
// menu (lists redrawn, preview rebuilt), and the engine doing the table work
// in plain statements. Read the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "app/mainwindow.h"
#include "benchdata.h"
#include "deck/deckfile.h"
#include "text/sqlliteral.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 25;

struct DeckFile {
  std::unique_ptr<tv::Database> db;
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("deck.tvf"));
  tv::Deck deck;

  explicit DeckFile(const BenchData& data) : db(data.open()) {
    for (const char* sql :
         {"INSERT INTO wtbl_DecList (CardSetEx, NameE, CardMaisu) SELECT CardSetEx, NameE, 1 "
          "FROM tbl_CardMst WHERE CardSetEx = '8E' ORDER BY NameE LIMIT 60",
          "INSERT INTO wtbl_DecSideList (CardSetEx, NameE, CardMaisu) SELECT CardSetEx, NameE, 1 "
          "FROM tbl_CardMst WHERE CardSetEx = 'SC' ORDER BY NameE LIMIT 15"})
      db->execute(QString::fromUtf8(sql));
    const auto saved = tv::SaveDeckFile(*db, path, QStringLiteral("ベンチ"), QStringLiteral("75枚"));
    if (!saved.ok) qFatal("%s", qPrintable(saved.error));
    deck = saved.deck;
  }
};

void BM_OpenDeckFile(benchmark::State& state, const BenchData& data) {
  DeckFile d(data);
  for (auto _ : state)
    if (!tv::OpenDeckFile(*d.db, d.path).ok) state.SkipWithError("open failed");
}

void BM_OpenDeckMenu(benchmark::State& state, const BenchData& data) {
  DeckFile d(data);
  tv::AppContext ctx;
  ctx.gCardDb = std::move(d.db);
  tv::Main window(ctx);
  window.show();
  window.CommonDialog1.setChooser([&](const tv::CommonDialog::Request&) { return std::optional(d.path); });
  int failures = 0;
  window.setMessageBox([&](const tv::MessageBoxRequest&) {
    ++failures;
    return QMessageBox::Ok;
  });
  QApplication::processEvents();
  for (auto _ : state) {
    window.M_Open_Click();
    QApplication::processEvents();
  }
  if (failures > 0) state.SkipWithError("open failed");
}

// The floor: the file's bytes read, then the tables emptied, filled and
// completed from the master by the engine alone.
void BM_OpenDeckFileEngineFloor(benchmark::State& state, const BenchData& data) {
  DeckFile d(data);
  const auto rows = [](const QList<tv::DeckEntry>& entries) {
    QStringList values;
    for (const auto& e : entries)
      values << QStringLiteral("(%1, %2, %3)")
                    .arg(tv::sqlLiteral(e.CardSetEx), tv::sqlLiteral(e.NameE))
                    .arg(e.CardMaisu);
    return values.join(u',');
  };
  const auto fill = [](const QString& t) {
    return QStringLiteral(
               "UPDATE %1 SET (NameN, NumCost, CAttack, CDefence) = (SELECT m.NameN, m.NumCost, "
               "m.CAttack, m.CDefence FROM tbl_CardMst m WHERE m.CardSetEx = %1.CardSetEx AND m.NameE = "
               "%1.NameE) WHERE EXISTS (SELECT 1 FROM tbl_CardMst m WHERE m.CardSetEx = %1.CardSetEx AND "
               "m.NameE = %1.NameE)")
        .arg(t);
  };
  const QString statements[] = {
      QStringLiteral("DELETE FROM wtbl_DecList"),
      QStringLiteral("DELETE FROM wtbl_DecSideList"),
      QStringLiteral("INSERT INTO wtbl_DecList (CardSetEx, NameE, CardMaisu) VALUES ") + rows(d.deck.main),
      QStringLiteral("INSERT INTO wtbl_DecSideList (CardSetEx, NameE, CardMaisu) VALUES ") +
          rows(d.deck.side),
      fill(QStringLiteral("wtbl_DecList")),
      fill(QStringLiteral("wtbl_DecSideList")),
  };
  for (auto _ : state) {
    QFile file(d.path);
    if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("no file");
    benchmark::DoNotOptimize(file.readAll());
    d.db->execute(QStringLiteral("SAVEPOINT floor"));
    for (const QString& sql : statements) d.db->execute(sql);
    d.db->execute(QStringLiteral("RELEASE floor"));
  }
}

const tvbench::Add openDeckFile("BM_OpenDeckFile", BM_OpenDeckFile, tvbench::timed(kRuns));
const tvbench::Add openDeckMenu("BM_OpenDeckMenu", BM_OpenDeckMenu, tvbench::timed(kRuns));
const tvbench::Add openDeckFileEngineFloor("BM_OpenDeckFileEngineFloor", BM_OpenDeckFileEngineFloor,
                                           tvbench::timed(kRuns));

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

// The card search and the detail text on the card databases of benchdata.h,
// through a real window painted on the offscreen platform. The search stands
// beside its floor: the plain DELETE and INSERT … SELECT … ORDER BY of the
// same search on the same connection, run once before timing so that its
// pages are in the connection's cache (the best the plain statement can do).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "browse/search.h"
#include "session/context.h"

namespace {

constexpr int kRuns = 15;

using tvbench::BenchData;

using tvbench::SearchedWindow;

void BM_FloorSearchEveryExpansion(benchmark::State& state, const BenchData& data) {
  SearchedWindow w(data);
  tv::SearchFilter all;
  for (int i = 0; i < w.list("lst_CardSet")->count(); ++i) all.selectedSets << i;
  const QString insert = tv::buildSearchStatement(all, w.ctx.gSortField);
  tv::Database& db = *w.ctx.gCardDb;
  auto floor = [&] {
    db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), tv::dbFailOnError);
    db.execute(insert);
  };
  floor();
  for (auto _ : state) floor();
}
const tvbench::Add floorSearch("BM_FloorSearchEveryExpansion", BM_FloorSearchEveryExpansion,
                               tvbench::timed(kRuns));

// A click until the card list has painted; what the program does after the
// paint (wtbl_CardList filled) beside it.
void BM_SearchEveryExpansion(benchmark::State& state, const BenchData& data) {
  SearchedWindow w(data);
  for (auto _ : state) {
    if (!w.search()) state.SkipWithError("the card list did not paint");
    state.counters["then_ms"] = tvbench::idleWork(state);
  }
  state.counters["lines"] = w.list("lst_CardList")->count();
  state.counters["expansions"] = w.list("lst_CardSet")->count();
}
const tvbench::Add search("BM_SearchEveryExpansion", BM_SearchEveryExpansion, tvbench::timed(kRuns));

// What the start-up window prepares (the card catalogue and the card names),
// beside the two seconds it shows.
void BM_PrepareSearches(benchmark::State& state, const BenchData& data) {
  tv::AppContext ctx;
  ctx.gCardDb = data.open();
  for (auto _ : state) {
    state.PauseTiming();
    ctx.gCardDb->derived().reset();
    ctx.gCardNames.reset();
    state.ResumeTiming();
    tv::prepareSearches(ctx);
  }
}
const tvbench::Add prepare("BM_PrepareSearches", BM_PrepareSearches, tvbench::timed(5));

void BM_DetailOfLastLine(benchmark::State& state, const BenchData& data) {
  SearchedWindow w(data);
  const int last = w.list("lst_CardList")->count() - 1;
  w.list("lst_CardList")->setCurrentRow(last);
  for (auto _ : state) {
    state.PauseTiming();
    w.ctx.gCurrentCard.NameE.clear();  // so that the same card is shown again
    state.ResumeTiming();
    w.tab->lst_CardList_Click();
    QApplication::processEvents();
  }
  if (w.ctx.gCurrentCard.NameE.isEmpty()) state.SkipWithError("the last line showed no card");
}
const tvbench::Add detail("BM_DetailOfLastLine", BM_DetailOfLastLine, tvbench::timed(kRuns));

// Opening alone: the key derivation is most of it.
void BM_OpenCardDatabase(benchmark::State& state, const BenchData& data) {
  for (auto _ : state) {
    tv::StartupOutcome outcome = tv::InitApplication(data.appDir(), false);
    state.PauseTiming();
    outcome.gCardDb.reset();
    state.ResumeTiming();
  }
}
const tvbench::Add openDatabase("BM_OpenCardDatabase", BM_OpenCardDatabase, tvbench::timed(kRuns));

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

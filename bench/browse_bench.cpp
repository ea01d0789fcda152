// The card search, the detail text and the way to the main window on the
// large card database (benchdata.h). The search stands beside its floor: the
// plain DELETE and INSERT … SELECT … ORDER BY of the same search, run through
// the engine layer on the same database with the same settings.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "benchdata.h"
#include "browse/search.h"
#include "core/startup.h"
#include "session/context.h"

namespace {

constexpr int kRuns = 15;

using tvbench::BenchData;

// A main window over the large database with every expansion selected and searched.
struct SearchedWindow {
  tv::AppContext ctx;
  std::unique_ptr<tv::Main> window;
  tv::DeckBuildTab* tab = nullptr;
  tv::ListBox* list(const char* name) const {
    return window->findChild<tv::ListBox*>(QLatin1StringView(name));
  }
  SearchedWindow() {
    ctx.gCardDb = BenchData::get().open();
    window = std::make_unique<tv::Main>(ctx);
    window->show();
    tab = window->findChild<tv::DeckBuildTab*>();
    list("lst_CardSet")->selectAll();
    tab->cmd_reload_Click();
    QApplication::processEvents();
  }
};

void BM_FloorSearchEveryExpansion(benchmark::State& state) {
  SearchedWindow w;
  tv::SearchFilter all;
  for (int i = 0; i < w.list("lst_CardSet")->count(); ++i) all.selectedSets << i;
  const QString insert = tv::buildSearchStatement(all, w.ctx.gSortField);
  tv::Database& db = *w.ctx.gCardDb;
  for (auto _ : state) {
    db.execute(QStringLiteral("DELETE FROM wtbl_CardList"), tv::dbFailOnError);
    db.execute(insert);
  }
}

void BM_SearchEveryExpansion(benchmark::State& state) {
  SearchedWindow w;
  for (auto _ : state) {
    w.tab->cmd_reload_Click();
    QApplication::processEvents();
  }
  state.counters["lines"] = w.list("lst_CardList")->count();
  state.counters["expansions"] = w.list("lst_CardSet")->count();
}

// A search that works out the card catalogue: the work the program does while
// its start-up window shows, and a search does when the card data changed.
void BM_FirstSearchEveryExpansion(benchmark::State& state) {
  SearchedWindow w;
  for (auto _ : state) {
    state.PauseTiming();
    w.ctx.gCardDb->derived().reset();
    state.ResumeTiming();
    w.tab->cmd_reload_Click();
    QApplication::processEvents();
  }
}

void BM_DetailOfLastLine(benchmark::State& state) {
  SearchedWindow w;
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

// Start-up checks and the start-up window, then (the two-second timer left
// out) the main window with its load event until it is shown.
void BM_StartToMainWindow(benchmark::State& state) {
  for (auto _ : state) {
    tv::AppContext ctx;
    tv::StartupOutcome outcome = tv::InitApplication(BenchData::get().appDir(), false);
    auto* splash = new tv::WindowOpen(outcome.labelText, {});
    splash->show();
    QApplication::processEvents();
    ctx.gCardDb = std::move(outcome.gCardDb);
    splash->close();
    delete splash;
    auto window = std::make_unique<tv::Main>(ctx);
    window->show();
    QApplication::processEvents();

    state.PauseTiming();
    window.reset();
    ctx.gCardDb.reset();
    state.ResumeTiming();
  }
}

// Opening alone: the key derivation is most of it.
void BM_OpenCardDatabase(benchmark::State& state) {
  for (auto _ : state) {
    tv::StartupOutcome outcome = tv::InitApplication(BenchData::get().appDir(), false);
    state.PauseTiming();
    outcome.gCardDb.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_FloorSearchEveryExpansion)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_SearchEveryExpansion)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_FirstSearchEveryExpansion)->Apply([](auto* b) { tvbench::timedRuns(b, 5); });
BENCHMARK(BM_DetailOfLastLine)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_StartToMainWindow)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_OpenCardDatabase)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

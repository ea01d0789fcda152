// The card search, the detail text and the way to the main window on a card
// database of about 85,000 printings (the sample's cards under 20 times as
// many expansion codes). Medians of single runs are what to read.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app/core/startup.h"
#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "app/windowopen.h"
#include "benchdata.h"
#include "browse/search.h"
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

void BM_SearchEveryExpansion(benchmark::State& state) {
  SearchedWindow w;
  for (auto _ : state) {
    w.tab->cmd_reload_Click();
    QApplication::processEvents();
  }
  state.counters["lines"] = w.list("lst_CardList")->count();
  state.counters["expansions"] = w.list("lst_CardSet")->count();
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

BENCHMARK(BM_SearchEveryExpansion)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRuns);
BENCHMARK(BM_DetailOfLastLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRuns);
BENCHMARK(BM_StartToMainWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRuns);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

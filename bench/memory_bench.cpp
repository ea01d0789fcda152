// Resident memory of a fresh process after start-up and a search of every
// expansion on the large card database (benchdata.h): one run, as a user's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"

namespace {

double residentMegabytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toDouble() / 1024;
  return 0;
}

void BM_MemoryAfterFullSearch(benchmark::State& state) {
  tv::AppContext ctx;
  std::unique_ptr<tv::Main> window;
  for (auto _ : state) {
    ctx.gCardDb = tvbench::BenchData::get().open();
    window = std::make_unique<tv::Main>(ctx);
    window->show();
    QApplication::processEvents();
    state.counters["rss_start_MB"] = residentMegabytes();
    window->findChild<tv::ListBox*>(QStringLiteral("lst_CardSet"))->selectAll();
    window->findChild<tv::DeckBuildTab*>()->cmd_reload_Click();
    QApplication::processEvents();
  }
  state.counters["rss_MB"] = residentMegabytes();
  state.counters["lines"] = window->findChild<tv::ListBox*>(QStringLiteral("lst_CardList"))->count();
}

BENCHMARK(BM_MemoryAfterFullSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

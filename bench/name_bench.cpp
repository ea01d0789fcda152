// The name box and text decks on the large card database (about 82,000
// printings): one keystroke's search over every expansion, beside the same
// search with the box empty; reading the names once a run; reading a pasted
// 75-card list. Read the medians.
#include <benchmark/benchmark.h>

#include "benchdata.h"
#include "browse/search.h"
#include "deck/decktext.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 15;

void timing(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(kRuns)->ReportAggregatesOnly();
}

struct Searcher {
  tv::AppContext ctx;
  tv::SearchFilter filter;
  Searcher() {
    ctx.gCardDb = BenchData::get().open();
    auto rs = ctx.gCardDb->openRecordset("SELECT count(*) AS n FROM tbl_CardSet", tv::RecordsetType::Snapshot,
                                         tv::dbForwardOnly);
    for (int i = 0, n = rs.field(u"n").toInt(); i < n; ++i) filter.selectedSets << i;
    filter.sortField = "NameE";
    tv::cardNames(ctx);  // read once a run, at the first keystroke: timed on its own below
  }
};

// The search a keystroke runs (the card list and both deck lists read back).
void BM_NameKeystroke(benchmark::State& state, const char* typed) {
  Searcher s;
  s.filter.name = QString::fromUtf8(typed);
  qsizetype lines = 0;
  for (auto _ : state) lines = tv::searchCards(s.ctx, s.filter).cardLines.size();
  state.counters["lines"] = double(lines);
}
BENCHMARK_CAPTURE(BM_NameKeystroke, empty_box, "")->Apply(timing);
BENCHMARK_CAPTURE(BM_NameKeystroke, ra, "ら")->Apply(timing);
BENCHMARK_CAPTURE(BM_NameKeystroke, s, "s")->Apply(timing);
BENCHMARK_CAPTURE(BM_NameKeystroke, llanowar, "llanowar")->Apply(timing);
BENCHMARK_CAPTURE(BM_NameKeystroke, ranowaaru, "らのわーる")->Apply(timing);

void BM_ReadCardNames(benchmark::State& state) {
  auto db = BenchData::get().open();
  for (auto _ : state) benchmark::DoNotOptimize(tv::CardNames::load(*db));
}
BENCHMARK(BM_ReadCardNames)->Apply(timing);

void BM_ImportPastedDeck(benchmark::State& state) {
  Searcher s;
  QString text;
  auto rs = s.ctx.gCardDb->openRecordset(
      "SELECT NameE, NameN FROM tbl_CardMst WHERE CardSetEx = 'IN' ORDER BY NameE LIMIT 75",
      tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
    if (i == 60) text += "\nSideboard\n";
    text += QStringLiteral("%1 %2\n").arg(1 + i % 4).arg(rs.text(i % 2 ? u"NameE" : u"NameN"));
  }
  const auto names = tv::cardNames(s.ctx);
  for (auto _ : state) benchmark::DoNotOptimize(tv::importDeckText(text, *names, *s.ctx.gCardDb));
}
BENCHMARK(BM_ImportPastedDeck)->Apply(timing);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

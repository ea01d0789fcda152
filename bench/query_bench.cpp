// The name box's query on the large card database, every expansion
// selected: one keystroke through the window for each query of the table,
// beside the same keystroke with the box empty (the plain statement's
// search); what the start makes for the queries beside the card catalogue
// it makes anyway; folding a long hostile rules text beside the
// normalizer's own pass over it. Read the medians.
#include <unicode/normalizer2.h>

#include <QApplication>
#include <QLineEdit>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "browse/cardcatalogue.h"
#include "text/fold.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 15;

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

// What the typing pause sets off: the search, the card list and both deck lists filled.
void keystroke(benchmark::State& state, const char* typed) {
  tv::AppContext ctx;
  ctx.gCardDb = BenchData::get().open();
  tv::Main window(ctx);
  window.show();
  auto* tab = window.findChild<tv::DeckBuildTab*>();
  window.findChild<tv::ListBox*>(QStringLiteral("lst_CardSet"))->selectAll();
  auto* name = window.findChild<QLineEdit*>(QStringLiteral("txt_Name"));
  name->setText(QString::fromUtf8(typed));
  tab->cmd_reload_Click();  // the first search of a run: timed below
  QApplication::processEvents();
  for (auto _ : state) {
    tab->cmd_reload_Click();
    QApplication::processEvents();
  }
  state.counters["lines"] = window.findChild<tv::ListBox*>(QStringLiteral("lst_CardList"))->count();
}
void BM_FloorQuery(benchmark::State& state) { keystroke(state, ""); }
BENCHMARK(BM_FloorQuery)->Apply(timing);
void BM_Query(benchmark::State& state, const char* typed) { keystroke(state, typed); }
BENCHMARK_CAPTURE(BM_Query, draw_creature_mv3, "o:カードを１枚引く t:クリーチャー mv<=3")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, o_hiku, "o:引く")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, o_draw_a_card, "o:\"draw a card\"")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, goblin_red_mv2, "t:ゴブリン c:r mv<=2")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, within_rg_not_land, "c<=rg -t:土地")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, w_or_u_pow3_rare, "(c:w or c:u) pow>=3 r>=r")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, name_or_elf, "らのわーる or t:エルフ")->Apply(timing);
BENCHMARK_CAPTURE(BM_Query, tap_symbol_not_red, "o:{T} -c:r")->Apply(timing);

// What the start-up window makes for the searches: the card catalogue (the
// floor), and with it what the queries read of every row.
void prepare(benchmark::State& state, bool queries) {
  tv::AppContext ctx;
  for (auto _ : state) {
    state.PauseTiming();
    ctx.gCardDb = BenchData::get().open();
    ctx.gCardFacts.reset();
    state.ResumeTiming();
    tv::prepareCardCatalogue(*ctx.gCardDb, ctx.gSortField);
    if (queries) tv::prepareQueryTables(*ctx.gCardDb, tv::cardFacts(ctx));
  }
}
void BM_FloorPrepareQueries(benchmark::State& state) { prepare(state, false); }
BENCHMARK(BM_FloorPrepareQueries)->Apply(timing);
void BM_PrepareQueries(benchmark::State& state) { prepare(state, true); }
BENCHMARK(BM_PrepareQueries)->Apply(timing);

// 1 MiB of accented letters with no space to cut at, and brackets that never close.
const QString& hostileText() {
  static const QString text = QStringLiteral("éüøÆ\u0301").repeated(100000) + QString(100000, u'(') +
                              QString(100000, u'{') + QStringLiteral("Æther (Ｔ)：(緑)").repeated(20000);
  return text;
}
void BM_FoldHostileText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tv::foldRulesText(hostileText()));
  state.counters["chars"] = double(hostileText().size());
}
BENCHMARK(BM_FoldHostileText)->Apply(timing);
void BM_FloorFoldHostileText(benchmark::State& state) {
  UErrorCode err = U_ZERO_ERROR;
  const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCCasefoldInstance(err);
  const icu::UnicodeString in(false, reinterpret_cast<const UChar*>(hostileText().utf16()),
                              int32_t(hostileText().size()));
  for (auto _ : state) benchmark::DoNotOptimize(nfkc->normalize(in, err));
}
BENCHMARK(BM_FloorFoldHostileText)->Apply(timing);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

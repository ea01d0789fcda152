// The name box's query on the card databases of benchdata.h, every expansion
// selected, through a real window painted on the offscreen platform: a
// keystroke for each query of the table until the card list has painted,
// beside the same keystroke with the box empty (the plain search); the first
// query of a run, which makes what the queries read, beside the first plain
// search; folding a long hostile rules text beside the normalizer's own pass
// over it.
#include <unicode/normalizer2.h>

#include <QLineEdit>

#include "benchdata.h"
#include "browse/cardcatalogue.h"
#include "text/fold.h"

namespace {

using tvbench::BenchData;
using tvbench::SearchedWindow;

constexpr int kRuns = 15;

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

void keystroke(benchmark::State& state, const BenchData& data, const char* typed) {
  SearchedWindow w(data);
  w.find<QLineEdit>("txt_Name")->setText(QString::fromUtf8(typed));
  w.search();  // the first query of the window: timed below, in the start
  for (auto _ : state) {
    if (!w.search()) state.SkipWithError("the card list did not paint");
    state.counters["then_ms"] = tvbench::idleWork(state);
  }
  state.counters["lines"] = w.list("lst_CardList")->count();
}
constexpr const char* kQuery = "o:カードを１枚引く t:クリーチャー mv<=3";
const tvbench::Add keystrokes[] = {
    {"BM_FloorQueryKeystroke", [](auto& s, const auto& d) { keystroke(s, d, ""); }, timing},
    {"BM_QueryKeystroke", [](auto& s, const auto& d) { keystroke(s, d, kQuery); }, timing},
    {"BM_Query/o_hiku", [](auto& s, const auto& d) { keystroke(s, d, "o:引く"); }, timing},
    {"BM_Query/o_draw_a_card", [](auto& s, const auto& d) { keystroke(s, d, "o:\"draw a card\""); }, timing},
    {"BM_Query/goblin_red_mv2", [](auto& s, const auto& d) { keystroke(s, d, "t:ゴブリン c:r mv<=2"); },
     timing},
    {"BM_Query/within_rg_not_land", [](auto& s, const auto& d) { keystroke(s, d, "c<=rg -t:土地"); }, timing},
    {"BM_Query/w_or_u_pow3_rare", [](auto& s, const auto& d) { keystroke(s, d, "(c:w or c:u) pow>=3 r>=r"); },
     timing},
    {"BM_Query/name_or_elf", [](auto& s, const auto& d) { keystroke(s, d, "らのわーる or t:エルフ"); },
     timing},
    {"BM_Query/tap_symbol_not_red", [](auto& s, const auto& d) { keystroke(s, d, "o:{T} -c:r"); }, timing},
};

// The first search of a run as the start leaves it (catalogue and names
// made), every expansion selected: a query makes its tables then, the card
// facts read with them; the floor is the first plain search.
void firstSearch(benchmark::State& state, const BenchData& data, const char* typed) {
  tv::AppContext ctx;
  tv::SearchFilter filter;
  filter.name = QString::fromUtf8(typed);
  for (auto _ : state) {
    state.PauseTiming();
    ctx = tv::AppContext();
    ctx.gCardDb = data.open();
    tv::prepareSearches(ctx);
    if (filter.selectedSets.isEmpty()) {
      auto rs = ctx.gCardDb->openRecordset(QStringLiteral("SELECT CardsetNo FROM tbl_CardSet"),
                                           tv::RecordsetType::Snapshot, tv::dbForwardOnly);
      for (; !rs.eof(); rs.moveNext()) filter.selectedSets << rs.field(u"CardsetNo").toInt();
    }
    state.ResumeTiming();
    benchmark::DoNotOptimize(tv::searchCards(ctx, filter));
    ctx.gCardDb->runDeferred();
  }
}
const tvbench::Add firsts[] = {
    {"BM_FloorFirstQuery", [](auto& s, const auto& d) { firstSearch(s, d, ""); }, timing},
    {"BM_FirstQuery", [](auto& s, const auto& d) { firstSearch(s, d, kQuery); }, timing},
};

// 1.4 million characters: accented letters with no space to cut at, brackets that never close.
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

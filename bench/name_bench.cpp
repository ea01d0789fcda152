// The name box and text decks on the large card database (about 82,000
// printings): one keystroke's search over every expansion through the
// window, beside the same search with the box empty; reading the names once
// a run; reading a pasted 75-card list. Read the medians (CPU time beside
// the real time where the machine is shared).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "deck/decktext.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 15;

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

// A main window over the large database with every expansion selected.
struct Window {
  tv::AppContext ctx;
  std::unique_ptr<tv::Main> window;
  tv::DeckBuildTab* tab = nullptr;
  QLineEdit* name = nullptr;
  tv::ListBox* cardList = nullptr;
  Window() {
    ctx.gCardDb = BenchData::get().open();
    window = std::make_unique<tv::Main>(ctx);
    window->show();
    tab = window->findChild<tv::DeckBuildTab*>();
    name = window->findChild<QLineEdit*>(QStringLiteral("txt_Name"));
    cardList = window->findChild<tv::ListBox*>(QStringLiteral("lst_CardList"));
    window->findChild<tv::ListBox*>(QStringLiteral("lst_CardSet"))->selectAll();
    tv::cardNames(ctx);       // read once a run, when the box is entered: timed on its own below
    tab->cmd_reload_Click();  // what a start has made by the first keystroke
    QApplication::processEvents();
  }
};

// What the typing pause sets off: the search, the card list and both deck
// lists filled. The empty box is the plain search, for comparison.
void BM_NameKeystroke(benchmark::State& state, const char* typed) {
  Window w;
  w.name->setText(QString::fromUtf8(typed));
  for (auto _ : state) {
    w.tab->cmd_reload_Click();
    QApplication::processEvents();
  }
  state.counters["lines"] = w.cardList->count();
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
  tv::AppContext ctx;
  ctx.gCardDb = BenchData::get().open();
  QString text;
  auto rs = ctx.gCardDb->openRecordset(
      "SELECT NameE, NameN FROM tbl_CardMst WHERE CardSetEx = 'IN' ORDER BY NameE LIMIT 75",
      tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
    if (i == 60) text += "\nSideboard\n";
    text += QStringLiteral("%1 %2\n").arg(1 + i % 4).arg(rs.text(i % 2 ? u"NameE" : u"NameN"));
  }
  const auto names = tv::cardNames(ctx);
  for (auto _ : state) benchmark::DoNotOptimize(tv::importDeckText(text, *names));
}
BENCHMARK(BM_ImportPastedDeck)->Apply(timing);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

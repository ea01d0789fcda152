// The name box and text decks on the card databases of benchdata.h, through a
// real window painted on the offscreen platform: the first keystroke of a run
// (the box entered, a key typed, the search until the card list has painted;
// the typing pause left out), later keystrokes beside the empty box (the plain
// search), reading the names, reading a pasted 75-card list.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "browse/search.h"
#include "deck/decktext.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 15;

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

using tvbench::SearchedWindow;

// The box entered and "s" typed in a window that has just started; the
// search the typing pause sets off runs at once.
void BM_FirstKeystroke(benchmark::State& state, const BenchData& data) {
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<SearchedWindow>(data);
    auto* name = w->find<QLineEdit>("txt_Name");
    QApplication::processEvents();
    state.ResumeTiming();
    name->setFocus(Qt::MouseFocusReason);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::NoModifier, QStringLiteral("s"));
    QApplication::sendEvent(name, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, QStringLiteral("s"));
    QApplication::sendEvent(name, &release);
    const bool painted = w->search();
    state.counters["then_ms"] = tvbench::idleWork(state);
    state.PauseTiming();
    if (!painted || name->text() != u"s") state.SkipWithError("the keystroke did not search");
    state.counters["lines"] = w->list("lst_CardList")->count();
    w.reset();
    state.ResumeTiming();
  }
}
const tvbench::Add first("BM_FirstKeystroke", BM_FirstKeystroke, timing);

// A keystroke once the box is in use; the empty box is the plain search.
void BM_NameKeystroke(benchmark::State& state, const BenchData& data, const char* typed) {
  SearchedWindow w(data);
  w.find<QLineEdit>("txt_Name")->setText(QString::fromUtf8(typed));
  for (auto _ : state) {
    if (!w.search()) state.SkipWithError("the card list did not paint");
    state.counters["then_ms"] = tvbench::idleWork(state);
  }
  state.counters["lines"] = w.list("lst_CardList")->count();
}
const tvbench::Add keystrokes[] = {
    {"BM_NameKeystroke/empty_box", [](auto& s, const auto& d) { BM_NameKeystroke(s, d, ""); }, timing},
    {"BM_NameKeystroke/ra", [](auto& s, const auto& d) { BM_NameKeystroke(s, d, "ら"); }, timing},
    {"BM_NameKeystroke/s", [](auto& s, const auto& d) { BM_NameKeystroke(s, d, "s"); }, timing},
    {"BM_NameKeystroke/llanowar", [](auto& s, const auto& d) { BM_NameKeystroke(s, d, "llanowar"); }, timing},
    {"BM_NameKeystroke/ranowaaru", [](auto& s, const auto& d) { BM_NameKeystroke(s, d, "らのわーる"); },
     timing},
};

void BM_ReadCardNames(benchmark::State& state, const BenchData& data) {
  auto db = data.open();
  for (auto _ : state) benchmark::DoNotOptimize(tv::CardNames::load(*db));
}
const tvbench::Add names("BM_ReadCardNames", BM_ReadCardNames, timing);

void BM_ImportPastedDeck(benchmark::State& state, const BenchData& data) {
  tv::AppContext ctx;
  ctx.gCardDb = data.open();
  QString text;
  auto rs = ctx.gCardDb->openRecordset(
      "SELECT NameE, NameN FROM tbl_CardMst WHERE CardSetEx = (SELECT CardsetEx FROM tbl_CardSet "
      "WHERE CardsetNo = 0) ORDER BY NameE LIMIT 75",
      tv::RecordsetType::Snapshot, tv::dbForwardOnly);
  for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
    if (i == 60) text += "\nSideboard\n";
    text += QStringLiteral("%1 %2\n").arg(1 + i % 4).arg(rs.text(i % 2 ? u"NameE" : u"NameN"));
  }
  const auto names = tv::cardNames(ctx);
  for (auto _ : state) benchmark::DoNotOptimize(tv::importDeckText(text, *names));
}
const tvbench::Add pasted("BM_ImportPastedDeck", BM_ImportPastedDeck, timing);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

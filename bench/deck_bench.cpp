// One click of the deck buttons, change and refresh of a 75-line deck (60
// lines of main deck, 15 of sideboard), on the large card database, each
// with its undo step. Each benchmark times one click and takes it back
// untimed; read the medians.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/deckbuildtab.h"
#include "app/mainwindow.h"
#include "benchdata.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 25;

struct DeckWindow {
  tv::AppContext ctx;
  std::unique_ptr<tv::Main> window;
  tv::DeckBuildTab* tab = nullptr;
  tv::ListBox* list(const char* name) const {
    return window->findChild<tv::ListBox*>(QLatin1StringView(name));
  }

  explicit DeckWindow(const BenchData& data) {
    ctx.gCardDb = data.open();
    window = std::make_unique<tv::Main>(ctx);
    window->show();
    tab = window->findChild<tv::DeckBuildTab*>();
    // 75 different limited cards, two copies each: 60 in the main deck, 15 in the sideboard.
    ctx.gCardDb->execute(
        "INSERT INTO wtbl_DecList (CardSetEx, NameE, NameN, CardMaisu, NumCost, CAttack, CDefence) SELECT "
        "CardSetEx, NameE, NameN, 2, NumCost, CAttack, CDefence FROM tbl_CardMst WHERE CardType <> 'BL' "
        "AND CardSetEx = '8E' ORDER BY NameE LIMIT 60");
    ctx.gCardDb->execute(
        "INSERT INTO wtbl_DecSideList (CardSetEx, NameE, NameN, CardMaisu, NumCost, CAttack, CDefence) "
        "SELECT "
        "CardSetEx, NameE, NameN, 2, NumCost, CAttack, CDefence FROM tbl_CardMst WHERE CardType <> 'BL' "
        "AND CardSetEx = 'SC' ORDER BY NameE LIMIT 15");
    tab->cmd_reload_Click();
    list("lst_DecList")->setCurrentRow(30);  // shows that card: the one the add buttons add
    QApplication::processEvents();
  }
};

template <typename Timed, typename Undo>
void clicks(benchmark::State& state, Timed timed, Undo undo) {
  for (auto _ : state) {
    timed();
    QApplication::processEvents();
    state.PauseTiming();
    undo();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}

void BM_AddClick(benchmark::State& state, const BenchData& data) {
  DeckWindow d(data);
  clicks(
      state, [&] { d.tab->cmd_AddMain_Click(); }, [&] { d.tab->cmd_DellMain_Click(); });
}

// The same click without its undo step: the floor of BM_AddClick.
void BM_AddClickWithoutUndoStep(benchmark::State& state, const BenchData& data) {
  DeckWindow d(data);
  d.tab->setDeckChangeRunner([](tv::DeckStep, const std::function<void()>& change) { change(); });
  clicks(
      state, [&] { d.tab->cmd_AddMain_Click(); }, [&] { d.tab->cmd_DellMain_Click(); });
}

// 元に戻す after an add: the tables put back and both lists redrawn.
void BM_UndoClick(benchmark::State& state, const BenchData& data) {
  DeckWindow d(data);
  d.tab->cmd_AddMain_Click();
  clicks(
      state, [&] { d.window->M_Undo_Click(); }, [&] { d.window->M_Redo_Click(); });
}

void BM_RemoveClick(benchmark::State& state, const BenchData& data) {
  DeckWindow d(data);
  clicks(
      state, [&] { d.tab->cmd_DellMain_Click(); }, [&] { d.tab->cmd_AddMain_Click(); });
}

void BM_MoveClick(benchmark::State& state, const BenchData& data) {
  DeckWindow d(data);
  clicks(
      state, [&] { d.tab->cmd_MoveSide_Click(); },
      [&] {
        // Back up from the sideboard line the card went to.
        const QString line =
            d.list("lst_DecList")->text(d.list("lst_DecList")->currentRow()).section("  ", 1);
        d.list("lst_DecSideList")
            ->setCurrentRow(
                int(d.list("lst_DecSideList")
                        ->lines()
                        .indexOf(QRegularExpression("^\\d+  " + QRegularExpression::escape(line) + "$"))));
        d.tab->cmd_MoveMain_Click();
        d.list("lst_DecList")->setCurrentRow(30);
      });
  if (d.list("lst_DecList")->count() != 60 || d.list("lst_DecSideList")->count() != 15)
    state.SkipWithError("the deck did not come back");
}

const tvbench::Add addClick("BM_AddClick", BM_AddClick, tvbench::timed(kRuns));
const tvbench::Add addClickWithoutUndoStep("BM_AddClickWithoutUndoStep", BM_AddClickWithoutUndoStep,
                                           tvbench::timed(kRuns));
const tvbench::Add undoClick("BM_UndoClick", BM_UndoClick, tvbench::timed(kRuns));
const tvbench::Add removeClick("BM_RemoveClick", BM_RemoveClick, tvbench::timed(kRuns));
const tvbench::Add moveClick("BM_MoveClick", BM_MoveClick, tvbench::timed(kRuns));

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

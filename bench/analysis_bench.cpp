// The deck analysis after a change of a 75-line deck (60 lines of main deck,
// 15 of sideboard) on the large card database: everything the tab shows
// (statistics, the check, draw odds, the comparison, a sample hand), and the
// check alone, each beside its floor: the deck tables joined with the card
// master, read through the engine.
#include <benchmark/benchmark.h>

#include "analysis/deckanalysis.h"
#include "analysis/samplehand.h"
#include "benchdata.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 25;

struct BenchDeck {
  std::unique_ptr<tv::Database> db = BenchData::get().open();
  tv::CardFactsTable facts;
  tv::DeckCards other;

  BenchDeck() {
    // 75 different cards, two copies each.
    db->execute(
        "INSERT INTO wtbl_DecList (CardSetEx, NameE, NameN, CardMaisu, NumCost, CAttack, CDefence) SELECT "
        "CardSetEx, NameE, NameN, 2, NumCost, CAttack, CDefence FROM tbl_CardMst WHERE CardSetEx = '8E' "
        "ORDER BY NameE LIMIT 60");
    db->execute(
        "INSERT INTO wtbl_DecSideList (CardSetEx, NameE, NameN, CardMaisu, NumCost, CAttack, CDefence) "
        "SELECT "
        "CardSetEx, NameE, NameN, 2, NumCost, CAttack, CDefence FROM tbl_CardMst WHERE CardSetEx = 'SC' "
        "ORDER BY NameE LIMIT 15");
    // Facts of every name of the deck, as the card data would give them.
    const tv::DeckCards cards = tv::readDeckCards(*db, "NameE");
    for (const QString& name : tv::deckNames(cards)) {
      tv::CardFacts f;
      f.colorIdentity = "G";
      f.typeLine = "Creature — Elf";
      f.text = "{T}: Add {G}.";
      facts.add(name, f, {{"modern", tv::Legality::Legal}, {"commander", tv::Legality::Legal}});
    }
    // The version compared with: a few cards fewer and other ones.
    other = cards;
    other.main.resize(50);
    other.side.swap(other.main);
  }

  tv::AnalysisRequest request() const {
    tv::AnalysisRequest r;
    r.format = "modern";
    r.facts = &facts;
    r.oddsLines = {3, 10};
    r.other = &other;
    return r;
  }

  // The floor: what any analysis reads, the deck tables joined with the master.
  void readJoined() {
    for (const char* table : {"wtbl_DecList", "wtbl_DecSideList"}) {
      auto rs = db->openRecordset(
          QString("SELECT d.CardMaisu, m.CardSetEx, m.NameE, m.NameN, m.CardType, m.Cost, m.NumCost, m.TextN "
                  "FROM tbl_CardMst m INNER JOIN %1 d ON m.CardSetEx = d.CardSetEx AND m.NameE = d.NameE")
              .arg(table),
          tv::RecordsetType::Snapshot, tv::dbForwardOnly);
      for (; !rs.eof(); rs.moveNext())
        for (QStringView column :
             {u"CardMaisu", u"CardSetEx", u"NameE", u"NameN", u"CardType", u"Cost", u"NumCost", u"TextN"})
          benchmark::DoNotOptimize(rs.text(column));
    }
  }
};

void BM_AnalyseDeck(benchmark::State& state) {
  BenchDeck d;
  for (auto _ : state) {
    const tv::DeckAnalysis a = tv::analyseDeck(*d.db, d.request());
    tv::SampleHand hand(a.cards.main, 1);
    benchmark::DoNotOptimize(hand.lines());
    if (a.cards.main.size() != 60 || a.cards.side.size() != 15 || !a.check || !a.comparison)
      state.SkipWithError("unexpected analysis");
  }
}

void BM_CheckDeck(benchmark::State& state) {
  BenchDeck d;
  for (auto _ : state) {
    const tv::DeckCards cards = tv::readDeckCards(*d.db, "NameE");
    const tv::DeckCheck check =
        tv::checkDeck(cards, "modern", d.facts.facts(tv::deckNames(cards), "modern"), true);
    benchmark::DoNotOptimize(check.problems);
  }
}

void BM_FloorAnalyseDeck(benchmark::State& state) {
  BenchDeck d;
  for (auto _ : state) d.readJoined();
}

void BM_FloorCheckDeck(benchmark::State& state) { BM_FloorAnalyseDeck(state); }

BENCHMARK(BM_AnalyseDeck)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_FloorAnalyseDeck)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_CheckDeck)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });
BENCHMARK(BM_FloorCheckDeck)->Apply([](auto* b) { tvbench::timedRuns(b, kRuns); });

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

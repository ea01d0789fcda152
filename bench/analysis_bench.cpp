// The deck analysis after a change of a 75-line deck (60 lines of main deck,
// 15 of sideboard) on the large card database with card facts for every name
// in its tables, read as the program reads them (StoredCardFacts):
// everything the tab shows (statistics, the check, draw odds, the
// comparison, a sample hand), and the check alone that the deck lists' red
// lines need, each beside its floor: the deck tables joined with the card
// master, read through the engine. Reading the facts once a run is timed
// too.
#include <benchmark/benchmark.h>

#include "analysis/deckanalysis.h"
#include "analysis/samplehand.h"
#include "benchdata.h"
#include "carddb/schema.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 25;

// The tables `import` writes, for every name of the card master: all legal
// in MTGJSON's 19 formats. Written once into a benchmark card database that has none.
void addCardFacts(const BenchData& data) {
  auto db = tv::Database::open(data.appDir() + "/cards.db", tv::kCardDbConnect);
  if (tv::OracleFacts::present(*db)) return;
  tv::createCardFactsTables(*db);
  db->execute(
      "INSERT INTO tbl_Format (Format) VALUES ('alchemy'), ('brawl'), ('commander'), ('duel'), "
      "('explorer'), ('future'), ('gladiator'), ('historic'), ('historicbrawl'), ('legacy'), ('modern'), "
      "('oldschool'), ('pauper'), ('paupercommander'), ('penny'), ('pioneer'), ('premodern'), "
      "('standard'), ('vintage')");
  db->execute(
      "INSERT INTO tbl_CardOracle (NameE, Colors, ColorIdentity, ManaValue, TypeLineE, TextE, Commander, "
      "Partner, AnyNumber) SELECT NameE, 'G', 'G', MAX(NumCost), 'Creature — Elf', '{T}: Add {G}.', 0, 0, 0 "
      "FROM tbl_CardMst GROUP BY NameE");
  db->execute(
      "INSERT INTO tbl_CardLegality (CardNo, FormatNo, Legality) SELECT CardNo, FormatNo, 'Legal' "
      "FROM tbl_CardOracle, tbl_Format");
}

struct BenchDeck {
  std::unique_ptr<tv::Database> db;
  std::unique_ptr<tv::StoredCardFacts> facts;
  tv::DeckCards other;

  explicit BenchDeck(const BenchData& data)
      : db((addCardFacts(data), data.open())), facts(tv::StoredCardFacts::load(*db)) {
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
    if (!facts) qFatal("no card facts");
    const tv::DeckCards cards = tv::readDeckCards(*db, "NameE");
    // The version compared with: a few cards fewer and other ones.
    other = cards;
    other.main.resize(50);
    other.side.swap(other.main);
  }

  tv::AnalysisRequest request() const {
    tv::AnalysisRequest r;
    r.format = "modern";
    r.facts = facts.get();
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

void BM_AnalyseDeck(benchmark::State& state, const BenchData& data) {
  BenchDeck d(data);
  for (auto _ : state) {
    const tv::DeckAnalysis a = tv::analyseDeck(*d.db, d.request());
    tv::SampleHand hand(a.cards.main, 1);
    benchmark::DoNotOptimize(hand.lines());
    if (a.cards.main.size() != 60 || a.cards.side.size() != 15 || !a.check || !a.comparison)
      state.SkipWithError("unexpected analysis");
  }
}

void BM_CheckDeck(benchmark::State& state, const BenchData& data) {
  BenchDeck d(data);
  for (auto _ : state) {
    const tv::DeckCheck check = tv::checkDeckTables(*d.db, d.request());
    if (!check.available) state.SkipWithError("no facts");
    benchmark::DoNotOptimize(check.problems);
  }
}

void BM_LoadCardFacts(benchmark::State& state, const BenchData& data) {
  BenchDeck d(data);
  for (auto _ : state) {
    const auto facts = tv::OracleFacts::load(*d.db);
    if (!facts || facts->cards().empty()) state.SkipWithError("no facts");
  }
}

void BM_FloorAnalyseDeck(benchmark::State& state, const BenchData& data) {
  BenchDeck d(data);
  for (auto _ : state) d.readJoined();
}

void BM_FloorCheckDeck(benchmark::State& state, const BenchData& data) { BM_FloorAnalyseDeck(state, data); }

const tvbench::Add analyseDeck("BM_AnalyseDeck", BM_AnalyseDeck, tvbench::timed(kRuns));
const tvbench::Add floorAnalyseDeck("BM_FloorAnalyseDeck", BM_FloorAnalyseDeck, tvbench::timed(kRuns));
const tvbench::Add checkDeck("BM_CheckDeck", BM_CheckDeck, tvbench::timed(kRuns));
const tvbench::Add floorCheckDeck("BM_FloorCheckDeck", BM_FloorCheckDeck, tvbench::timed(kRuns));
const tvbench::Add loadCardFacts("BM_LoadCardFacts", BM_LoadCardFacts, tvbench::timed(5));

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

// The deck output of a 75-line deck (60 lines of main deck, 15 of sideboard)
// on the large card database: the whole deck-print text, the HTML page with
// card text written to a file, and the printed deck list as a PDF file. Beside
// each, its floor: the engine alone running the same queries and reading the
// same rows; Qt's PDF writer alone drawing the same lines. Read the medians.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "benchdata.h"
#include "deck/decklist.h"
#include "output/deckprint.h"
#include "output/htmldecklist.h"
#include "output/printjob.h"
#include "output/sheets.h"
#include "text/atomicfile.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 25;

// Repetitions of as many iterations as the library finds worth timing.
void repeated(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(tvbench::runs(kRuns));
}

struct Deck {
  std::unique_ptr<tv::Database> db;
  explicit Deck(const BenchData& data) : db(data.open()) {
    for (auto [table, set, lines] :
         {std::tuple{tv::kMainDeckTable, "8E", 60}, {tv::kSideDeckTable, "SC", 15}})
      db->execute(
          "INSERT INTO " + table +
          " (CardSetEx, NameE, NameN, CardMaisu, NumCost, CAttack, CDefence) SELECT CardSetEx, NameE, "
          "NameN, 2, NumCost, CAttack, CDefence FROM tbl_CardMst WHERE CardSetEx = '" +
          set + "' ORDER BY NameE LIMIT " + QString::number(lines));
  }
};

// Every row of every query the builders run, read field by field and thrown away.
void readAll(tv::Database& db, const QStringList& queries) {
  for (const QString& sql : queries) {
    auto rs = db.openRecordset(sql, tv::RecordsetType::Snapshot, tv::dbForwardOnly);
    for (; !rs.eof(); rs.moveNext())
      for (int i = 0; i < rs.fieldCount(); ++i) benchmark::DoNotOptimize(rs.text(rs.fieldName(i)));
  }
}

QStringList sectionQueries(const QString& columns, const QString& from, const QString& order) {
  QStringList queries;
  for (const QString& table : {tv::kMainDeckTable, tv::kSideDeckTable})
    for (const tv::DeckSection& s : tv::deckSections())
      queries << "SELECT " + table + ".CardMaisu, " + columns + QString(from).replace("%T", table) +
                     tv::sectionWhere(s) + order;
  return queries;
}

void BM_PrintText(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  for (auto _ : state) benchmark::DoNotOptimize(tv::DeckPrintText(*d.db, {}).RefreshPrintPreview());
  const QString text = tv::DeckPrintText(*d.db, {}).RefreshPrintPreview();
  if (!text.startsWith(QStringLiteral("★メイン120枚")) || !text.contains(QStringLiteral("★サイドボード30枚")))
    state.SkipWithError("the deck is not the 75 lines it should be");
}

void BM_PrintTextEngineOnly(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  QStringList queries = sectionQueries(
      "tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.Color, tbl_CardMst.Cost, "
      "tbl_CardMst.Rare, tbl_CardMst.CardType",
      " FROM tbl_CardMst INNER JOIN %T ON (tbl_CardMst.CardSetEx = %T.CardSetEx) AND (tbl_CardMst.NameE = "
      "%T.NameE)",
      " ORDER BY tbl_CardMst.NameE");
  queries << "SELECT wtbl_DecList.CardMaisu, tbl_CardMst.NumCost FROM tbl_CardMst INNER JOIN wtbl_DecList ON "
             "(tbl_CardMst.CardSetEx = wtbl_DecList.CardSetEx) AND (tbl_CardMst.NameE = wtbl_DecList.NameE)";
  for (auto _ : state) readAll(*d.db, queries);
}

void BM_HtmlWithCardText(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  QTemporaryDir dir;
  const QString path = dir.filePath("deck.html");
  for (auto _ : state) {
    const QString page = tv::HtmlDeckList(*d.db, true).page(QStringLiteral("ベンチマーク"));
    if (!tv::writeFileAtomically(path, tv::htmlFileBytes(page), nullptr)) state.SkipWithError("write failed");
  }
}

void BM_HtmlEngineOnly(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  const QStringList queries = sectionQueries(
      "tbl_CardMst.CardSetEx, tbl_CardMst.NameE, tbl_CardMst.NameN, tbl_CardMst.Color, tbl_CardMst.Cost, "
      "tbl_CardMst.TextN, tbl_CardMst.CAttack, tbl_CardMst.CDefence, tbl_CardMst.CType, tbl_CardMst.Rare, "
      "tbl_CardMst.CardType, tbl_CardSet.Cardset",
      " FROM (tbl_CardMst INNER JOIN %T ON (tbl_CardMst.CardSetEx = %T.CardSetEx) AND (tbl_CardMst.NameE = "
      "%T.NameE)) INNER JOIN tbl_CardSet ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx",
      " ORDER BY tbl_CardMst.Color,tbl_CardMst.NameE");
  for (auto _ : state) readAll(*d.db, queries);
}

tv::DeckPrintTexts deckListTexts(tv::Database& db) {
  return {QStringLiteral("ベンチマーク・土地"), QStringLiteral("一行目"),
          tv::DeckPrintText(db, {}).RefreshPrintPreview(), QStringLiteral("2.21"),
          QStringLiteral("2026/12/06")};
}

void BM_DeckListPdf(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  const tv::DeckPrintTexts texts = deckListTexts(*d.db);
  QTemporaryDir dir;
  for (auto _ : state) tv::PrintDeckList(*tv::QtPrintJob::forPdf(dir.filePath("deck.pdf")), texts);
}

void BM_DeckListPdfQtOnly(benchmark::State& state, const BenchData& data) {
  Deck d(data);
  const tv::DeckPrintTexts texts = deckListTexts(*d.db);
  const QStringList lines =
      tv::printedLines(texts.version + u'\n' + texts.title + u'\n' + texts.comment + u'\n' + texts.deck);
  for (auto _ : state) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&out);
    QPainter painter(&pdf);
    painter.setFont(QFont(tv::kFixedPitchFace, 12));
    qreal y = 0;
    for (const QString& line : lines) painter.drawText(QPointF(0, y += 250), line);
    painter.end();
    benchmark::DoNotOptimize(out.data().size());
  }
}

const tvbench::Add printText("BM_PrintText", BM_PrintText, repeated);
const tvbench::Add printTextEngineOnly("BM_PrintTextEngineOnly", BM_PrintTextEngineOnly, repeated);
const tvbench::Add htmlWithCardText("BM_HtmlWithCardText", BM_HtmlWithCardText, repeated);
const tvbench::Add htmlEngineOnly("BM_HtmlEngineOnly", BM_HtmlEngineOnly, repeated);
const tvbench::Add deckListPdf("BM_DeckListPdf", BM_DeckListPdf, repeated);
const tvbench::Add deckListPdfQtOnly("BM_DeckListPdfQtOnly", BM_DeckListPdfQtOnly, repeated);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

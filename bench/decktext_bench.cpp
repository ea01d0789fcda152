// Reading a text deck list as large as the dialog takes (1 MiB; a sixteenth
// in the smoke run) on the large card database: the lines that once froze
// the reader beside lists of real card lines, each beside its floor, the
// same bytes read as plain lines (UTF-8 decoded, split at line ends). Read
// the medians.
#include <benchmark/benchmark.h>

#include <map>

#include "benchdata.h"
#include "deck/decktext.h"
#include "session/context.h"

namespace {

using tvbench::BenchData;

constexpr int kRuns = 9;

qsizetype scaled(qsizetype n) { return tvbench::smoke() ? n / 16 : n; }

struct Reader {
  tv::AppContext ctx;
  std::shared_ptr<const tv::CardNames> names;
  explicit Reader(const BenchData& data) {
    ctx.gCardDb = data.open();
    names = tv::cardNames(ctx);
  }
  static Reader& get(const BenchData& data) {
    static std::map<QString, std::unique_ptr<Reader>> readers;
    auto& reader = readers[data.name()];
    if (!reader) reader = std::make_unique<Reader>(data);
    return *reader;
  }
};

// Lines made of `line(i)` as long as the list stays within 1 MiB.
template <typename Line>
QByteArray filled(Line line) {
  QByteArray out;
  for (int i = 0;; ++i) {
    const QByteArray next = line(i).toUtf8() + '\n';
    if (out.size() + next.size() > scaled(tv::kMaxDeckTextFileSize)) return out;
    out += next;
  }
}

// Card lines as players paste them: English and Japanese names, counts up
// to 9 (over the limit of four now and then), an expansion code on some.
QByteArray realDeckLines(const BenchData& data, bool known) {
  QStringList names;
  auto rs = Reader::get(data).ctx.gCardDb->openRecordset(
      "SELECT CardSetEx, NameE, NameN FROM tbl_CardMst ORDER BY NameE", tv::RecordsetType::Snapshot,
      tv::dbForwardOnly);
  for (int i = 0; !rs.eof(); rs.moveNext(), ++i) {
    const QString name = rs.text(i % 2 ? u"NameN" : u"NameE");
    names << (known ? name : name + QStringLiteral("の影")) +
                 (i % 3 ? QString() : " (" + rs.text(u"CardSetEx") + ')');
  }
  return filled([&](int i) { return QStringLiteral("%1 %2").arg(1 + i % 9).arg(names[i % names.size()]); });
}

// 0 to 5: a card line with a run of 200,000, 500,000 or 1,000,000 blanks
// before "(", then the same with "(AB) x y" after the run.
QByteArray worstCase(const BenchData& data, int which) {
  if (which < 6) {
    const qsizetype runs[] = {200'000, 500'000, 1'000'000};
    return "4 Lightning Bolt" + QByteArray(scaled(runs[which % 3]), ' ') + (which < 3 ? "(" : "(AB) x y");
  }
  switch (which) {
    case 6:
      return "4 " + QString(scaled(333'333), QChar(0xFDFA)).toUtf8();  // each NFKC'd to 18 characters
    case 7:
      return "4 a" + QString(scaled(524'000), QChar(0x301)).toUtf8();  // marks after a letter
    case 8:
      return filled([](int) { return QStringLiteral("x"); });  // half a million unreadable lines
    case 9:
      return realDeckLines(data, true);
    default:
      return realDeckLines(data, false);
  }
}

void BM_ReadDeckText(benchmark::State& state, const BenchData& data, int which) {
  Reader& r = Reader::get(data);
  const QByteArray bytes = worstCase(data, which);
  qsizetype problems = 0;
  if (!tv::deckTextFromBytes(bytes)) return state.SkipWithError("not UTF-8");
  for (auto _ : state) {  // the bytes decoded and read, as from a file
    const auto read = tv::importDeckText(*tv::deckTextFromBytes(bytes), *r.names);
    problems = read.problems.size();
  }
  state.counters["KiB"] = double(bytes.size()) / 1024;
  state.counters["problems"] = double(problems);
}

void BM_FloorReadDeckText(benchmark::State& state, const BenchData& data, int which) {
  const QByteArray bytes = worstCase(data, which);
  for (auto _ : state) benchmark::DoNotOptimize(QString::fromUtf8(bytes).split(u'\n'));
}

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

// Each case beside its floor.
const std::pair<const char*, int> kCases[] = {{"blanks_200k", 0},
                                              {"blanks_500k", 1},
                                              {"blanks_1M", 2},
                                              {"blanks_200k_then_set_words", 3},
                                              {"blanks_500k_then_set_words", 4},
                                              {"blanks_1M_then_set_words", 5},
                                              {"fdfa_333k", 6},
                                              {"marks_524k", 7},
                                              {"unreadable_lines", 8},
                                              {"card_lines", 9},
                                              {"unknown_names", 10}};
const bool registered = [] {
  for (const auto& [name, which] : kCases) {
    const int w = which;
    tvbench::Add(
        std::string("BM_ReadDeckText/") + name,
        [w](benchmark::State& s, const BenchData& d) { BM_ReadDeckText(s, d, w); }, timing);
    tvbench::Add(
        std::string("BM_FloorReadDeckText/") + name,
        [w](benchmark::State& s, const BenchData& d) { BM_FloorReadDeckText(s, d, w); }, timing);
  }
  return true;
}();

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

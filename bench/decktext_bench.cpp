// Reading a text deck list as large as the dialog takes (1 MiB; a sixteenth
// in the smoke run) on the large card database: the lines that once froze
// the reader beside lists of real card lines, each beside its floor, the
// same bytes read as plain lines (UTF-8 decoded, split at line ends). Read
// the medians.
#include <benchmark/benchmark.h>

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
  Reader() {
    ctx.gCardDb = BenchData::get().open();
    names = tv::cardNames(ctx);
  }
  static Reader& get() {
    static Reader reader;
    return reader;
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
QByteArray realDeckLines(bool known) {
  QStringList names;
  auto rs = Reader::get().ctx.gCardDb->openRecordset(
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
QByteArray worstCase(int which) {
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
      return realDeckLines(true);
    default:
      return realDeckLines(false);
  }
}

void BM_ReadDeckText(benchmark::State& state, int which) {
  Reader& r = Reader::get();
  const QByteArray bytes = worstCase(which);
  qsizetype problems = 0;
  if (!tv::deckTextFromBytes(bytes)) return state.SkipWithError("not UTF-8");
  for (auto _ : state) {  // the bytes decoded and read, as from a file
    const auto read = tv::importDeckText(*tv::deckTextFromBytes(bytes), *r.names);
    problems = read.problems.size();
  }
  state.counters["KiB"] = double(bytes.size()) / 1024;
  state.counters["problems"] = double(problems);
}

void BM_FloorReadDeckText(benchmark::State& state, int which) {
  const QByteArray bytes = worstCase(which);
  for (auto _ : state) benchmark::DoNotOptimize(QString::fromUtf8(bytes).split(u'\n'));
}

void timing(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns)->ReportAggregatesOnly(); }

#define READ_CASE(name, which)                                    \
  BENCHMARK_CAPTURE(BM_ReadDeckText, name, which)->Apply(timing); \
  BENCHMARK_CAPTURE(BM_FloorReadDeckText, name, which)->Apply(timing)

READ_CASE(blanks_200k, 0);
READ_CASE(blanks_500k, 1);
READ_CASE(blanks_1M, 2);
READ_CASE(blanks_200k_then_set_words, 3);
READ_CASE(blanks_500k_then_set_words, 4);
READ_CASE(blanks_1M_then_set_words, 5);
READ_CASE(fdfa_333k, 6);
READ_CASE(marks_524k, 7);
READ_CASE(unreadable_lines, 8);
READ_CASE(card_lines, 9);
READ_CASE(unknown_names, 10);

}  // namespace

int main(int argc, char** argv) { return tvbench::runBenchmarks(argc, argv); }

// The large card database the benchmarks run on: the sample's cards under N
// times as many expansion codes (TV_BENCH_REPEAT, 20 by default: 82,380
// printings; 50: 205,950), with TV.ini beside it as in an installed program
// folder. Built once per benchmark program by talviks-carddb in a process of
// its own, so the builder's memory is not the benchmark's. TV_BENCH_CARDDB
// names a card database to run on instead.
//
// TV_BENCH_SMOKE=1 (the test suite's run) takes the sample itself and two
// runs of each benchmark: it shows that they work, not how fast.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "core/startup.h"

namespace tvbench {

inline bool smoke() { return qEnvironmentVariableIntValue("TV_BENCH_SMOKE") != 0; }

// Repetitions of a benchmark: each one a single timed run.
inline int runs(int full) { return smoke() ? 2 : full; }

inline int repeat() {
  if (smoke()) return 1;
  bool ok = false;
  const int n = qEnvironmentVariableIntValue("TV_BENCH_REPEAT", &ok);
  return ok && n > 0 ? n : 20;
}

class BenchData {
 public:
  static BenchData& get() {
    static BenchData data;
    return data;
  }
  QString appDir() const { return dir_.path(); }

  // The card database as the program opens it.
  std::unique_ptr<tv::Database> open() const {
    tv::StartupOutcome outcome = tv::InitApplication(appDir(), false);
    if (!outcome.ok()) qFatal("%s", qPrintable(outcome.error));
    return std::move(outcome.gCardDb);
  }

 private:
  BenchData() {
    const QString data = QStringLiteral(TV_SOURCE_DIR "/data/");
    const QString given = qEnvironmentVariable("TV_BENCH_CARDDB");
    if (!given.isEmpty()) {
      if (!QFile::copy(given, dir_.filePath(QStringLiteral("cards.db"))))
        qFatal("cannot copy %s", qPrintable(given));
    } else {
      const int code =
          QProcess::execute(QStringLiteral(TV_CARDDB_TOOL),
                            {"build", "--cards", data + "cards.csv", "--sets", data + "sets.csv", "--tokens",
                             data + "tokens.csv", "-o", dir_.filePath(QStringLiteral("cards.db")), "--repeat",
                             QString::number(repeat())});
      if (code != 0) qFatal("talviks-carddb build failed");
    }
    QFile ini(dir_.filePath(QStringLiteral("TV.ini")));
    if (!ini.open(QIODevice::WriteOnly)) qFatal("cannot write TV.ini");
    ini.write("[File]\r\nLocalDataFile=cards.db\r\n");
  }
  QTemporaryDir dir_;
};

// The console report, and after it each benchmark's median beside the median
// of its floor (BM_FloorX beside BM_X) measured in the same run.
class FloorReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& [name, floor] : medians_) {
      if (name.rfind("BM_Floor", 0) != 0) continue;
      const auto program = medians_.find("BM_" + name.substr(8));
      if (program == medians_.end() || floor <= 0) continue;
      std::printf("%s / %s: %.2f (medians %.1f / %.1f)\n", program->first.c_str(), name.c_str(),
                  program->second / floor, program->second, floor);
    }
  }

 private:
  std::map<std::string, double> medians_;
};

// Median, lowest and highest of single runs: what the reports quote.
template <typename B>
B* timedRuns(B* b, int full) {
  return b->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(1)
      ->Repetitions(runs(full))
      ->ComputeStatistics("min",
                          [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
      ->ComputeStatistics("max",
                          [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

// main() of a benchmark program: headless, the database built before timing starts.
inline int runBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The choices a window remembers are the run's own: the user's neither count nor change.
  const QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  // A smoke run times each benchmark briefly, however it asks to be timed.
  std::vector<char*> args(argv, argv + argc);
  char quick[] = "--benchmark_min_time=0.001";
  if (smoke()) args.insert(args.begin() + 1, quick);
  argc = int(args.size());
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BenchData::get();
  FloorReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace tvbench

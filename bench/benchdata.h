// The large card database the benchmarks run on: the sample's cards under 20
// times as many expansion codes (about 85,000 printings), with TV.ini beside
// it as in an installed program folder. Built once per benchmark program;
// TV_BENCH_CARDDB names a card database to run on instead.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/core/startup.h"
#include "carddb/builder.h"

namespace tvbench {

class BenchData {
 public:
  static constexpr int kRepeat = 20;

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
      tvtools::buildCardDatabase({data + "cards.csv", data + "sets.csv", data + "tokens.csv",
                                  dir_.filePath(QStringLiteral("cards.db")), kRepeat});
    }
    QFile ini(dir_.filePath(QStringLiteral("TV.ini")));
    if (!ini.open(QIODevice::WriteOnly)) qFatal("cannot write TV.ini");
    ini.write("[File]\r\nLocalDataFile=cards.db\r\n");
  }
  QTemporaryDir dir_;
};

// main() of a benchmark program: headless, the database built before timing starts.
inline int runBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BenchData::get();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace tvbench

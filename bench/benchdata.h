// The card databases the benchmarks run on, each in a folder of its own with
// TV.ini beside it as in an installed program folder:
//   real   the sample as the run script makes it from data/ with the importer
//          (161 expansions, 40,107 printings of distinct cards)
//   real3  that sample under three times its expansion codes (120,321
//          printings: more than every paper printing to date)
//   x20    cards.csv's 4,119 cards under 20 times their codes (82,380)
//   x50    the same 50 times (205,950): many printings, few distinct values
// talviks-carddb makes each in a process of its own (so the builder's memory
// is not the benchmark's) and it is kept in the build folder until the tool or
// the card data is newer. TV_BENCH_DATA lists the databases of a run
// ("real,real3" unless given); every benchmark runs on each, its name ending
// in the database's. TV_BENCH_CARDDB names a card database to run on instead
// ("given").
//
// TV_BENCH_SMOKE=1 (the test suite's run) takes one or two runs of each
// benchmark, on the real sample unless told: it shows that they work, not how
// fast.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "app/deckbuildtab.h"
#include "app/listbox.h"
#include "app/mainwindow.h"
#include "browse/search.h"
#include "core/startup.h"
#include "session/context.h"

namespace tvbench {

inline bool smoke() { return qEnvironmentVariableIntValue("TV_BENCH_SMOKE") != 0; }

// Repetitions of a benchmark: each one a single timed run.
inline int runs(int full, int inSmoke = 2) { return smoke() ? inSmoke : full; }

// The card databases of this run.
inline QStringList dataNames() {
  if (!qEnvironmentVariableIsEmpty("TV_BENCH_CARDDB")) return {QStringLiteral("given")};
  const QString given = qEnvironmentVariable("TV_BENCH_DATA");
  if (!given.isEmpty()) return given.split(u',', Qt::SkipEmptyParts);
  if (smoke()) return {QStringLiteral("real")};
  return {QStringLiteral("real"), QStringLiteral("real3")};
}

class BenchData {
 public:
  // The card database of that name, made or brought up to date at first use.
  static const BenchData& get(const QString& name) {
    static std::map<QString, std::unique_ptr<BenchData>> made;
    auto& data = made[name];
    if (!data) data.reset(new BenchData(name));
    return *data;
  }
  QString name() const { return name_; }
  // The folder with TV.ini and cards.db.
  QString appDir() const { return dir_; }

  // The card database as the program opens it.
  std::unique_ptr<tv::Database> open() const {
    tv::StartupOutcome outcome = tv::InitApplication(appDir(), false);
    if (!outcome.ok()) qFatal("%s", qPrintable(outcome.error));
    return std::move(outcome.gCardDb);
  }

  // The card database as the start-up window leaves it (its catalogue and
  // names made): made once a benchmark program, lent to one context at a time.
  void lend(tv::AppContext& ctx) const {
    if (!started_.gCardDb) {
      started_.gCardDb = open();
      tv::prepareSearches(started_);
    }
    ctx.gCardDb = std::move(started_.gCardDb);
    ctx.gCardNames = started_.gCardNames;
  }
  void takeBack(tv::AppContext& ctx) const { started_.gCardDb = std::move(ctx.gCardDb); }

 private:
  explicit BenchData(const QString& name) : name_(name), dir_(QStringLiteral(TV_BENCH_CACHE "/") + name) {
    QDir().mkpath(dir_);
    const QString db = dir_ + QStringLiteral("/cards.db");
    const QString data = QStringLiteral(TV_SOURCE_DIR "/data/");
    QStringList inputs{QStringLiteral(TV_CARDDB_TOOL)}, args;
    if (name == u"given") {
      QFile::remove(db);
      if (!QFile::copy(qEnvironmentVariable("TV_BENCH_CARDDB"), db)) qFatal("cannot copy TV_BENCH_CARDDB");
    } else if (name == u"real" || name == u"real3") {
      inputs << data + "AllPrintings-subset.json.xz" << data + "whisper-cards.xml.xz" << data + "sets.csv"
             << data + "tokens.csv";
      args << "import"
           << "--mtgjson" << inputs[1] << "--whisper" << inputs[2] << "--sets" << inputs[3] << "--tokens"
           << inputs[4] << "--repeat" << (name == u"real" ? "1" : "3");
    } else if (name == u"x20" || name == u"x50") {
      inputs << data + "cards.csv" << data + "sets.csv" << data + "tokens.csv";
      args << "build"
           << "--cards" << inputs[1] << "--sets" << inputs[2] << "--tokens" << inputs[3] << "--repeat"
           << name.mid(1);
    } else {
      qFatal("unknown card database '%s' (real, real3, x20, x50)", qPrintable(name));
    }
    if (!args.isEmpty() && !upToDate(db, inputs)) {
      std::fprintf(stderr, "making the card database '%s'\n", qPrintable(name));
      // The tool writes a temporary file and renames it: a run beside this one sees the old file or the new.
      QProcess tool;
      tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
      tool.start(QStringLiteral(TV_CARDDB_TOOL), args << "-o" << db);
      if (!tool.waitForFinished(-1) || tool.exitCode() != 0) qFatal("talviks-carddb failed");
    }
    QFile ini(dir_ + QStringLiteral("/TV.ini"));
    if (!ini.open(QIODevice::WriteOnly)) qFatal("cannot write TV.ini");
    ini.write("[File]\r\nLocalDataFile=cards.db\r\n");
  }
  static bool upToDate(const QString& made, const QStringList& inputs) {
    const QFileInfo out(made);
    if (!out.exists()) return false;
    return std::all_of(inputs.begin(), inputs.end(),
                       [&](const QString& in) { return QFileInfo(in).lastModified() <= out.lastModified(); });
  }
  QString name_, dir_;
  mutable tv::AppContext started_;
};

// --- benchmarks run once per card database

using DataBenchmark = std::function<void(benchmark::State&, const BenchData&)>;
using Setup = std::function<void(benchmark::internal::Benchmark*)>;

struct Entry {
  std::string name;
  DataBenchmark run;
  Setup setup;
};
inline std::vector<Entry>& entries() {
  static std::vector<Entry> all;
  return all;
}

// Registers a benchmark to run on every card database of the run.
struct Add {
  Add(std::string name, DataBenchmark run, Setup setup) {
    entries().push_back({std::move(name), std::move(run), std::move(setup)});
  }
};

// Median, lowest and highest of single runs: what the reports quote. Real
// time, unless the benchmark measures each run itself (`manual`).
inline benchmark::internal::Benchmark* timedRuns(benchmark::internal::Benchmark* b, int full, int inSmoke = 2,
                                                 bool manual = false) {
  if (manual)
    b->UseManualTime();
  else
    b->UseRealTime();
  return b->Unit(benchmark::kMillisecond)
      ->Iterations(1)
      ->Repetitions(runs(full, inSmoke))
      ->ComputeStatistics("min",
                          [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
      ->ComputeStatistics("max",
                          [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}
inline Setup timed(int full) {
  return [full](benchmark::internal::Benchmark* b) { timedRuns(b, full); };
}

// --- painting

// Runs `action`, then the event loop until `widget` has painted: what the
// player waits for ends when the result is on screen.
template <typename F>
bool untilPainted(QWidget* widget, F&& action) {
  struct Watch : QObject {
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) painted = true;
      return false;
    }
  } watch;
  widget->installEventFilter(&watch);
  action();
  QElapsedTimer waited;
  waited.start();
  // The paint and the flush to the screen come in one pass of the loop.
  while (!watch.painted && waited.elapsed() < 5000) QApplication::processEvents();
  widget->removeEventFilter(&watch);
  return watch.painted;
}

// Milliseconds of what the program does once idle again (what it left for
// after the paint), untimed by the benchmark itself.
inline double idleWork(benchmark::State& state) {
  state.PauseTiming();
  QElapsedTimer spent;
  spent.start();
  QApplication::processEvents();
  const double ms = double(spent.nsecsElapsed()) / 1e6;
  state.ResumeTiming();
  return ms;
}

// A main window over a card database as a start leaves it, every expansion
// selected and searched, the list painted.
struct SearchedWindow {
  const BenchData& data;
  tv::AppContext ctx;
  std::unique_ptr<tv::Main> window;
  tv::DeckBuildTab* tab = nullptr;

  explicit SearchedWindow(const BenchData& from) : data(from) {
    data.lend(ctx);
    window = std::make_unique<tv::Main>(ctx);
    window->show();
    window->activateWindow();
    tab = window->findChild<tv::DeckBuildTab*>();
    list("lst_CardSet")->selectAll();
    search();
    QApplication::processEvents();
  }
  ~SearchedWindow() {
    window.reset();
    data.takeBack(ctx);
  }
  SearchedWindow(const SearchedWindow&) = delete;
  SearchedWindow& operator=(const SearchedWindow&) = delete;

  template <typename Control = tv::ListBox>
  Control* find(const char* name) const {
    return window->findChild<Control*>(QLatin1StringView(name));
  }
  tv::ListBox* list(const char* name) const { return find(name); }
  // A click on 再検索 (or what the name box's typing pause sets off) until
  // the card list has painted.
  bool search() {
    return untilPainted(list("lst_CardList")->viewport(), [&] { tab->cmd_reload_Click(); });
  }
};

// --- the report

// The display report Google Benchmark's flags choose, and after it each
// benchmark's median beside the median of its floor measured in the same run
// (BM_FloorX/d beside BM_X/d): on the console below the table, else on the
// error stream, so that a JSON or CSV report stays whole.
class FloorReporter : public benchmark::BenchmarkReporter {
 public:
  explicit FloorReporter(benchmark::BenchmarkReporter* shown) : shown_(shown) {}
  bool ReportContext(const Context& context) override {
    shown_->SetOutputStream(&GetOutputStream());
    shown_->SetErrorStream(&GetErrorStream());
    return shown_->ReportContext(context);
  }
  void ReportRuns(const std::vector<Run>& runs) override {
    shown_->ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }
  void Finalize() override {
    shown_->Finalize();
    std::ostream& out =
        dynamic_cast<benchmark::ConsoleReporter*>(shown_) ? GetOutputStream() : GetErrorStream();
    for (const auto& [name, floor] : medians_) {
      if (name.rfind("BM_Floor", 0) != 0) continue;
      const auto program = medians_.find("BM_" + name.substr(8));
      if (program == medians_.end() || floor <= 0) continue;
      char line[300];
      std::snprintf(line, sizeof line, "%s / %s: %.2f (medians %.1f / %.1f)\n", program->first.c_str(),
                    name.c_str(), program->second / floor, program->second, floor);
      out << line;
    }
    out.flush();
  }

 private:
  benchmark::BenchmarkReporter* shown_;
  std::map<std::string, double> medians_;
};

// main() of a benchmark program: headless unless told otherwise, each
// benchmark registered once per card database.
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
  for (const QString& data : dataNames())
    for (const Entry& e : entries()) {
      const std::string name = e.name + "/" + data.toStdString();
      auto* b = benchmark::RegisterBenchmark(
          name.c_str(), [run = e.run, data](benchmark::State& state) { run(state, BenchData::get(data)); });
      e.setup(b);
    }
  FloorReporter reporter(benchmark::CreateDefaultDisplayReporter());
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace tvbench

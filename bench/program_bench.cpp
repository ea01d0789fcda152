// The real program as a player starts and uses it: each run execs the built
// program (copied beside the card database of benchdata.h, where it looks for
// TV.ini) with a runtime folder of its own, on an X server this benchmark
// starts for itself (Xvfb: a real X connection, fonts and painting, none of
// which the offscreen platform has), and watches its windows through the
// DAMAGE extension: a window counts as shown when its first drawing reaches
// the server.
//   BM_Start          exec to the start-up window shown; the main window's
//                     times and the memory (VmRSS, PSS) after start as counters
//   BM_FullSearch     every expansion selected (click, Ctrl+A) and 再検索
//                     clicked: from the click to the card list drawn; the
//                     memory after it and the first keystroke in the name box
//                     (key to card list drawn, the typing pause taken off)
//   BM_FloorStart     the floor: exec of a Qt program that shows one empty
//                     window, to that window shown, and its memory
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <optional>
#include <thread>

#include "app/deckbuildtab.h"
#include "app/listbox.h"
#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowopen.h"
#include "benchdata.h"

// Last: Xlib's macros (None, Bool, KeyPress, ...) would clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

using tvbench::BenchData;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 11;
constexpr auto kTimeout = std::chrono::seconds(20);
constexpr const char* kBlankWindow = "--tv-blank-window";

double msBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// A child process started with posix_spawn and ended (SIGKILL) with its object.
class Child {
 public:
  // `stop` ends it: SIGKILL for a program that needs no last word, SIGTERM for
  // a server that removes its lock and socket.
  Child(const QStringList& args, const QStringList& extraEnv, int stop = SIGKILL) : stop_(stop) {
    std::vector<QByteArray> argBytes, envBytes;
    for (const QString& a : args) argBytes.push_back(a.toLocal8Bit());
    for (char** e = environ; *e; ++e) {
      const QByteArray entry(*e);
      const QByteArray key = entry.left(entry.indexOf('=') + 1);
      bool replaced = false;
      for (const QString& x : extraEnv) replaced |= x.toLocal8Bit().startsWith(key);
      if (!replaced) envBytes.push_back(entry);
    }
    for (const QString& x : extraEnv) envBytes.push_back(x.toLocal8Bit());
    std::vector<char*> argv, envp;
    for (QByteArray& a : argBytes) argv.push_back(a.data());
    for (QByteArray& e : envBytes) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDIN_FILENO);
    started_ = Clock::now();
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(devNull);
  }
  ~Child() {
    if (pid_ <= 0) return;
    kill(pid_, stop_);
    waitpid(pid_, nullptr, 0);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  pid_t pid() const { return pid_; }
  Clock::time_point started() const { return started_; }

 private:
  int stop_;
  pid_t pid_ = -1;
  Clock::time_point started_;
};

// A process's resident memory (VmRSS: of it the files mapped, libraries and
// fonts above all, and the rest) and its proportional set size (Pss), in MB.
struct Memory {
  double rssMB = 0, fileMB = 0, pssMB = 0;
  void count(benchmark::State& state) const {
    state.counters["rss_MB"] = rssMB;
    state.counters["rss_file_MB"] = fileMB;
    state.counters["pss_MB"] = pssMB;
  }
};
Memory memoryOf(pid_t pid) {
  auto field = [](const QString& file, const char* name) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return 0.0;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (line.startsWith(name))
        return line.mid(qsizetype(strlen(name))).trimmed().split(' ').front().toDouble();
    return 0.0;
  };
  const QString proc = QStringLiteral("/proc/%1/").arg(pid);
  return {field(proc + "status", "VmRSS:") / 1024, field(proc + "status", "RssFile:") / 1024,
          field(proc + "smaps_rollup", "Pss:") / 1024};
}

// Milliseconds of processor time a process (all its threads) has had.
double cpuMsOf(pid_t pid) {
  double ns = 0;
  const QString tasks = QStringLiteral("/proc/%1/task/").arg(pid);
  for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile f(tasks + task + QStringLiteral("/schedstat"));
    if (f.open(QIODevice::ReadOnly)) ns += f.readAll().split(' ').front().toDouble();
  }
  return ns / 1e6;
}

// The X server of this benchmark program: Xvfb on a display number it finds free itself.
class XServer {
 public:
  static XServer& get() {
    static XServer server;
    return server;
  }
  QString display() const { return display_; }

 private:
  XServer() {
    int fds[2];
    if (pipe(fds) != 0) qFatal("pipe");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    xvfb_ = std::make_unique<Child>(
        QStringList{QStringLiteral("/usr/bin/Xvfb"), "-displayfd", QString::number(fds[1]), "-screen", "0",
                    "1600x1200x24", "-nolisten", "tcp"},
        QStringList{}, SIGTERM);  // the pipe's end is inherited
    close(fds[1]);
    if (xvfb_->pid() <= 0) qFatal("cannot start Xvfb (scripts/install-deps.sh installs it)");
    QByteArray number;
    char c;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.isEmpty()) qFatal("Xvfb gave no display number");
    display_ = QStringLiteral(":") + QString::fromLatin1(number);
  }
  std::unique_ptr<Child> xvfb_;
  QString display_;
};

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }  // a window gone before we asked about it

// The top-level windows of one X display: when each was mapped and first drawn, and what was drawn where.
class Watcher {
 public:
  struct Window {
    ::Window id = 0;
    int width = 0, height = 0;
    bool mapped = false;
    std::optional<Clock::time_point> shown;
  };

  explicit Watcher(const QString& display) {
    XSetErrorHandler(ignoreXErrors);
    dpy_ = XOpenDisplay(display.toLatin1().constData());
    if (!dpy_) qFatal("cannot open display %s", qPrintable(display));
    int error = 0, major = 0, minor = 0;
    if (!XDamageQueryExtension(dpy_, &damageEvent_, &error) ||
        !XTestQueryExtension(dpy_, &error, &error, &major, &minor))
      qFatal("the X server lacks DAMAGE or XTEST");
    XSelectInput(dpy_, DefaultRootWindow(dpy_), SubstructureNotifyMask);
    XSync(dpy_, False);
  }
  ~Watcher() { XCloseDisplay(dpy_); }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  void reset() {
    drain();
    windows_.clear();
    drawings_.clear();
  }

  // Handles events until `done` holds or the time is up; false then.
  template <typename F>
  bool until(F&& done, Clock::duration timeout = kTimeout) {
    const auto end = Clock::now() + timeout;
    while (!done()) {
      if (XPending(dpy_) == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
        poll(&p, 1, int(std::min<qint64>(left, 50)));
      }
      drain();
    }
    return true;
  }
  // Handles what comes in for `d`.
  void settle(Clock::duration d) {
    const auto end = Clock::now() + d;
    until([&] { return Clock::now() >= end; }, d + std::chrono::seconds(1));
  }

  // The first window of that size that is drawn; null before.
  const Window* shownOfSize(QSize size) const {
    for (const Window& w : windows_)
      if (w.shown && w.width == size.width() && w.height == size.height()) return &w;
    return nullptr;
  }

  // When something was last drawn inside `rect` of `window` since `since`.
  std::optional<Clock::time_point> drawnIn(::Window window, const QRect& rect,
                                           Clock::time_point since) const {
    for (const auto& [id, area, at] : drawings_)
      if (id == window && at >= since && area.intersects(rect)) return at;
    return std::nullopt;
  }

  void click(::Window window, QPoint at) {
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(dpy_, window, DefaultRootWindow(dpy_), at.x(), at.y(), &x, &y, &child);
    XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), x, y, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XFlush(dpy_);
  }
  void key(KeySym sym, bool control = false) {
    const KeyCode ctrl = XKeysymToKeycode(dpy_, XK_Control_L), code = XKeysymToKeycode(dpy_, sym);
    if (control) XTestFakeKeyEvent(dpy_, ctrl, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy_, code, False, CurrentTime);
    if (control) XTestFakeKeyEvent(dpy_, ctrl, False, CurrentTime);
    XFlush(dpy_);
  }

 private:
  Window* find(::Window id) {
    for (Window& w : windows_)
      if (w.id == id) return &w;
    return nullptr;
  }
  void drain() {
    while (XPending(dpy_) > 0) {
      XEvent e;
      XNextEvent(dpy_, &e);
      const auto now = Clock::now();
      if (e.type == CreateNotify && e.xcreatewindow.parent == DefaultRootWindow(dpy_)) {
        XDamageCreate(dpy_, e.xcreatewindow.window, XDamageReportRawRectangles);
        windows_.push_back(
            {e.xcreatewindow.window, e.xcreatewindow.width, e.xcreatewindow.height, false, {}});
      } else if (e.type == ConfigureNotify) {
        if (Window* w = find(e.xconfigure.window)) {
          w->width = e.xconfigure.width;
          w->height = e.xconfigure.height;
        }
      } else if (e.type == MapNotify) {
        if (Window* w = find(e.xmap.window)) w->mapped = true;
      } else if (e.type == damageEvent_ + XDamageNotify) {
        const auto& d = reinterpret_cast<const XDamageNotifyEvent&>(e);
        Window* w = find(d.drawable);
        if (!w || !w->mapped) continue;
        if (!w->shown) w->shown = now;
        drawings_.push_back({d.drawable, QRect(d.area.x, d.area.y, d.area.width, d.area.height), now});
      }
    }
  }

  Display* dpy_ = nullptr;
  int damageEvent_ = 0;
  std::vector<Window> windows_;
  std::vector<std::tuple<::Window, QRect, Clock::time_point>> drawings_;
};

// Where the controls a run clicks are in the main window: the same window
// laid out in this process (offscreen; the positions are fixed in pixels).
struct Layout {
  QSize startup, main;
  QRect cardSets, reload, cardList, name;
};
Layout layoutOf(const BenchData& data) {
  Layout out;
  {
    tv::WindowOpen splash(QString(), {});
    out.startup = splash.size();
  }
  const tvbench::SearchedWindow searched(data);
  const tv::Main& window = *searched.window;
  out.main = window.size();
  auto rect = [&](const char* name) {
    auto* w = searched.find<QWidget>(name);
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
  };
  out.cardSets = rect("lst_CardSet");
  out.reload = rect("cmd_reload");
  out.cardList = rect("lst_CardList");
  out.name = rect("txt_Name");
  return out;
}

// One start of the program over `data` (or of the blank window), watched from exec on.
class Run {
 public:
  Run(const BenchData& data, Watcher& watcher, bool blank = false) : watcher_(watcher) {
    watcher_.reset();
    runtime_.setAutoRemove(true);
    QFile::setPermissions(runtime_.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QStringList env{"DISPLAY=" + XServer::get().display(), "QT_QPA_PLATFORM=xcb",
                          "XDG_RUNTIME_DIR=" + runtime_.path()};
    const QStringList args = blank ? QStringList{QCoreApplication::applicationFilePath(), kBlankWindow}
                                   : QStringList{programIn(data)};
    child_ = std::make_unique<Child>(args, env);
  }
  const Child& child() const { return *child_; }
  Watcher& watcher() { return watcher_; }

  // The program's copy beside the card database, made once a benchmark run.
  static QString programIn(const BenchData& data) {
    static QMap<QString, QString> copied;
    if (!copied.contains(data.name())) {
      const QString target = data.appDir() + QStringLiteral("/talviks");
      const QString temporary = target + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
      QFile::remove(temporary);
      // A copy renamed over the old one: a program still running keeps its file.
      if (!QFile::copy(QStringLiteral(TV_PROGRAM), temporary) ||
          std::rename(qPrintable(temporary), qPrintable(target)) != 0)
        qFatal("cannot copy the program beside the card database");
      copied.insert(data.name(), target);
    }
    return copied.value(data.name());
  }

 private:
  Watcher& watcher_;
  QTemporaryDir runtime_;
  std::unique_ptr<Child> child_;
};

Watcher& watcher() {
  static Watcher w(XServer::get().display());
  return w;
}

void BM_Start(benchmark::State& state, const BenchData& data) {
  const Layout layout = layoutOf(data);
  Run::programIn(data);
  for (auto _ : state) {
    Run run(data, watcher());
    const Watcher::Window *startup = nullptr, *main = nullptr;
    double startupCpu = 0;
    const bool seen = run.watcher().until([&] {
      if (!startup && (startup = run.watcher().shownOfSize(layout.startup)))
        startupCpu = cpuMsOf(run.child().pid());
      main = run.watcher().shownOfSize(layout.main);
      return startup && main;
    });
    if (!seen) {
      state.SkipWithError(startup ? "no main window" : "no start-up window");
      break;
    }
    run.watcher().settle(std::chrono::milliseconds(300));
    state.SetIterationTime(msBetween(run.child().started(), *startup->shown) / 1000);
    state.counters["main_ms"] = msBetween(run.child().started(), *main->shown);
    state.counters["after_2s_ms"] = msBetween(*startup->shown, *main->shown) - 2000;
    state.counters["cpu_ms"] = startupCpu;
    memoryOf(run.child().pid()).count(state);
  }
}

void BM_FloorStart(benchmark::State& state, const BenchData& data) {
  const Layout layout = layoutOf(data);
  for (auto _ : state) {
    Run run(data, watcher(), true);
    const Watcher::Window* window = nullptr;
    if (!run.watcher().until(
            [&] { return (window = run.watcher().shownOfSize(layout.startup)) != nullptr; })) {
      state.SkipWithError("no window");
      break;
    }
    state.counters["cpu_ms"] = cpuMsOf(run.child().pid());
    run.watcher().settle(std::chrono::milliseconds(300));
    state.SetIterationTime(msBetween(run.child().started(), *window->shown) / 1000);
    memoryOf(run.child().pid()).count(state);
  }
}

void BM_FullSearch(benchmark::State& state, const BenchData& data) {
  const Layout layout = layoutOf(data);
  Run::programIn(data);
  for (auto _ : state) {
    Run run(data, watcher());
    Watcher& x = run.watcher();
    const Watcher::Window* main = nullptr;
    if (!x.until([&] { return (main = x.shownOfSize(layout.main)) != nullptr; })) {
      state.SkipWithError("no main window");
      break;
    }
    const ::Window window = main->id;
    x.settle(std::chrono::milliseconds(300));
    x.click(window, layout.cardSets.topLeft() + QPoint(20, 8));
    x.key(XK_a, true);
    x.settle(std::chrono::milliseconds(200));
    const auto clicked = Clock::now();
    x.click(window, layout.reload.center());
    std::optional<Clock::time_point> drawn;
    if (!x.until([&] { return (drawn = x.drawnIn(window, layout.cardList, clicked)).has_value(); })) {
      state.SkipWithError("the card list was not drawn");
      break;
    }
    state.SetIterationTime(msBetween(clicked, *drawn) / 1000);
    x.settle(std::chrono::milliseconds(300));
    memoryOf(run.child().pid()).count(state);

    x.click(window, layout.name.center());
    x.settle(std::chrono::milliseconds(200));
    const auto typed = Clock::now();
    x.key(XK_s);
    if (!x.until([&] { return (drawn = x.drawnIn(window, layout.cardList, typed)).has_value(); })) {
      state.SkipWithError("the keystroke drew no card list");
      break;
    }
    state.counters["keystroke_ms"] = msBetween(typed, *drawn) - tv::kNameTypingPause;
  }
}

void processRuns(benchmark::internal::Benchmark* b) { tvbench::timedRuns(b, kRuns, 1, true); }
const tvbench::Add start("BM_Start", BM_Start, processRuns);
const tvbench::Add floorStart("BM_FloorStart", BM_FloorStart, processRuns);
const tvbench::Add fullSearch("BM_FullSearch", BM_FullSearch, processRuns);

// The floor's program: one empty window of the start-up window's size.
int blankWindow(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::FramelessWindowHint);
  window.setFixedSize(tv::twips(4815), tv::twips(1575));
  window.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && qstrcmp(argv[1], kBlankWindow) == 0) return blankWindow(argc, argv);
  return tvbench::runBenchmarks(argc, argv);
}

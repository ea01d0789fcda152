// talviks-carddb: makes card databases from card data files and says what one holds.
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <new>

#include "carddb/builder.h"
#include "carddb/database.h"
#include "carddb/import.h"
#include "carddb/info.h"
#include "carddb/progress.h"

namespace {

const char* const kUsage =
    "usage:\n"
    "  talviks-carddb build --cards cards.csv --sets sets.csv [--tokens tokens.csv] -o cards.db\n"
    "  talviks-carddb import --mtgjson AllPrintings.json[.xz|.gz] [--whisper cards.xml[.xz]] [--sets "
    "sets.csv]\n"
    "                 [--tokens tokens.csv] [--set-types core,expansion,...] [--only SET,SET] -o cards.db\n"
    "  talviks-carddb info cards.db\n";

int usage(const QString& problem) {
  QTextStream err(stderr);
  if (!problem.isEmpty()) err << "talviks-carddb: " << problem << "\n";
  err << kUsage;
  return 2;
}

// Every failure ends here: a message, never an abort.
int failure(const QString& message) {
  QTextStream(stderr) << "talviks-carddb: " << message << "\n";
  return 1;
}

// Hidden: N > 1 adds N-1 copies of every expansion under new codes (benchmark card databases).
QCommandLineOption repeatOption() {
  QCommandLineOption repeat(QStringLiteral("repeat"), QString(), QStringLiteral("n"), QStringLiteral("1"));
  repeat.setFlags(QCommandLineOption::HiddenFromHelp);
  return repeat;
}

// The value of --repeat; 0 when it is not a whole number of 1 or more.
int repeatValue(const QCommandLineParser& p) {
  bool ok = false;
  const int n = p.value(QStringLiteral("repeat")).toInt(&ok);
  return ok && n >= 1 ? n : 0;
}

int build(const QStringList& args) {
  QCommandLineParser p;
  const QCommandLineOption cards(QStringLiteral("cards"), QStringLiteral("Cards file."),
                                 QStringLiteral("file"));
  const QCommandLineOption sets(QStringLiteral("sets"), QStringLiteral("Expansions file."),
                                QStringLiteral("file"));
  const QCommandLineOption tokens(QStringLiteral("tokens"), QStringLiteral("Tokens file."),
                                  QStringLiteral("file"));
  const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                  QStringLiteral("Card database."), QStringLiteral("file"));
  const QCommandLineOption repeat = repeatOption();
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  p.addOptions({cards, sets, tokens, output, repeat, help});
  if (!p.parse(args)) return usage(p.errorText());
  if (p.isSet(help)) {
    QTextStream(stdout) << kUsage;
    return 0;
  }
  if (!p.positionalArguments().isEmpty())
    return usage(QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().front()));
  for (const auto* required : {&cards, &sets, &output})
    if (!p.isSet(*required)) return usage(QStringLiteral("missing --%1").arg(required->names().last()));

  tvtools::BuildOptions options{p.value(cards), p.value(sets), p.value(tokens), p.value(output)};
  options.repeat = repeatValue(p);
  if (options.repeat == 0) return usage(QStringLiteral("--repeat needs a whole number of 1 or more"));
  tvtools::buildCardDatabase(options);
  return 0;
}

// A progress line on the terminal, redrawn in place; nothing when standard
// error is not a terminal (a log, a pipe, a test).
std::function<void(const tvtools::ImportProgress&)> terminalProgress() {
  if (!isatty(STDERR_FILENO)) return {};
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  return [clock](const tvtools::ImportProgress& p) {
    winsize size{};
    const int width = ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    const QByteArray line = tvtools::progressLine(p, clock->elapsed(), width - 1).toUtf8();
    std::fprintf(stderr, "\r%s\x1b[K", line.constData());
    std::fflush(stderr);
  };
}

void clearTerminalLine() {
  if (!isatty(STDERR_FILENO)) return;
  std::fputs("\r\x1b[K", stderr);
  std::fflush(stderr);
}

int import(const QStringList& args) {
  QCommandLineParser p;
  auto option = [](const char* name, const char* value) {
    return QCommandLineOption(QString::fromLatin1(name), QString(), QString::fromLatin1(value));
  };
  const QCommandLineOption mtgjson = option("mtgjson", "file"), whisper = option("whisper", "file"),
                           sets = option("sets", "file"), tokens = option("tokens", "file"),
                           setTypes = option("set-types", "list"), only = option("only", "list");
  const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                  QStringLiteral("file"));
  p.addOptions({mtgjson, whisper, sets, tokens, setTypes, only, output, repeatOption()});
  if (!p.parse(args)) return usage(p.errorText());
  if (!p.positionalArguments().isEmpty())
    return usage(QStringLiteral("unexpected argument '%1'").arg(p.positionalArguments().front()));
  for (const auto* required : {&mtgjson, &output})
    if (!p.isSet(*required)) return usage(QStringLiteral("missing --%1").arg(required->names().last()));

  tvtools::ImportOptions o;
  o.mtgjson = p.value(mtgjson);
  o.whisper = p.value(whisper);
  o.sets = p.value(sets);
  o.tokens = p.value(tokens);
  o.output = p.value(output);
  auto listOf = [&](const QCommandLineOption& opt) { return p.value(opt).split(u',', Qt::SkipEmptyParts); };
  if (p.isSet(setTypes)) o.setTypes = listOf(setTypes);
  if (p.isSet(only)) o.only = listOf(only);
  if (o.setTypes.isEmpty()) return usage(QStringLiteral("--set-types needs at least one set type"));
  o.repeat = repeatValue(p);
  if (o.repeat == 0) return usage(QStringLiteral("--repeat needs a whole number of 1 or more"));
  o.progress = terminalProgress();
  tvtools::ImportSummary summary;
  try {
    summary = tvtools::importCardDatabase(o);
  } catch (...) {
    clearTerminalLine();
    throw;
  }
  clearTerminalLine();
  QTextStream out(stdout);
  out << o.output << ": " << summary.sets << " expansions, " << summary.cards << " cards, " << summary.tokens
      << " tokens\n";
  for (auto it = summary.leftOut.cbegin(); it != summary.leftOut.cend(); ++it)
    out << "left out (" << it.key() << "): " << it.value() << "\n";
  out << summary.creatureTypes << " creature types"
      << (summary.readings ? "" : ", in the order of their names: no MeCab dictionary for their readings")
      << "\n";
  if (!summary.untranslatedTypes.isEmpty())
    out << "types without a Japanese name (kept in English): " << summary.untranslatedTypes.join(u' ')
        << "\n";
  if (!summary.unknownSymbols.isEmpty())
    out << "symbols of no known notation (kept as MTGJSON writes them): " << summary.unknownSymbols.join(u' ')
        << "\n";
  return 0;
}

int info(const QStringList& args) {
  if (args.size() != 3) return usage(QStringLiteral("info takes one card database"));
  QTextStream(stdout) << tvtools::describeCardDatabase(args[2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  // The subcommand goes out of the parser's way; it reads the rest as options.
  QStringList rest = args;
  if (args.size() < 2) return usage(QString());
  const QString command = args[1];
  rest.removeAt(1);
  try {
    if (command == u"build") return build(rest);
    if (command == u"import") return import(rest);
    if (command == u"info") return info(args);
    if (command == u"-h" || command == u"--help" || command == u"help") {
      QTextStream(stdout) << kUsage;
      return 0;
    }
    return usage(QStringLiteral("unknown command '%1'").arg(command));
  } catch (const tvtools::BuildError& e) {
    return failure(e.message());
  } catch (const tv::DbError& e) {
    return failure(e.message());
  } catch (const std::bad_alloc&) {
    return failure(QStringLiteral("out of memory"));
  } catch (const std::exception& e) {
    return failure(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    return failure(QStringLiteral("unexpected failure"));
  }
}

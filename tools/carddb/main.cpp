// talviks-carddb: makes card databases from card data files and says what one holds.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "carddb/builder.h"
#include "carddb/info.h"

namespace {

const char* const kUsage =
    "usage:\n"
    "  talviks-carddb build --cards cards.csv --sets sets.csv [--tokens tokens.csv] -o cards.db\n"
    "  talviks-carddb info cards.db\n";

int usage(const QString& problem) {
  QTextStream err(stderr);
  if (!problem.isEmpty()) err << "talviks-carddb: " << problem << "\n";
  err << kUsage;
  return 2;
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
  QCommandLineOption repeat(QStringLiteral("repeat"), QString(), QStringLiteral("n"), QStringLiteral("1"));
  repeat.setFlags(QCommandLineOption::HiddenFromHelp);
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
  bool ok = false;
  options.repeat = p.value(repeat).toInt(&ok);
  if (!ok || options.repeat < 1) return usage(QStringLiteral("--repeat needs a whole number of 1 or more"));
  tvtools::buildCardDatabase(options);
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
    if (command == u"info") return info(args);
    if (command == u"-h" || command == u"--help" || command == u"help") {
      QTextStream(stdout) << kUsage;
      return 0;
    }
    return usage(QStringLiteral("unknown command '%1'").arg(command));
  } catch (const tvtools::BuildError& e) {
    QTextStream(stderr) << "talviks-carddb: " << e.message() << "\n";
    return 1;
  }
}

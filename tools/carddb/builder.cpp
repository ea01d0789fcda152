#include "carddb/builder.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <filesystem>

#include "carddb/csv.h"
#include "carddb/mapping.h"
#include "carddb/schema.h"
#include "text/sqlliteral.h"

namespace tvtools {

SetTable readSets(const QString& path) {
  const CsvTable t = CsvTable::read(path);
  const int cSet = t.require(QStringLiteral("set_code"));
  const int cCode = t.require(QStringLiteral("expansion_code"));
  const int cName = t.require(QStringLiteral("japanese_name"));
  const int cDate = t.require(QStringLiteral("release_date"));
  const int cNameEn = t.column(QStringLiteral("english_name"));

  SetTable out;
  QHash<QString, int> codeLine;  // CardsetEx is unique without regard to case
  for (const CsvRecord& r : t.records()) {
    SetInput s;
    s.line = r.line;
    s.set = r.fields[cSet].trimmed();
    s.code = r.fields[cCode].trimmed();
    s.nameJa = r.fields[cName].trimmed();
    if (s.nameJa.isEmpty() && cNameEn >= 0) s.nameJa = r.fields[cNameEn].trimmed();
    s.releaseDate = r.fields[cDate].trimmed();
    if (s.set.isEmpty()) throw errorAt(path, r.line, QStringLiteral("empty set_code"));
    if (s.code.isEmpty()) throw errorAt(path, r.line, QStringLiteral("empty expansion_code"));
    if (s.nameJa.isEmpty()) throw errorAt(path, r.line, QStringLiteral("set %1 has no name").arg(s.set));
    if (!QDate::fromString(s.releaseDate, Qt::ISODate).isValid())
      throw errorAt(path, r.line,
                    QStringLiteral("release_date '%1' is not a date (YYYY-MM-DD)").arg(s.releaseDate));
    if (out.codeOfSet.contains(s.set))
      throw errorAt(path, r.line, QStringLiteral("set_code %1 appears twice").arg(s.set));
    const QString codeKey = s.code.toUpper();
    if (codeLine.contains(codeKey))
      throw errorAt(path, r.line,
                    QStringLiteral("expansion_code %1 is already used on line %2")
                        .arg(s.code, QString::number(codeLine[codeKey])));
    codeLine.insert(codeKey, r.line);
    out.codeOfSet.insert(s.set, s.code);
    out.sets.push_back(s);
  }
  if (out.sets.empty()) throw errorAt(path, 1, QStringLiteral("no expansions"));
  out.sets = newestFirst(std::move(out.sets));
  return out;
}

namespace {

std::vector<CardRow> readCards(const QString& path, const SetTable& sets, const QString& setsPath) {
  const CsvTable t = CsvTable::read(path);
  auto col = [&](const char* name) { return t.require(QString::fromLatin1(name)); };
  const int cSet = col("set_code"), cNameE = col("english_name"), cNameJa = col("japanese_name"),
            cColors = col("colors"), cCost = col("mana_cost_compact"), cCmc = col("cmc"),
            cRarity = col("rarity"), cPrinted = col("original_type_en"), cOracle = col("type_line_en"),
            cSuper = col("supertypes"), cSub = col("subtypes"), cPower = col("power"),
            cTough = col("toughness"), cTypeJa = col("japanese_type_line"), cTextJa = col("japanese_text");

  std::vector<CardRow> rows;
  rows.reserve(t.records().size());
  for (const CsvRecord& r : t.records()) {
    const QStringList& f = r.fields;
    const CardInput in{f[cSet], f[cNameE],  f[cNameJa],  f[cColors], f[cCost],
                       f[cCmc], f[cRarity], f[cPrinted], f[cOracle], f[cSuper],
                       f[cSub], f[cPower],  f[cTough],   f[cTypeJa], f[cTextJa]};
    try {
      rows.push_back(mapCard(in));
    } catch (const MappingError& e) {
      throw errorAt(path, r.line, QString::fromStdString(e.what()));
    }
    if (!sets.codeOfSet.contains(rows.back().set))
      throw errorAt(
          path, r.line,
          QStringLiteral("set %1 is not in %2").arg(rows.back().set, QFileInfo(setsPath).fileName()));
  }
  if (rows.empty()) throw errorAt(path, 1, QStringLiteral("no cards"));
  return uniquePrintings(std::move(rows));
}

}  // namespace

std::vector<TokenRow> readTokens(const QString& path) {
  const CsvTable t = CsvTable::read(path);
  auto col = [&](const char* name) { return t.require(QString::fromLatin1(name)); };
  const int cNameE = col("english_name"), cNameJa = col("japanese_name"), cColors = col("colors"),
            cPower = col("power"), cTough = col("toughness"), cText = col("text_en");
  std::vector<TokenRow> rows;
  for (const CsvRecord& r : t.records()) {
    const QStringList& f = r.fields;
    try {
      rows.push_back(mapToken({f[cNameE], f[cNameJa], f[cColors], f[cPower], f[cTough], f[cText]}));
    } catch (const MappingError& e) {
      throw errorAt(path, r.line, QString::fromStdString(e.what()));
    }
  }
  return rows;
}

namespace {

// Removes the unfinished file (and its journal) unless the build got through.
struct TempFile {
  QString path;
  bool keep = false;
  ~TempFile() {
    if (keep) return;
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
  }
};

QString temporaryPathFor(const QFileInfo& output) {
  for (;;) {
    const QString candidate =
        output.dir().filePath(QStringLiteral(".%1.%2.tmp")
                                  .arg(output.fileName())
                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
    if (!QFileInfo::exists(candidate)) return candidate;
  }
}

// The expansion code of `code`'s copy k: the code itself, then "-" and a
// number added (a digit alone would meet real codes: MM + 2 is MM2).
QString copyCode(const QString& code, int k) { return k == 0 ? code : code + u'-' + QString::number(k); }

// The table has no unique index (one would change the engine's row order),
// so the codes, copies included, are checked here.
void checkCodesUnique(const QString& output, const SetTable& sets, int repeat) {
  QSet<QString> seen;
  for (int k = 0; k < repeat; ++k)
    for (const SetInput& s : sets.sets) {
      const QString code = copyCode(s.code, k);
      if (seen.contains(code.toUpper()))
        throw BuildError(QStringLiteral("%1: cannot write: expansion code %2 twice").arg(output, code));
      seen.insert(code.toUpper());
    }
}

void writeDatabase(tv::Database& db, const SetTable& sets, const std::vector<CardRow>& cards,
                   const std::vector<TokenRow>& tokens, int repeat,
                   const std::function<void(tv::Database&)>& more) {
  db.execute(QStringLiteral("BEGIN"));
  const int setCount = int(sets.sets.size());
  for (int k = 0; k < repeat; ++k) {
    for (int i = 0; i < setCount; ++i) {
      const SetInput& s = sets.sets[size_t(i)];
      const QString code = copyCode(s.code, k);
      const QString name =
          k == 0 ? s.nameJa : QStringLiteral("%1 (%2)").arg(s.nameJa, QString::number(k + 1));
      tv::insertExpansion(db, k * setCount + i, name, code);
    }
  }
  {
    tv::CardInserter cardRows(db);
    for (int k = 0; k < repeat; ++k) {
      for (const CardRow& c : cards) {
        const QString code = copyCode(sets.codeOfSet.value(c.set), k);
        cardRows.add({code, c.nameE, c.nameN, c.color, c.cost, c.numCost, c.rare, c.cardType, c.textN,
                      c.ctype, c.attack, c.defence});
      }
    }
  }
  for (const TokenRow& t : tokens) tv::insertToken(db, {t.nameN, t.color, t.textN, t.attack, t.defence});
  if (more) more(db);
  db.execute(QStringLiteral("COMMIT"));
}

}  // namespace

void checkOutput(const QString& output, const QStringList& inputs) {
  if (output.isEmpty()) throw BuildError(QStringLiteral("no output file given"));
  const QFileInfo info(output);
  if (info.isDir()) throw BuildError(QStringLiteral("%1: is a folder").arg(output));
  for (const QString& input : inputs)
    if (!input.isEmpty() && info.exists() && QFileInfo(input).canonicalFilePath() == info.canonicalFilePath())
      throw BuildError(QStringLiteral("%1: is also an input file").arg(output));
  if (!info.dir().exists())
    throw BuildError(QStringLiteral("%1: cannot write: folder %2 does not exist")
                         .arg(output, QDir::toNativeSeparators(info.dir().path())));
}

void writeCardDatabase(const QString& output, const SetTable& sets, const std::vector<CardRow>& cards,
                       const std::vector<TokenRow>& tokens, int repeat,
                       const std::function<void(tv::Database&)>& more) {
  checkCodesUnique(output, sets, repeat);
  TempFile temp{temporaryPathFor(QFileInfo(output))};
  try {
    std::unique_ptr<tv::Database> db = tv::createCardDatabase(temp.path);
    writeDatabase(*db, sets, cards, tokens, repeat, more);
  } catch (const tv::DbError& e) {
    throw BuildError(QStringLiteral("%1: cannot write: %2").arg(output, shown(e.message(), 300)));
  }

  std::error_code ec;
  std::filesystem::rename(std::filesystem::path(temp.path.toStdU16String()),
                          std::filesystem::path(output.toStdU16String()), ec);
  if (ec)
    throw BuildError(
        QStringLiteral("%1: cannot write: %2").arg(output, QString::fromStdString(ec.message())));
  temp.keep = true;
}

void buildCardDatabase(const BuildOptions& options) {
  if (options.repeat < 1) throw BuildError(QStringLiteral("repeat must be 1 or more"));
  checkOutput(options.output, {options.cardsCsv, options.setsCsv, options.tokensCsv});

  // All input is read and checked before anything is written.
  const SetTable sets = readSets(options.setsCsv);
  const std::vector<CardRow> cards = readCards(options.cardsCsv, sets, options.setsCsv);
  const std::vector<TokenRow> tokens =
      options.tokensCsv.isEmpty() ? std::vector<TokenRow>() : readTokens(options.tokensCsv);
  writeCardDatabase(options.output, sets, cards, tokens, options.repeat);
}

}  // namespace tvtools

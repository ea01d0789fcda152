// Builds a card database from the card data files (cards, sets, tokens CSV).
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "carddb/error.h"
#include "carddb/mapping.h"

namespace tv {
class Database;
}

namespace tvtools {

struct BuildOptions {
  QString cardsCsv, setsCsv, tokensCsv /* may be empty */, output;
  // N > 1 adds N-1 copies of every expansion under new codes, for benchmark
  // databases of realistic size.
  int repeat = 1;
};

// Writes the card database to a temporary file beside `output` and renames it
// over `output` only when complete, so a failure leaves any old file as it
// was and no new one. Throws BuildError naming the file and line at fault.
void buildCardDatabase(const BuildOptions& options);

// --- the parts every way of making a card database shares --------------

struct SetTable {
  std::vector<SetInput> sets;         // newest first: index = CardsetNo
  QHash<QString, QString> codeOfSet;  // set_code -> expansion code
};

// sets.csv, checked and newest first.
SetTable readSets(const QString& path);
// tokens.csv, checked.
std::vector<TokenRow> readTokens(const QString& path);

// Throws unless `output` can be written: a file name in an existing folder,
// none of the `inputs`.
void checkOutput(const QString& output, const QStringList& inputs);

// Writes the card database (CardRow::set is a set_code of `sets`) to a
// temporary file beside `output`, then renames it over `output`. `more`
// writes further tables in the same transaction.
void writeCardDatabase(const QString& output, const SetTable& sets, const std::vector<CardRow>& cards,
                       const std::vector<TokenRow>& tokens, int repeat = 1,
                       const std::function<void(tv::Database&)>& more = {});

}  // namespace tvtools

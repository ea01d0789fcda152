// Makes a card database from MTGJSON's AllPrintings, with WHISPER's Japanese
// texts where MTGJSON has none.
#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "carddb/mapping.h"
#include "carddb/mtgjson.h"
#include "carddb/oraclecards.h"
#include "carddb/typenames.h"
#include "carddb/whisper.h"

namespace tvtools {

// How far an import has got: after every set of the file, and once more when
// everything is read and the database is being written.
struct ImportProgress {
  int setsRead = 0;                      // sets of the file, imported or not
  int sets = 0, cards = 0;               // imported so far
  qint64 bytesRead = 0, bytesTotal = 0;  // of the file as stored
  bool writing = false;
};

struct ImportOptions {
  QString mtgjson;
  QString whisper;  // may be empty
  QString sets;     // sets.csv: classic codes and Japanese names; may be empty
  QString tokens;   // tokens.csv; may be empty
  QString output;
  QStringList setTypes = defaultSetTypes();
  QStringList only;  // MTGJSON set codes; empty: every set of the chosen types
  // Called in the importing thread. It may throw to stop the import; until
  // the writing report nothing has been written.
  std::function<void(const ImportProgress&)> progress;
  int repeat = 1;  // as BuildOptions::repeat

  static QStringList defaultSetTypes();
};

struct ImportSummary {
  int sets = 0, cards = 0, tokens = 0;
  QMap<QString, int> leftOut;     // reason -> printings
  QStringList unknownSymbols;     // left as MTGJSON writes them
  QStringList untranslatedTypes;  // English types no card gave a Japanese name
  int creatureTypes = 0;
  bool readings = false;  // the creature types' readings came from a dictionary
};

// Same guarantees as buildCardDatabase: everything is read and checked before
// the database is written to a temporary file and renamed over `output`.
ImportSummary importCardDatabase(const ImportOptions& options);

// What the import gathers while it maps one set after another.
struct ImportContext {
  const WhisperCards* whisper = nullptr;
  QMap<QString, int>
      leftOut;  // printings that are no deck cards (Conspiracy and the like), online-only and joke printings
  QSet<QString> unknownSymbols;
  TypeNames typeNames;
  QSet<const WhisperCard*> taughtByWhisper;  // WHISPER's type lines learned from
};

// A card row with what the import keeps beside it.
struct ImportedCard {
  CardRow row;
  QStringList subtypes;  // the front face's, in English: CType is their Japanese
  OracleCard oracle;
};

// The rows of one set: one per English name (the first printing by number),
// multi-face cards as one row.
std::vector<ImportedCard> mapMtgSet(const MtgSet& set, ImportContext& context);

// "{2}{W}{W}" -> "2WW"; a symbol of more than one letter keeps its
// parentheses: "{G/U}" -> "(G/U)".
QString compactManaCost(QStringView manaCost);

}  // namespace tvtools

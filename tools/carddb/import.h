// Makes a card database from MTGJSON's AllPrintings, with WHISPER's Japanese
// texts where MTGJSON has none.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

#include "carddb/mapping.h"
#include "carddb/mtgjson.h"
#include "carddb/whisper.h"

namespace tvtools {

struct ImportOptions {
  QString mtgjson;
  QString whisper;  // may be empty
  QString sets;     // sets.csv: classic codes and Japanese names; may be empty
  QString tokens;   // tokens.csv; may be empty
  QString output;
  QStringList setTypes = defaultSetTypes();
  QStringList only;  // MTGJSON set codes; empty: every set of the chosen types
  int repeat = 1;    // as BuildOptions::repeat

  static QStringList defaultSetTypes();
};

struct ImportSummary {
  int sets = 0, cards = 0, tokens = 0;
  QMap<QString, int> leftOut;  // reason -> printings
};

// Same guarantees as buildCardDatabase: everything is read and checked before
// the database is written to a temporary file and renamed over `output`.
ImportSummary importCardDatabase(const ImportOptions& options);

// The rows of one set: one per English name (the first printing by number),
// multi-face cards as one row. `leftOut` counts printings that are no deck
// cards (Conspiracy and the like, online-only and joke printings).
std::vector<CardRow> mapMtgSet(const MtgSet& set, const WhisperCards* whisper,
                               QMap<QString, int>* leftOut = nullptr);

// "{2}{W}{W}" -> "2WW"; a symbol of more than one letter keeps its
// parentheses: "{G/U}" -> "(G/U)".
QString compactManaCost(QStringView manaCost);

}  // namespace tvtools

// Everything the analysis shows, worked out again after each change of the
// deck: the lines with their cards, the statistics, the check in the chosen
// format, the draw odds of the chosen lines and the comparison with another
// version of the deck.
#pragma once

#include <optional>

#include "analysis/cardfacts.h"
#include "analysis/deckcards.h"
#include "analysis/deckcheck.h"
#include "analysis/deckcompare.h"
#include "analysis/deckstats.h"
#include "analysis/drawodds.h"

namespace tv {

struct AnalysisRequest {
  QString sortField = QStringLiteral("NameE");  // the deck lists' order, so line numbers agree
  QString format;                               // empty: no check
  const CardFactsSource* facts = nullptr;       // none: a card database without facts
  QList<int> oddsLines;                         // main-deck lines whose odds are asked
  const DeckCards* other = nullptr;             // the version compared with, if any
};

struct DeckAnalysis {
  DeckCards cards;
  DeckStats stats;
  std::optional<DeckCheck> check;
  DrawOdds odds;
  std::optional<DeckComparison> comparison;
};

DeckAnalysis analyseDeck(Database& db, const AnalysisRequest& request);

// The check alone, for the deck lists' red lines while the analysis is not
// shown: the deck tables and the facts of their names, nothing else.
DeckCheck checkDeckTables(Database& db, const AnalysisRequest& request);

// The draw odds of some main-deck lines (out-of-range lines are ignored).
DrawOdds oddsOfLines(const DeckCards& deck, const QList<int>& mainLines);

}  // namespace tv

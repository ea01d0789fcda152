#include "analysis/deckanalysis.h"

#include "output/decksections.h"

namespace tv {

DrawOdds oddsOfLines(const DeckCards& deck, const QList<int>& mainLines) {
  qint64 cards = 0, chosen = 0;
  for (qsizetype i = 0; i < deck.main.size(); ++i) {
    const qint64 n = std::max<qint64>(deck.main[i].copies, 0);
    cards = addCopies(cards, n);
    if (mainLines.contains(int(i))) chosen = addCopies(chosen, n);
  }
  return drawOdds(cards, chosen);
}

DeckAnalysis analyseDeck(Database& db, const AnalysisRequest& request) {
  DeckAnalysis a;
  a.cards = readDeckCards(db, request.sortField);
  const bool haveFacts = request.facts && !request.facts->formats().isEmpty();
  const CardFactsMap facts =
      haveFacts ? request.facts->facts(deckNames(a.cards), request.format) : CardFactsMap();
  a.stats = deckStats(a.cards, facts);
  if (!request.format.isEmpty()) a.check = checkDeck(a.cards, request.format, facts, haveFacts);
  a.odds = oddsOfLines(a.cards, request.oddsLines);
  if (request.other) a.comparison = compareDecks(a.cards, *request.other);
  return a;
}

}  // namespace tv

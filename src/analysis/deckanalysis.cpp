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

namespace {

bool haveFacts(const AnalysisRequest& r) { return r.facts && !r.facts->formats().isEmpty(); }

CardFactsMap factsOf(const DeckCards& cards, const AnalysisRequest& r) {
  return haveFacts(r) ? r.facts->facts(deckNames(cards), r.format) : CardFactsMap();
}

}  // namespace

DeckAnalysis analyseDeck(Database& db, const AnalysisRequest& request) {
  DeckAnalysis a;
  a.cards = readDeckCards(db, request.sortField);
  const CardFactsMap facts = factsOf(a.cards, request);
  a.stats = deckStats(a.cards, facts);
  if (!request.format.isEmpty()) a.check = checkDeck(a.cards, request.format, facts, haveFacts(request));
  a.odds = oddsOfLines(a.cards, request.oddsLines);
  if (request.other) a.comparison = compareDecks(a.cards, *request.other);
  return a;
}

DeckCheck checkDeckTables(Database& db, const AnalysisRequest& request) {
  const DeckCards cards = readDeckCards(db, request.sortField);
  return checkDeck(cards, request.format, factsOf(cards, request), haveFacts(request));
}

}  // namespace tv

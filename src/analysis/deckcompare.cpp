#include "analysis/deckcompare.h"

#include <QFileInfo>
#include <QMap>
#include <algorithm>

#include "deck/deckfile.h"
#include "deck/decktext.h"
#include "output/decksections.h"
#include "text/sqlliteral.h"

namespace tv {
namespace {

struct NameCount {
  QString NameE, NameN;
  qint64 current = 0, other = 0;
};

QList<CountChange> compareHalf(const QList<DeckCard>& current, const QList<DeckCard>& other) {
  QMap<QString, NameCount> names;  // by key: English-name order
  auto count = [&](const QList<DeckCard>& cards, qint64 NameCount::*copies) {
    for (const DeckCard& c : cards) {
      NameCount& n = names[nameKey(c.NameE)];
      if (n.NameE.isEmpty()) n.NameE = c.NameE;
      if (n.NameN.isEmpty()) n.NameN = c.NameN;
      n.*copies = addCopies(n.*copies, std::max<qint64>(c.copies, 0));
    }
  };
  count(current, &NameCount::current);
  count(other, &NameCount::other);
  QList<CountChange> changes;
  for (const NameCount& n : names)
    if (n.current != n.other) changes.append({n.NameE, n.NameN, n.current - n.other});
  std::stable_partition(changes.begin(), changes.end(), [](const CountChange& c) { return c.change > 0; });
  return changes;
}

QList<DeckCard> cardsOf(const QList<DeckEntry>& entries, DeckHalf half, Database& db) {
  QList<DeckCard> cards;
  for (const DeckEntry& e : entries) {
    DeckCard c;
    c.ref = {half, int(cards.size())};
    c.CardSetEx = e.CardSetEx;
    c.NameE = e.NameE;
    c.copies = e.CardMaisu;
    auto rs =
        db.openRecordset(QStringLiteral("SELECT NameN FROM tbl_CardMst WHERE CardSetEx = ") +
                             sqlLiteral(e.CardSetEx) + QStringLiteral(" AND NameE = ") + sqlLiteral(e.NameE),
                         RecordsetType::Snapshot, dbForwardOnly);
    if (!rs.eof()) c.NameN = rs.text(u"NameN");
    cards.append(std::move(c));
  }
  return cards;
}

}  // namespace

DeckComparison compareDecks(const DeckCards& current, const DeckCards& other) {
  return {compareHalf(current.main, other.main), compareHalf(current.side, other.side)};
}

DeckCards deckCardsOf(const Deck& deck, Database& db) {
  return {cardsOf(deck.main, DeckHalf::Main, db), cardsOf(deck.side, DeckHalf::Side, db)};
}

QString changeLine(const CountChange& c) {
  // The difference of two saturated counts may itself overflow.
  const QString amount = c.change == INT64_MIN ? QStringLiteral("9223372036854775808")
                                               : QString::number(c.change < 0 ? -c.change : c.change);
  return (c.change < 0 ? QStringLiteral("−") : QStringLiteral("+")) + amount + u' ' +
         cardLabel(c.NameE, c.NameN);
}

QString comparisonText(const DeckComparison& c) {
  if (c.same()) return QStringLiteral("違いはありません\n");
  QString text;
  for (const auto& [heading, lines] : {std::pair{QStringLiteral("メインデッキ"), &c.main},
                                       std::pair{QStringLiteral("サイドボード"), &c.side}}) {
    if (lines->isEmpty()) continue;
    if (!text.isEmpty()) text += u'\n';
    text += heading + u'\n';
    for (const CountChange& change : *lines) text += changeLine(change) + u'\n';
  }
  return text;
}

OtherDeck readOtherDeck(const QString& path, Database& db, const CardNames& names) {
  OtherDeck out;
  if (QFileInfo(path).suffix().compare(u"tvf", Qt::CaseInsensitive) == 0) {
    const DeckFileOutcome read = ReadDeckFile(path);
    if (!read.ok) {
      out.error = read.error;
      return out;
    }
    out.cards = deckCardsOf(read.deck, db);
    return out;
  }
  const DeckTextFile file = readDeckTextFile(path);
  if (!file.text) {
    out.error = file.error;
    return out;
  }
  const DeckTextImport imported = importDeckText(*file.text, names);
  out.unreadLines = int(std::count_if(imported.problems.begin(), imported.problems.end(),
                                      [](const DeckTextProblem& p) { return !p.imported; }));
  out.cards = deckCardsOf(imported.deck, db);
  return out;
}

}  // namespace tv

// The game's rules on a deck in a format, beside the deck lists' own limit of
// four copies of one printing per half: banned, restricted and not legal
// cards, copies of one English name across both halves and every printing,
// the deck's size, and the commander rules.
#pragma once

#include <QList>
#include <QString>

#include "analysis/cardfacts.h"
#include "analysis/deckcards.h"
#include "analysis/formats.h"

namespace tv {

enum class ProblemKind {
  Banned,
  Restricted,
  NotLegal,
  NoFacts,  // the card data knows nothing of the name
  TooManyCopies,
  MainSize,
  SideSize,
  Commander,  // no commander, too many, one that cannot lead, not partners
  ColorIdentity,
};

struct DeckProblem {
  ProblemKind kind;
  QString text;              // for the user: what and which card
  QList<DeckLineRef> lines;  // the deck lines it is about; none for the deck's size
};

struct DeckCheck {
  FormatRules format;
  bool available = true;  // false: the card data holds no legality at all
  QList<DeckProblem> problems;
  bool legal() const { return available && problems.isEmpty(); }
};

// The deck against `format`'s rules with the facts of its names. Without
// facts (`available` false) it says nothing but that.
DeckCheck checkDeck(const DeckCards& deck, const QString& format, const CardFactsMap& facts, bool available);

// The lines of one half that a problem names, each once, in line order.
QList<int> problemLines(const DeckCheck& check, DeckHalf half);

// The English names the check asks facts for, each once.
QStringList deckNames(const DeckCards& deck);

// "モダン：適正", "モダン：問題 3 件", or why there is no check.
QString checkVerdict(const DeckCheck& check);

inline constexpr QStringView kNoFactsText = u"このカードデータには適正の情報がありません";

}  // namespace tv

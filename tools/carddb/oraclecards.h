// What `import` keeps per English name beside the card rows, for the deck
// check and the query language: the card's rules (types, texts, numbers),
// its colour identity, whether it may lead a commander deck, how many copies
// a deck may hold, and its legality per format. All of it is read from the
// card data, never from a list of cards.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

#include "carddb/mtgjson.h"

namespace tv {
class Database;
}

namespace tvtools {

struct OracleCard {
  QString nameE;
  QString colors, colorIdentity;  // letters of WUBRG in that order
  QVariant manaValue, power, toughness, loyalty;
  QString typeLineE, textE;
  QString typeLineJa;  // given once every set is read (TypeNames)
  bool commander = false, partner = false;
  QString partnerWith;
  bool anyNumber = false;
  QVariant copyLimit;                                   // a limit of its own ("up to seven")
  std::vector<std::pair<QString, QString>> legalities;  // format, Legal/Banned/Restricted

  // Each face's English type line and subtypes, for its Japanese type line.
  std::vector<std::pair<QString, QStringList>> faceTypes;
};

// The facts of one printing; `faces` front first. `eitherHalf`: a split card,
// whose colours are both halves'.
OracleCard oracleCard(const std::vector<const MtgFace*>& faces, bool eitherHalf);

// Letters of WUBRG in that order, each once.
QString wubrg(const QStringList& colors);

// The facts of every English name, one printing's with the legalities of all.
class OracleCards {
 public:
  // A printing of a set released on `releaseDate`; the newest printing's
  // facts stand for the name (MTGJSON gives every printing the same but for
  // formats of printings, such as oldschool, where a name is legal when any
  // printing is).
  void add(OracleCard card, const QString& releaseDate);
  std::vector<OracleCard>& cards() { return cards_; }

 private:
  std::vector<OracleCard> cards_;
  std::vector<QString> dates_;
  QHash<QString, size_t> index_;
};

struct SetInfo {
  QString expansionCode, setCode, nameE, releaseDate, type;
};

struct CreatureTypeRow {
  QString nameE, nameJa, reading;
};

// Writes the facts tables (schema.h, cardFactsSchema) into `db`; the creature
// types in reading order.
void writeCardFacts(tv::Database& db, const std::vector<OracleCard>& cards, const std::vector<SetInfo>& sets,
                    std::vector<CreatureTypeRow> creatureTypes);

}  // namespace tvtools

// What the card query (query/query.h) reads of each printing of the card
// catalogue, held as the catalogue holds its columns: each distinct value
// once, folded once, and per printing an index into it. A term is then
// answered once per distinct value (TermHits) and a printing by its indexes.
//
// A printing's colours are its Color code (a multicoloured card's read from
// its Cost), its mana value NumCost (none: 0, as for lands), power and
// toughness CAttack and CDefence as printed, rarity Rare, rules text TextN
// in Japanese: all as the card master holds them, so every card database
// answers them. The English rules text and type line, the Japanese type
// line, colour identity, loyalty and legality are the card facts' of its
// English name (carddb/oraclefacts.h); without them the type lines are the
// card type's labels and the creature type.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "carddb/database.h"
#include "carddb/oraclefacts.h"
#include "query/query.h"

namespace tv {

// The index of a printing that a term's flags go by.
enum class QueryDomain : quint8 {
  None,
  NameE,  // the catalogue's NameE values
  NameN,
  NumCost,
  Attack,
  Defence,
  TextN,  // QueryTables::Printing's indexes
  TypeLine,
  Colors,
  Rarity,
  Set,
};

// A term answered for every distinct value it reads: a printing passes when
// its value in `first` is flagged, or its value in `second`.
struct TermHits {
  QueryDomain first = QueryDomain::None, second = QueryDomain::None;
  std::vector<char> firstHits, secondHits;
};

// Folded texts held end to end, so that a term's text is looked for in one
// pass over all of them (Boyer-Moore-Horspool), not once per text; texts of
// ASCII alone apart, since a Japanese word cannot be in them.
class FoldedTexts {
 public:
  qint32 add(const QString& folded);
  qint32 size() const { return count_; }
  // One flag per text: does it hold `folded`?
  std::vector<char> holding(QStringView folded) const;

 private:
  struct Run {
    std::u16string all;
    std::vector<size_t> starts;
    std::vector<qint32> ids;
    void find(std::u16string_view needle, std::vector<char>& out) const;
  };
  Run ascii_, other_;
  qint32 count_ = 0;
};

class QueryTables {
 public:
  // What the catalogue gives: per printing, and per distinct value of its columns.
  struct Catalogue {
    std::span<const qint64> cardRows;  // per printing: tbl_CardMst's rowid
    std::span<const qint32> setNos;    // its CardsetNo
    std::span<const qint32> names;     // and its NameE, as an index into namesE
    std::span<const QByteArray> namesE;
    std::span<const Cell> numCosts, attacks, defences;
  };
  struct Printing {
    qint32 textN = 0, typeLine = 0, set = 0;
    quint8 colors = 0;  // query::ColorBit
    qint8 rarity = 0;   // query::rarityRank() + 1
  };

  // Reads the card master's values the catalogue does not hold (rules text,
  // cost, rarity, card type), the expansions, and the facts. Throws DbError
  // when the card rows are not those of the catalogue.
  QueryTables(Database& db, const Catalogue& catalogue, std::shared_ptr<const OracleFacts> facts);

  const std::vector<Printing>& printings() const { return printings_; }

  // Every field but the name's, which the card names answer (cardnames.h).
  TermHits hits(const query::Term& term) const;

 private:
  // Flags by NameE value of a test of the name's facts (by index into facts_->cards()).
  std::vector<char> byName(const std::function<bool(size_t card)>& test) const;

  struct Expansion {
    QString code, todayCode;
    QString name, nameE;  // folded
  };

  std::shared_ptr<const OracleFacts> facts_;
  std::vector<qint32> factsOfName_;  // by NameE value: into facts_->cards(), -1 for none
  FoldedTexts factsText_;            // by facts card: English rules text
  std::vector<Printing> printings_;
  FoldedTexts textsN_;
  FoldedTexts typeLinesN_, typeLinesE_;          // Japanese and English, by the same index
  std::vector<std::optional<double>> numCosts_;  // by NumCost value
  std::vector<QString> attacks_, defences_;      // as printed; empty for none
  std::vector<Expansion> expansions_;
};

}  // namespace tv

// One card as the query sees it: a printing (name, expansion, rarity) with
// the facts of its English name (texts, types, colours, numbers, legality).
// Plain values as the card data holds them; `matches` folds what it compares.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "query/query.h"

namespace tv::query {

struct CardRecord {
  QString nameE, nameN;    // nameN empty when the card has none
  QString textJa, textEn;  // rules text, either notation of the symbols
  // Whole type lines: "伝説のクリーチャー ― ゴブリン・戦士", "Legendary Creature — Goblin Warrior"
  QString typeLineJa, typeLineEn;
  quint8 colors = 0, identity = 0;  // ColorBit sets
  std::optional<double> manaValue;
  QString power, toughness, loyalty;  // as printed ("3", "*", "1+*", "X"); empty when the card has none
  QString rarity;                     // tbl_CardMst.Rare's code
  QString setCode, setName;
  QHash<QString, Legality> legalities;  // by format key; a format not listed is NotLegal
};

bool termMatches(const Term& term, const CardRecord& card);
inline bool matches(const Query& query, const CardRecord& card) {
  return query.evaluate([&](const Term& t) { return termMatches(t, card); });
}

}  // namespace tv::query

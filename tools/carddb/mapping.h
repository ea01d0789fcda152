// How card data rows become card-database rows: every rule in one place.
//
// The rules throw MappingError with a message about the value only; the
// builder adds the file and line.
#pragma once

#include <QString>
#include <QVariant>
#include <stdexcept>
#include <vector>

namespace tvtools {

class MappingError : public std::runtime_error {
 public:
  explicit MappingError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// One row of cards.csv, the columns the builder reads.
struct CardInput {
  QString set;          // set_code
  QString nameE;        // english_name
  QString nameJa;       // japanese_name
  QString colors;       // colors: letters of WUBRG
  QString cost;         // mana_cost_compact
  QString cmc;          // cmc
  QString rarity;       // rarity
  QString printedType;  // original_type_en, empty for some variant printings
  QString oracleType;   // type_line_en
  QString supertypes;   // supertypes
  QString subtypes;     // subtypes (English)
  QString power;
  QString toughness;
  QString typeLineJa;  // japanese_type_line
  QString textJa;      // japanese_text
};

// What cards.csv does not have; the MTGJSON import knows it.
struct CardExtras {
  QString enchantTarget;  // what an aura enchants: "creature" of "Enchant creature"
  QString loyalty;        // a planeswalker's starting loyalty
};

// A tbl_CardMst row; an invalid QVariant is Null.
struct CardRow {
  QString set;  // the set_code; the builder turns it into the expansion code
  QString nameE;
  QVariant nameN, color, cost, numCost, rare, cardType, textN, ctype, attack, defence;
};

struct TokenInput {
  QString nameE, nameJa, colors, power, toughness, text;
};

struct TokenRow {
  QVariant nameN, color, textN, attack, defence;
};

struct SetInput {
  int line = 0;
  QString set;          // set_code, as cards.csv names the set
  QString code;         // expansion_code: tbl_CardSet.CardsetEx
  QString nameJa;       // japanese_name: tbl_CardSet.Cardset
  QString releaseDate;  // YYYY-MM-DD
};

// --- the rules ---------------------------------------------------------

// One colour: its letter; several: M; none: N.
QString colorCode(QStringView colors);

// Card-type code from the printed type line ("Enchant Creature", "Summon -
// Goblin", "Instant // Instant"); `supertypes` catches basic lands printed as
// plain "Land". An aura ("Enchantment — Aura") takes its code from
// `enchantTarget`, the words after "Enchant" in its rules text.
QString cardTypeCode(QStringView printedType, QStringView supertypes, QStringView enchantTarget = {});

// The printed type when the row has one, else the current one.
QString typeLineForMapping(const CardInput& in);

// "2W", "1R // 1U"; Null when there is no mana cost.
QVariant costValue(QStringView compact);

// Converted mana cost; Null for lands, which stay out of the mana curve.
QVariant numCostValue(QStringView cmc, QStringView cardType);

// common C, uncommon U, rare R, else the first letter in upper case.
QVariant rarityCode(QStringView rarity);

// Japanese name or text: `\n` becomes CR LF, empty is Null.
QVariant japaneseText(QStringView text);

// For C and AC: the Japanese subtypes (after "―"), else the English ones;
// Null when there are none and for every other card type.
QVariant creatureType(QStringView cardType, QStringView typeLineJa, QStringView subtypesEn);

// Power or toughness: an integer where numeric, text ("*", "1+*") otherwise,
// Null when empty.
QVariant powerValue(QStringView text);

// Token colour as the token text shows it: 白 青 黒 赤 緑 in WUBRG order run
// together ("白赤"), or 無色.
QString tokenColor(QStringView colors);

CardRow mapCard(const CardInput& in, const CardExtras& extras = {});
TokenRow mapToken(const TokenInput& in);

// One card per (expansion, English name), the first printing kept: drops
// second printings, alternative arts and the extra basic-land arts.
std::vector<CardRow> uniquePrintings(std::vector<CardRow> rows);

// Newest expansion first (release date descending), the order of CardsetNo.
std::vector<SetInput> newestFirst(std::vector<SetInput> sets);

}  // namespace tvtools

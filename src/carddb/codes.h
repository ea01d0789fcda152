// The codes stored in the card database and what the program shows for them.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <span>

namespace tv {

struct ColorCode {
  QStringView code;   // tbl_CardMst.Color
  QStringView label;  // caption of the colour filter box
  QColor background;  // card detail background
};

// The card-type boxes of the search; a code may belong to more than one.
enum TypeGroup : unsigned {
  LandGroup = 1,
  InstantGroup = 2,
  SorceryGroup = 4,
  EnchantmentGroup = 8,
  ArtifactGroup = 16,
  CreatureGroup = 32,
  PlaneswalkerGroup = 64,
};

struct CardTypeCode {
  QStringView code;     // tbl_CardMst.CardType
  QStringView labelJa;  // detail-text line (C and AC end in a space for the creature type)
  QStringView labelEn;
  unsigned groups;  // TypeGroup bits: the search boxes that leave the code out when cleared
};

struct RarityCode {
  QStringView code;  // tbl_CardMst.Rare
  QStringView label;
};

std::span<const ColorCode> colorCodes();
std::span<const CardTypeCode> cardTypeCodes();
std::span<const RarityCode> rarityCodes();

const ColorCode* findColor(QStringView code);
const CardTypeCode* findCardType(QStringView code);
const RarityCode* findRarity(QStringView code);

// Creature and artifact creature: the types with a creature type and a power/toughness.
inline bool isCreatureType(QStringView code) { return code == u"C" || code == u"AC"; }

// Copies of a card one deck table may hold; the only card type free of it.
inline constexpr qint64 kCopyLimit = 4;
inline constexpr QStringView kBasicLand = u"BL";

}  // namespace tv

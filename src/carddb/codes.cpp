#include "carddb/codes.h"

#include <algorithm>

namespace tv {
namespace {

const ColorCode kColors[] = {
    {u"W", u"白", QColor(245, 245, 245)},   {u"U", u"青", QColor(220, 220, 255)},
    {u"B", u"黒", QColor(200, 200, 200)},   {u"R", u"赤", QColor(255, 230, 220)},
    {u"G", u"緑", QColor(220, 255, 220)},   {u"M", u"マルチ", QColor(255, 255, 120)},
    {u"N", u"無色", QColor(240, 220, 160)},
};

// In the order the search's conditions name them.
const CardTypeCode kCardTypes[] = {
    {u"L", u"土地", u"Land", LandGroup},
    {u"BL", u"土地", u"Land", LandGroup},
    {u"LL", u"伝説の土地", u"Legendary Land", LandGroup},
    {u"I", u"インスタント", u"Instant", InstantGroup},
    {u"S", u"ソーサリー", u"Sorcery", SorceryGroup},
    {u"E", u"エンチャント（場）", u"Enchantment", EnchantmentGroup},
    {u"EC", u"エンチャント（クリーチャー）", u"Enchantment(Creature)", EnchantmentGroup},
    {u"EL", u"エンチャント（土地）", u"Enchantment(Land)", EnchantmentGroup},
    {u"EP", u"エンチャント（パーマネント）", u"Enchantment(Permanent)", EnchantmentGroup},
    {u"EA", u"エンチャント（アーティファクト）", u"Enchantment（Artifact）", EnchantmentGroup},
    {u"C", u"クリーチャー ", u"Creature", CreatureGroup},
    {u"A", u"アーティファクト", u"Artifact", ArtifactGroup},
    {u"AC", u"アーティファクト クリーチャー ", u"Artifact Creature", ArtifactGroup | CreatureGroup},
    {u"LA", u"伝説のアーティファクト", u"Legendary Artifact", ArtifactGroup},
    {u"PW", u"プレインズウォーカー", u"Planeswalker", PlaneswalkerGroup},
};

const RarityCode kRarities[] = {
    {u"C", u"コモン"}, {u"U", u"アンコモン"}, {u"R", u"レア"}, {u"M", u"神話レア"}, {u"S", u"スペシャル"},
};

template <typename T>
const T* findCode(std::span<const T> table, QStringView code) {
  const auto it = std::find_if(table.begin(), table.end(), [&](const T& e) { return e.code == code; });
  return it == table.end() ? nullptr : &*it;
}

}  // namespace

std::span<const ColorCode> colorCodes() { return kColors; }
std::span<const CardTypeCode> cardTypeCodes() { return kCardTypes; }
std::span<const RarityCode> rarityCodes() { return kRarities; }

const ColorCode* findColor(QStringView code) { return findCode(colorCodes(), code); }
const CardTypeCode* findCardType(QStringView code) { return findCode(cardTypeCodes(), code); }
const RarityCode* findRarity(QStringView code) { return findCode(rarityCodes(), code); }

}  // namespace tv

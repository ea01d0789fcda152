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

// In the order the detail text tests them.
const CardTypeCode kCardTypes[] = {
    {u"BL", u"土地", u"Land", kLand},
    {u"L", u"土地", u"Land", kLand},
    {u"LL", u"伝説の土地", u"Legendary Land", kLand},
    {u"I", u"インスタント", u"Instant", kInstant},
    {u"S", u"ソーサリー", u"Sorcery", kSorcery},
    {u"E", u"エンチャント（場）", u"Enchantment", kEnchantment},
    {u"EC", u"エンチャント（クリーチャー）", u"Enchantment(Creature)", kEnchantment},
    {u"EL", u"エンチャント（土地）", u"Enchantment(Land)", kEnchantment},
    {u"EP", u"エンチャント（パーマネント）", u"Enchantment(Permanent)", kEnchantment},
    {u"EA", u"エンチャント（アーティファクト）", u"Enchantment（Artifact）", kEnchantment},
    {u"C", u"クリーチャー ", u"Creature", kCreature},
    {u"A", u"アーティファクト", u"Artifact", kArtifact},
    {u"LA", u"伝説のアーティファクト", u"Legendary Artifact", kArtifact},
    {u"AC", u"アーティファクト クリーチャー ", u"Artifact Creature", kArtifact | kCreature},
};

const RarityCode kRarities[] = {
    {u"C", u"コモン"},
    {u"U", u"アンコモン"},
    {u"R", u"レア"},
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

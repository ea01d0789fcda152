#include "output/decksections.h"

namespace tv {
namespace {

constexpr QStringView kEnchantments[] = {u"EC", u"EL", u"EP", u"EA"};
constexpr QStringView kArtifacts[] = {u"AC", u"LA"};
constexpr QStringView kLands[] = {u"BL", u"LL"};

// Artifact creatures go with the artifacts.
const DeckSection kSections[] = {
    {u"C", {}, u"クリーチャー"},
    {u"I", {}, u"インスタント"},
    {u"S", {}, u"ソーサリー"},
    {u"E", kEnchantments, u"エンチャント"},
    {u"A", kArtifacts, u"アーティファクト"},
    {u"PW", {}, u"プレインズウォーカー"},
    {u"L", kLands, u"土地"},
};

}  // namespace

std::span<const DeckSection> deckSections() { return kSections; }

QString sectionWhere(const DeckSection& section) {
  QString where = QStringLiteral(" WHERE tbl_CardMst.CardType='") + section.key.toString() + u'\'';
  for (QStringView type : section.moreTypes)
    where += QStringLiteral(" OR tbl_CardMst.CardType='") + type.toString() + u'\'';
  return where;
}

}  // namespace tv

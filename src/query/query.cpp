#include "query/query.h"

#include <QRegularExpression>
#include <bit>
#include <limits>

#include "query/card.h"
#include "text/fold.h"

namespace tv::query {
namespace {

template <typename T>
bool compare(Op op, const T& a, const T& b) {
  switch (op) {
    case Op::Eq:
      return a == b;
    case Op::Ne:
      return a != b;
    case Op::Lt:
      return a < b;
    case Op::Le:
      return a <= b;
    case Op::Gt:
      return a > b;
    case Op::Ge:
      return a >= b;
  }
  return false;
}

bool isSubset(quint8 a, quint8 b) { return (a & ~b) == 0; }

}  // namespace

int rarityRank(QStringView code) {
  static const QStringView kOrder[] = {u"C", u"U", u"R", u"S", u"M"};
  for (int k = 0; k < int(std::size(kOrder)); ++k)
    if (code.compare(kOrder[k], Qt::CaseInsensitive) == 0) return k;
  return -1;
}

std::optional<double> printedNumber(QStringView printed) {
  const QString folded = foldName(printed);
  if (folded.isEmpty()) return std::nullopt;
  bool ok = false;
  const double whole = folded.toDouble(&ok);
  if (ok) return whole;
  if (folded.contains(u'∞')) return std::numeric_limits<double>::infinity();
  // "1+*", "7-*": the number the star is added to; "*" and "X" alone as 0.
  static const QRegularExpression lead(QStringLiteral(R"(^[+-]?\d+(\.\d+)?)"));
  const auto m = lead.match(folded);
  return m.hasMatch() ? m.captured().toDouble() : 0.0;
}

bool Term::matchesNumber(std::optional<double> value) const {
  // A card without the number (a sorcery's power) is never compared.
  return value && number && compare(op, *value, *number);
}

bool Term::matchesPrinted(QStringView printed) const {
  if (printed.isEmpty()) return false;
  if (number) return matchesNumber(printedNumber(printed));
  return compare(op, foldName(printed), text);
}

bool Term::matchesColors(quint8 card) const {
  if (multicolored) return compare(op, std::popcount(card) >= 2, true);
  switch (op) {
    case Op::Eq:
    case Op::Ne:
      return compare(op, card, colors);
    case Op::Le:
    case Op::Lt:
      return isSubset(card, colors) && (op == Op::Le || card != colors);
    case Op::Ge:
    case Op::Gt:
      return isSubset(colors, card) && (op == Op::Ge || card != colors);
  }
  return false;
}

bool Term::matchesRarity(QStringView code) const {
  const int rank = rarityRank(code);
  return rank < 0 ? op == Op::Ne : compare(op, rank, rarity);
}

bool Term::matchesExpansion(QStringView code, QStringView foldedName) const {
  return foldName(code) == text || foldedName.contains(text);
}

bool Term::matchesLegality(Legality legality) const {
  switch (field) {
    case Field::Legal:  // a restricted card is legal, one copy of it
      return legality == Legality::Legal || legality == Legality::Restricted;
    case Field::Banned:
      return legality == Legality::Banned;
    case Field::Restricted:
      return legality == Legality::Restricted;
    default:
      return false;
  }
}

bool termMatches(const Term& t, const CardRecord& card) {
  switch (t.field) {
    case Field::Name:
      return t.holdsText(foldName(card.nameE)) ||
             (!card.nameN.isEmpty() && t.holdsText(foldName(card.nameN)));
    case Field::Text:
      return t.holdsText(foldRulesText(card.textJa)) || t.holdsText(foldRulesText(card.textEn));
    case Field::Type:
      return t.holdsText(foldRulesText(card.typeLineJa)) || t.holdsText(foldRulesText(card.typeLineEn));
    case Field::Color:
      return t.matchesColors(card.colors);
    case Field::Identity:
      return t.matchesColors(card.identity);
    case Field::ManaValue:
      return t.matchesNumber(card.manaValue);
    case Field::Power:
      return t.matchesPrinted(card.power);
    case Field::Toughness:
      return t.matchesPrinted(card.toughness);
    case Field::Loyalty:
      return t.matchesPrinted(card.loyalty);
    case Field::Rarity:
      return t.matchesRarity(card.rarity);
    case Field::Expansion:
      return t.matchesExpansion(card.setCode, foldName(card.setName));
    case Field::Legal:
    case Field::Banned:
    case Field::Restricted:
      return t.matchesLegality(card.legalities.value(t.text, Legality::NotLegal));
  }
  return false;
}

}  // namespace tv::query

#include "carddb/mapping.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

namespace tvtools {
namespace {

constexpr QStringView kColorLetters = u"WUBRG";
constexpr QStringView kColorWordsJa[] = {u"白", u"青", u"黒", u"赤", u"緑"};

// Indexes into WUBRG of the colours named, each once, in WUBRG order.
std::vector<int> colorIndexes(QStringView colors) {
  bool present[5] = {};
  for (QChar c : colors) {
    const qsizetype i = kColorLetters.indexOf(c);
    if (i < 0) throw MappingError(QStringLiteral("unknown colour '%1' in '%2'").arg(c, colors));
    present[i] = true;
  }
  std::vector<int> out;
  for (int i = 0; i < 5; ++i)
    if (present[i]) out.push_back(i);
  return out;
}

bool isLandCode(QStringView code) { return code == u"L" || code == u"BL" || code == u"LL"; }

QString enchantCode(QStringView target) {
  if (target == u"Creature") return QStringLiteral("EC");
  if (target == u"Land") return QStringLiteral("EL");
  if (target == u"Artifact") return QStringLiteral("EA");
  // An aura on an enchantment sits on a permanent; there is no code of its own.
  if (target == u"Permanent" || target == u"Enchantment") return QStringLiteral("EP");
  return QStringLiteral("E");  // Enchant World and the like act on the whole game
}

// "creature you control", "tapped creature", "nonland permanent": the kind
// of permanent, in the printed form ("Creature"); empty for several kinds,
// cards in graveyards, players and the like.
QString auraTarget(QStringView rulesTarget) {
  QString t = rulesTarget.trimmed().toString().toLower();
  for (QStringView tail : {QStringView(u" you control"), QStringView(u" you don't control"),
                           QStringView(u" an opponent controls")})
    if (t.endsWith(tail)) t.chop(tail.size());
  for (QStringView cut : {QStringView(u" with"), QStringView(u" without")}) {
    const qsizetype at = t.indexOf(cut);
    if (at > 0) t.truncate(at);
  }
  if (t.contains(u" or ") || t.contains(u',') || t.contains(u"card")) return {};
  const QString noun = t.section(u' ', -1);
  for (QStringView kind : {u"creature", u"land", u"artifact", u"permanent", u"enchantment"})
    if (noun == kind) return noun.left(1).toUpper() + noun.mid(1);
  return {};
}

// Type of one half of a type line, from the words before its dash.
QString halfTypeCode(QStringView typeLine, QStringView supertypes, QStringView enchantTarget) {
  QStringView head = typeLine;
  QStringView tail;
  for (QStringView dash : {QStringView(u" - "), QStringView(u"—")}) {
    const qsizetype at = head.indexOf(dash);
    if (at < 0) continue;
    tail = typeLine.mid(at + dash.size());
    head = head.left(at);
  }
  const QStringList words = head.toString().split(u' ', Qt::SkipEmptyParts);
  const QStringList supers = supertypes.toString().split(u' ', Qt::SkipEmptyParts);
  auto has = [&](const char16_t* w) { return words.contains(QStringView(w)); };
  // Older basic lands print only "Land"; the supertypes know better.
  const bool basic = has(u"Basic") || supers.contains(u"Basic");
  const bool legendary = has(u"Legendary") || supers.contains(u"Legendary");

  if (!words.isEmpty() && words.front() == u"Enchant") return enchantCode(words.mid(1).join(u' '));
  // Land creatures are lands; enchantment creatures are creatures. Tribal and
  // Kindred only add creature types to the card type that follows them.
  if (has(u"Land"))
    return basic ? QStringLiteral("BL") : legendary ? QStringLiteral("LL") : QStringLiteral("L");
  if (has(u"Planeswalker")) return QStringLiteral("PW");
  if (has(u"Creature") || has(u"Summon"))
    return has(u"Artifact") ? QStringLiteral("AC") : QStringLiteral("C");
  if (has(u"Enchantment")) {
    const bool aura = tail.toString().split(u' ', Qt::SkipEmptyParts).contains(u"Aura");
    return aura ? enchantCode(auraTarget(enchantTarget)) : QStringLiteral("E");
  }
  if (has(u"Artifact")) return legendary ? QStringLiteral("LA") : QStringLiteral("A");
  // Interrupts and mana sources were cast at instant speed; both became instants.
  if (has(u"Instant") || has(u"Interrupt") || head.trimmed() == u"Mana Source") return QStringLiteral("I");
  if (has(u"Sorcery")) return QStringLiteral("S");
  throw MappingError(QStringLiteral("unknown card type '%1'").arg(typeLine));
}

}  // namespace

QString colorCode(QStringView colors) {
  const auto idx = colorIndexes(colors);
  if (idx.empty()) return QStringLiteral("N");
  if (idx.size() > 1) return QStringLiteral("M");
  return kColorLetters.mid(idx.front(), 1).toString();
}

QString cardTypeCode(QStringView printedType, QStringView supertypes, QStringView enchantTarget) {
  const QStringView line = printedType.trimmed();
  if (line.isEmpty()) throw MappingError(QStringLiteral("no type line"));
  // Split cards: both halves of these sets share a type; the first half rules otherwise.
  const qsizetype split = line.indexOf(u" // ");
  return halfTypeCode(split < 0 ? line : line.left(split), supertypes, enchantTarget);
}

QString typeLineForMapping(const CardInput& in) {
  return in.printedType.trimmed().isEmpty() ? in.oracleType : in.printedType;
}

QVariant costValue(QStringView compact) {
  const QStringView c = compact.trimmed();
  return c.isEmpty() ? QVariant() : QVariant(c.toString());
}

QVariant numCostValue(QStringView cmc, QStringView cardType) {
  if (isLandCode(cardType)) return {};
  const QStringView c = cmc.trimmed();
  if (c.isEmpty()) return {};
  bool ok = false;
  const int value = c.toInt(&ok);
  if (!ok || value < 0)
    throw MappingError(QStringLiteral("converted mana cost '%1' is not a whole number").arg(cmc));
  return value;
}

QVariant rarityCode(QStringView rarity) {
  const QString r = rarity.trimmed().toString().toLower();
  if (r.isEmpty()) return {};
  if (r == u"common") return QStringLiteral("C");
  if (r == u"uncommon") return QStringLiteral("U");
  if (r == u"rare") return QStringLiteral("R");
  return r.left(1).toUpper();
}

QVariant japaneseText(QStringView text) {
  if (text.isEmpty()) return {};
  QString out = text.toString();
  out.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  return out;
}

QVariant creatureType(QStringView cardType, QStringView typeLineJa, QStringView subtypesEn) {
  if (cardType != u"C" && cardType != u"AC") return {};
  for (QChar dash : {QChar(0x2015), QChar(0x2014)}) {
    const qsizetype at = typeLineJa.indexOf(dash);
    if (at < 0) continue;
    const QStringView sub = typeLineJa.mid(at + 1).trimmed();
    if (!sub.isEmpty()) return sub.toString();
  }
  const QStringView en = subtypesEn.trimmed();
  return en.isEmpty() ? QVariant() : QVariant(en.toString());
}

QVariant powerValue(QStringView text) {
  const QStringView t = text.trimmed();
  if (t.isEmpty()) return {};
  bool ok = false;
  const int value = t.toInt(&ok);
  return ok ? QVariant(value) : QVariant(t.toString());
}

QString tokenColor(QStringView colors) {
  const auto idx = colorIndexes(colors);
  if (idx.empty()) return QStringLiteral("無色");
  QString out;
  for (int i : idx) out += kColorWordsJa[i];
  return out;
}

CardRow mapCard(const CardInput& in, const CardExtras& extras) {
  if (in.set.trimmed().isEmpty()) throw MappingError(QStringLiteral("no set code"));
  if (in.nameE.trimmed().isEmpty()) throw MappingError(QStringLiteral("no English name"));
  CardRow row;
  row.set = in.set.trimmed();
  row.nameE = in.nameE.trimmed();
  const QString type = cardTypeCode(typeLineForMapping(in), in.supertypes, extras.enchantTarget);
  const bool creature = type == u"C" || type == u"AC";
  row.cardType = type;
  row.nameN = japaneseText(in.nameJa.trimmed());
  row.color = colorCode(in.colors);
  row.cost = costValue(in.cost);
  row.numCost = numCostValue(in.cmc, type);
  row.rare = rarityCode(in.rarity);
  row.textN = japaneseText(in.textJa);
  if (type == u"PW" && !extras.loyalty.trimmed().isEmpty()) {
    const QString head = QStringLiteral("初期忠誠度：") + extras.loyalty.trimmed();
    row.textN = row.textN.isValid() ? head + QStringLiteral("\r\n") + row.textN.toString() : head;
  }
  row.ctype = creatureType(type, in.typeLineJa, in.subtypes);
  if (creature) {
    row.attack = powerValue(in.power);
    row.defence = powerValue(in.toughness);
  }
  return row;
}

TokenRow mapToken(const TokenInput& in) {
  TokenRow row;
  row.nameN = japaneseText(in.nameJa.trimmed());
  if (!row.nameN.isValid()) {
    if (in.nameE.trimmed().isEmpty()) throw MappingError(QStringLiteral("token without a name"));
    row.nameN = in.nameE.trimmed();
  }
  row.color = tokenColor(in.colors);
  row.textN = japaneseText(in.text);
  row.attack = powerValue(in.power);
  row.defence = powerValue(in.toughness);
  return row;
}

std::vector<CardRow> uniquePrintings(std::vector<CardRow> rows) {
  // The card master's key compares without regard to case, so the check does too.
  QSet<QString> seen;
  std::vector<CardRow> out;
  out.reserve(rows.size());
  for (CardRow& row : rows) {
    const QString key = row.set + u'\x1f' + row.nameE.toLower();
    if (seen.contains(key)) continue;
    seen.insert(key);
    out.push_back(std::move(row));
  }
  return out;
}

std::vector<SetInput> newestFirst(std::vector<SetInput> sets) {
  // Of two sets released the same day, the one listed later counts as newer.
  std::reverse(sets.begin(), sets.end());
  std::stable_sort(sets.begin(), sets.end(),
                   [](const SetInput& a, const SetInput& b) { return a.releaseDate > b.releaseDate; });
  return sets;
}

}  // namespace tvtools

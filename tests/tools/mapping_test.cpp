#include "carddb/mapping.h"

#include <gtest/gtest.h>

using namespace tvtools;

namespace {

QVariant text(const char16_t* s) { return QString::fromUtf16(s); }

// A card row as cards.csv gives it; tests change what they look at.
CardInput creature() {
  CardInput in;
  in.set = QStringLiteral("ONS");
  in.nameE = QStringLiteral("Embermage Goblin");
  in.nameJa = QStringLiteral("燃えさし魔道ゴブリン");
  in.colors = QStringLiteral("R");
  in.cost = QStringLiteral("3R");
  in.cmc = QStringLiteral("4");
  in.rarity = QStringLiteral("uncommon");
  in.printedType = QStringLiteral("Creature - Goblin Wizard");
  in.oracleType = QStringLiteral("Creature — Goblin Wizard");
  in.subtypes = QStringLiteral("Goblin Wizard");
  in.power = QStringLiteral("1");
  in.toughness = QStringLiteral("1");
  in.typeLineJa = QStringLiteral("クリーチャー ― ゴブリン・ウィザード");
  in.textJa = QStringLiteral("一行目\\n(Ｔ)：二行目");
  return in;
}

}  // namespace

TEST(MappingColor, OneLetterSeveralMultiNoneColourless) {
  EXPECT_EQ(colorCode(u"W"), "W");
  EXPECT_EQ(colorCode(u"G"), "G");
  EXPECT_EQ(colorCode(u"UR"), "M");
  EXPECT_EQ(colorCode(u"WUBRG"), "M");
  EXPECT_EQ(colorCode(u"BB"), "B");  // a colour named twice is still one colour
  EXPECT_EQ(colorCode(u""), "N");
  EXPECT_THROW(colorCode(u"X"), MappingError);
  EXPECT_THROW(colorCode(u"w"), MappingError);
}

TEST(MappingCardType, EveryPrintedTypeOfThePeriod) {
  const struct {
    const char16_t* printed;
    const char16_t* supertypes;
    const char* code;
  } cases[] = {
      {u"Basic Land - Forest", u"Basic", "BL"},
      {u"Land", u"Basic", "BL"},  // older basics print only "Land"
      {u"Legendary Land", u"Legendary", "LL"},
      {u"Land", u"", "L"},
      {u"Land - Urza's Power-Plant", u"", "L"},
      {u"Instant", u"", "I"},
      {u"Interrupt", u"", "I"},
      {u"Mana Source", u"", "I"},
      {u"Sorcery", u"", "S"},
      {u"Enchantment", u"", "E"},
      {u"Enchant Creature", u"", "EC"},
      {u"Enchant Land", u"", "EL"},
      {u"Enchant Permanent", u"", "EP"},
      {u"Enchant Artifact", u"", "EA"},
      {u"Enchant Enchantment", u"", "EP"},
      {u"Enchant World", u"", "E"},
      {u"Artifact", u"", "A"},
      {u"Legendary Artifact", u"Legendary", "LA"},
      {u"Artifact Creature - Golem", u"", "AC"},
      {u"Legendary Artifact Creature", u"Legendary", "AC"},
      {u"Summon - Goblin", u"", "C"},
      {u"Summon - Legend", u"Legendary", "C"},
      {u"Creature - Elf Legend", u"Legendary", "C"},
      {u"Instant // Instant", u"", "I"},
      {u"Sorcery // Sorcery", u"", "S"},
      // The current type line, for rows that lack the printed one.
      {u"Creature — Zombie", u"", "C"},
      {u"Legendary Creature — Human Wizard", u"Legendary", "C"},
      {u"Enchantment — Aura", u"", "E"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cardTypeCode(c.printed, c.supertypes), QString::fromLatin1(c.code))
        << QString::fromUtf16(c.printed).toStdString();
  EXPECT_THROW(cardTypeCode(u"Plane - Dominaria", u""), MappingError);
  EXPECT_THROW(cardTypeCode(u"  ", u""), MappingError);
}

TEST(MappingCardType, VariantRowsFallBackToTheCurrentTypeLine) {
  CardInput in = creature();
  EXPECT_EQ(typeLineForMapping(in), "Creature - Goblin Wizard");
  in.printedType.clear();
  EXPECT_EQ(typeLineForMapping(in), "Creature — Goblin Wizard");
  EXPECT_EQ(mapCard(in).cardType, "C");
}

TEST(MappingCost, CompactCostAndLandsOutOfTheCurve) {
  EXPECT_EQ(costValue(u"2W"), "2W");
  EXPECT_EQ(costValue(u"XR"), "XR");
  EXPECT_EQ(costValue(u"1R // 1U"), "1R // 1U");
  EXPECT_FALSE(costValue(u"").isValid());

  EXPECT_EQ(numCostValue(u"4", u"C"), 4);
  EXPECT_EQ(numCostValue(u"0", u"A"), 0);
  for (const char16_t* land : {u"L", u"BL", u"LL"}) EXPECT_FALSE(numCostValue(u"0", land).isValid());
  EXPECT_THROW(numCostValue(u"2.5", u"C"), MappingError);
  EXPECT_THROW(numCostValue(u"two", u"C"), MappingError);
}

TEST(MappingRarity, KnownWordsAndFirstLetterOtherwise) {
  EXPECT_EQ(rarityCode(u"common"), "C");
  EXPECT_EQ(rarityCode(u"uncommon"), "U");
  EXPECT_EQ(rarityCode(u"Rare"), "R");
  EXPECT_EQ(rarityCode(u"mythic"), "M");
  EXPECT_EQ(rarityCode(u"special"), "S");
  EXPECT_FALSE(rarityCode(u"").isValid());
}

TEST(MappingText, EscapedLineBreaksBecomeCrLfAndEmptyIsNull) {
  EXPECT_EQ(japaneseText(u"飛行\\n(Ｔ)：何か"), text(u"飛行\r\n(Ｔ)：何か"));
  EXPECT_EQ(japaneseText(u"a\\n\\nb"), "a\r\n\r\nb");
  EXPECT_FALSE(japaneseText(u"").isValid());
}

TEST(MappingCreatureType, JapaneseSubtypesElseEnglishOnlyForCreatures) {
  EXPECT_EQ(creatureType(u"C", u"クリーチャー ― ゴブリン・ウィザード", u"Goblin Wizard"),
            text(u"ゴブリン・ウィザード"));
  EXPECT_EQ(creatureType(u"AC", u"伝説のアーティファクト・クリーチャー ― ゴーレム", u"Golem"),
            text(u"ゴーレム"));
  EXPECT_EQ(creatureType(u"C", u"クリーチャー", u"Human Wizard"), "Human Wizard");
  EXPECT_EQ(creatureType(u"C", u"クリーチャー ― ", u"Elf"), "Elf");
  EXPECT_FALSE(creatureType(u"C", u"クリーチャー", u"").isValid());
  EXPECT_FALSE(creatureType(u"EC", u"エンチャント ― オーラ", u"Aura").isValid());
  EXPECT_FALSE(creatureType(u"BL", u"基本土地 ― 森", u"Forest").isValid());
}

TEST(MappingPower, NumbersAsIntegersStarsAsText) {
  EXPECT_EQ(powerValue(u"2"), 2);
  EXPECT_EQ(powerValue(u"2").typeId(), QMetaType::Int);
  EXPECT_EQ(powerValue(u"0"), 0);
  EXPECT_EQ(powerValue(u"-1"), -1);
  EXPECT_EQ(powerValue(u"*"), "*");
  EXPECT_EQ(powerValue(u"1+*"), "1+*");
  EXPECT_FALSE(powerValue(u"").isValid());
}

TEST(MappingToken, ColourWordsNameFallbackAndText) {
  EXPECT_EQ(tokenColor(u"G"), text(u"緑"));
  EXPECT_EQ(tokenColor(u"WR"), text(u"白赤"));
  EXPECT_EQ(tokenColor(u"RW"), text(u"白赤"));  // always WUBRG order
  EXPECT_EQ(tokenColor(u"WUBRG"), text(u"白青黒赤緑"));
  EXPECT_EQ(tokenColor(u""), text(u"無色"));
  EXPECT_THROW(tokenColor(u"Z"), MappingError);

  const TokenRow demon = mapToken({7, "Demon", "デーモン", "B", "*", "*", "Flying"});
  EXPECT_EQ(demon.nameN, text(u"デーモン"));
  EXPECT_EQ(demon.color, text(u"黒"));
  EXPECT_EQ(demon.textN, "Flying");
  EXPECT_EQ(demon.attack, "*");
  const TokenRow rukh = mapToken({8, "Rukh", "", "R", "4", "4", ""});
  EXPECT_EQ(rukh.nameN, "Rukh");
  EXPECT_FALSE(rukh.textN.isValid());
  EXPECT_EQ(rukh.attack, 4);
  EXPECT_THROW(mapToken({9, "", "", "G", "1", "1", ""}), MappingError);
}

TEST(MappingCard, CreatureRowWhole) {
  const CardRow row = mapCard(creature());
  EXPECT_EQ(row.set, "ONS");
  EXPECT_EQ(row.nameE, "Embermage Goblin");
  EXPECT_EQ(row.nameN, text(u"燃えさし魔道ゴブリン"));
  EXPECT_EQ(row.color, "R");
  EXPECT_EQ(row.cost, "3R");
  EXPECT_EQ(row.numCost, 4);
  EXPECT_EQ(row.rare, "U");
  EXPECT_EQ(row.cardType, "C");
  EXPECT_EQ(row.textN, text(u"一行目\r\n(Ｔ)：二行目"));
  EXPECT_EQ(row.ctype, text(u"ゴブリン・ウィザード"));
  EXPECT_EQ(row.attack, 1);
  EXPECT_EQ(row.defence, 1);

  // The same row printed as an aura keeps no creature fields.
  CardInput aura = creature();
  aura.printedType = QStringLiteral("Enchant Creature");
  const CardRow auraRow = mapCard(aura);
  EXPECT_EQ(auraRow.cardType, "EC");
  EXPECT_FALSE(auraRow.ctype.isValid());
  EXPECT_FALSE(auraRow.attack.isValid());
  EXPECT_FALSE(auraRow.defence.isValid());
}

TEST(MappingCard, RowsWithoutKeyOrWithBadValuesFail) {
  CardInput in = creature();
  in.nameE = QStringLiteral(" ");
  EXPECT_THROW(mapCard(in), MappingError);
  in = creature();
  in.colors = QStringLiteral("Red");
  EXPECT_THROW(mapCard(in), MappingError);
  in = creature();
  in.printedType.clear();
  in.oracleType.clear();
  EXPECT_THROW(mapCard(in), MappingError);
}

TEST(MappingPrintings, FirstOfEachExpansionAndNameKept) {
  auto row = [](const char* set, const char* name, const char* nameN) {
    CardRow r;
    r.set = QString::fromLatin1(set);
    r.nameE = QString::fromLatin1(name);
    r.nameN = QString::fromLatin1(nameN);
    return r;
  };
  const auto out =
      uniquePrintings({row("8ED", "Forest", "1"), row("8ED", "Forest", "2"), row("ODY", "Forest", "3"),
                       row("8ED", "Shock", "4"), row("8ED", "forest", "5"), row("8ED", "Forest", "6")});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].nameN, "1");
  EXPECT_EQ(out[1].nameN, "3");
  EXPECT_EQ(out[2].nameN, "4");
}

TEST(MappingSets, NewestFirstAndLaterLineWinsATie) {
  auto set = [](int line, const char* code, const char* date) {
    return SetInput{line, QString::fromLatin1(code), QString::fromLatin1(code), QString(),
                    QString::fromLatin1(date)};
  };
  const auto out = newestFirst({set(2, "US", "1998-10-12"), set(3, "8E", "2003-07-28"),
                                set(4, "A", "2000-01-01"), set(5, "B", "2000-01-01")});
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0].code, "8E");
  EXPECT_EQ(out[1].code, "B");
  EXPECT_EQ(out[2].code, "A");
  EXPECT_EQ(out[3].code, "US");
}

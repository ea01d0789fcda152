#include "carddb/oraclefacts.h"

#include <gtest/gtest.h>

#include <limits>

#include "carddb/creaturetypes.h"
#include "carddb/schema.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

// Real cards of data/ with every field the import reads (tests/tools/mtgjson-facts.json), imported once.
Database& factsDb() {
  static const std::unique_ptr<Database> db = tvtest::openFactsCardDb();
  return *db;
}

QString value(const QVariant& v) { return v.isValid() ? v.toString() : QStringLiteral("-"); }

}  // namespace

TEST(OracleFacts, OfRealCardsFromTheirData) {
  const auto facts = OracleFacts::load(factsDb());
  ASSERT_TRUE(facts);
  // Colors|ColorIdentity|ManaValue|TypeLineE|TypeLineN|Power|Toughness|Loyalty|Commander|Partner|PartnerWith|
  // copies allowed where the usual limit is 4 (A: any number)
  const std::pair<const char*, const char*> cards[] = {
      {"Llanowar Elves", "G|G|1|Creature — Elf Druid|クリーチャー ― エルフ・ドルイド|1|1|-|0|0||4"},
      {"Seven Dwarves", "R|R|2|Creature — Dwarf|クリーチャー ― ドワーフ|2|2|-|0|0||7"},
      {"Relentless Rats", "B|B|3|Creature — Rat|クリーチャー ― ネズミ|2|2|-|0|0||A"},
      {"Snow-Covered Forest", "|G|0|Basic Snow Land — Forest|基本氷雪土地 ― 森|-|-|-|0|0||A"},
      {"Thrasios, Triton Hero",
       "UG|UG|2|Legendary Creature — Merfolk Wizard|伝説のクリーチャー ― "
       "マーフォーク・ウィザード|1|3|-|1|1||4"},
      {"Will Kenrith",
       "U|U|6|Legendary Planeswalker — Will|伝説のプレインズウォーカー ― ウィル|-|-|4|1|1|Rowan Kenrith|4"},
      {"Shorikai, Genesis Engine",
       "WU|WU|4|Legendary Artifact — Vehicle|伝説のアーティファクト ― 機体|8|8|-|1|0||4"},
      // No card of the data has "Artifact" alone in Japanese.
      {"Black Lotus", "||0|Artifact||-|-|-|0|0||4"},
      // Both faces, the back's Spirit taught by no card.
      {"Mourning Patrol // Morning Apparition",
       "W|W|3|Creature — Human Soldier // Creature — Spirit Soldier|クリーチャー ― 人間・兵士 // "
       "クリーチャー ― Spirit・兵士|2|3|-|0|0||4"},
  };
  for (const auto& [name, expected] : cards) {
    const OracleFacts::Card* c = facts->find(QString::fromUtf8(name).toUpper());
    ASSERT_TRUE(c) << name;
    const qint64 copies = OracleFacts::copiesAllowed(*c, 4);
    const QStringList got{
        c->Colors,
        c->ColorIdentity,
        value(c->ManaValue),
        c->TypeLineE,
        c->TypeLineN,
        value(c->Power),
        value(c->Toughness),
        value(c->Loyalty),
        QString::number(c->Commander),
        QString::number(c->Partner),
        c->PartnerWith,
        copies == std::numeric_limits<qint64>::max() ? QStringLiteral("A") : QString::number(copies)};
    EXPECT_EQ(got.join(u'|'), QString::fromUtf8(expected)) << name;
  }
  EXPECT_TRUE(facts->find(u"Mourning Patrol // Morning Apparition")->TextE.contains(u"\r\n"));

  // Every printing's formats: Serra Angel is legal in oldschool by its Alpha printing, not its newer one.
  const struct {
    const char* name;
    const char* format;
    Legality expected;
  } legal[] = {
      {"Ponder", "modern", Legality::Banned},
      {"Ponder", "vintage", Legality::Restricted},
      {"Ponder", "Pauper", Legality::Legal},
      {"Black Lotus", "oldschool", Legality::Restricted},
      {"Black Lotus", "legacy", Legality::Banned},
      {"Serra Angel", "oldschool", Legality::Legal},
      {"Thrasios, Triton Hero", "pauper", Legality::NotLegal},
      {"Seven Dwarves", "no such format", Legality::NotLegal},
      {"No Such Card", "modern", Legality::NotLegal},
  };
  for (const auto& l : legal)
    EXPECT_EQ(int(facts->legality(QString::fromUtf8(l.name), QString::fromUtf8(l.format))), int(l.expected))
        << l.name << " " << l.format;
  EXPECT_TRUE(facts->formats().contains(u"commander"));
  ASSERT_EQ(facts->expansions().size(), 10u);
  EXPECT_EQ(facts->expansions().front().SetCode + facts->expansions().front().NameE,
            "NECNeon Dynasty Commander");
}

TEST(OracleFacts, CreatureTypesInReadingOrderFoundInEitherLanguage) {
  const CreatureTypes types = CreatureTypes::load(factsDb());
  EXPECT_TRUE(types.named());
  EXPECT_EQ(types.names().join(u' '),
            "ウィザード エルフ ゴブリン 戦士 天使 ドルイド ドワーフ 人間 ネズミ 兵士 マーフォーク");
  const std::pair<const char16_t*, const char16_t*> typed[] = {
      {u"Goblin", u"ゴブリン"}, {u" goblin ", u"ゴブリン"}, {u"ごぶりん", u"ゴブリン"}, {u"ﾆﾝｹﾞﾝ", u"人間"},
      {u"兵士", u"兵士"},       {u"SOLDIER", u"兵士"},      {u"Sliver", u""},
  };
  for (const auto& [text, expected] : typed)
    EXPECT_EQ(types.find(text), QString::fromUtf16(expected)) << QString::fromUtf16(text).toStdString();
  // A card with no Japanese in the data has its types in Japanese all the same.
  EXPECT_EQ(tvtest::cardValues(factsDb(), "MID", "Mourning Patrol // Morning Apparition", {"CType"}),
            "人間・兵士");
  EXPECT_TRUE(CreatureTypes::holds(u"ゴブリン・戦士", u"戦士"));
  EXPECT_FALSE(CreatureTypes::holds(u"ゴブリン・戦士", u"戦"));
  EXPECT_EQ(CreatureTypes::split(u"マーフォーク･兵士・ 騎士"), QStringList({"マーフォーク", "兵士", "騎士"}));
}

// A card database made by `build` or an older tool: no facts, the types from the CType values in ICU's
// Japanese order (kanji after kana, by JIS order).
TEST(OracleFacts, AbsentFromOtherCardDatabases) {
  tvtest::CardDbFixture f;
  f.addSet(0, QStringLiteral("第8版"), QStringLiteral("8E"));
  const char* const ctypes[] = {"ゴブリン・戦士", "エルフ", "人間・兵士", "Lhurgoyf", "エルフ・ドルイド"};
  for (const char* ctype : ctypes)
    f.addCard({"8E", ctype, ctype, "G", "C", 1, {}, "C", {}, QString::fromUtf8(ctype), 1, 1});
  EXPECT_FALSE(OracleFacts::present(f.db()));
  EXPECT_FALSE(OracleFacts::load(f.db()));
  const CreatureTypes types = CreatureTypes::load(f.db());
  EXPECT_FALSE(types.named());
  EXPECT_EQ(types.names().join(u' '), "Lhurgoyf エルフ ゴブリン ドルイド 人間 戦士 兵士");
  EXPECT_EQ(types.find(u"lhurgoyf"), "Lhurgoyf");
  EXPECT_EQ(types.find(u"goblin"), "");
}

// A card database is untrusted: values of the wrong kind, rows of no card or format, a name twice.
TEST(OracleFacts, OddValuesReadAsNone) {
  tvtest::CardDbFixture f;
  createCardFactsTables(f.db());
  RowInserter(f.db(), kFormatTable, {"FormatNo", "Format"}).add({1, "modern"});
  RowInserter cards(
      f.db(), kCardOracleTable,
      {"CardNo", "NameE", "Colors", "ColorIdentity", "Commander", "Partner", "AnyNumber", "CopyLimit"});
  for (const QList<QVariant>& row :
       {QList<QVariant>{1, "Odd", "X", "", "yes", -1, 0, "seven"},
        QList<QVariant>{2, "Big", "", "", 0, 0, 0, 1e30}, QList<QVariant>{3, "Low", "", "", 0, 0, 0, -4}})
    cards.add(row);
  RowInserter legal(f.db(), kCardLegalityTable, {"CardNo", "FormatNo", "Legality"});
  for (const QList<QVariant>& row : {QList<QVariant>{1, 1, "Maybe"}, QList<QVariant>{1, 2, "Legal"},
                                     QList<QVariant>{9, 1, "Legal"}, QList<QVariant>{2, 1, "banned"}})
    legal.add(row);
  const auto facts = OracleFacts::load(f.db());
  ASSERT_TRUE(facts);
  ASSERT_EQ(facts->cards().size(), 3u);
  const OracleFacts::Card& odd = facts->cards()[0];
  EXPECT_EQ(odd.CopyLimit + odd.Commander * 10 + odd.Partner * 100, 100);  // "yes" is no number, -1 is true
  EXPECT_EQ(facts->cards()[1].CopyLimit, std::numeric_limits<int>::max());
  EXPECT_EQ(facts->cards()[2].CopyLimit, 0);
  EXPECT_EQ(int(facts->legality(u"Odd", u"modern")), int(Legality::NotLegal));
  EXPECT_EQ(int(facts->legality(u"big", u"MODERN")), int(Legality::Banned));
}

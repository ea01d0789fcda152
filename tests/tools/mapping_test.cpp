#include "carddb/mapping.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include "carddb/symbols.h"

using namespace tvtools;

namespace {

// Maps each input (fields joined by '|', missing ones empty) and compares what comes out: the values
// joined by '|' with Null as "-", or the error message.
template <typename Map>
void expectRows(std::initializer_list<std::pair<const char16_t*, const char16_t*>> cases, Map map) {
  for (const auto& [text, expected] : cases) {
    QStringList in = QString::fromUtf16(text).split(u'|');
    in.resize(12);
    QString got;
    try {
      QStringList values;
      for (const QVariant& v : map(in)) values << (v.isValid() ? v.toString() : QStringLiteral("-"));
      got = values.join(u'|');
    } catch (const MappingError& e) {
      got = QString::fromUtf8(e.what());
    }
    EXPECT_EQ(got, QString::fromUtf16(expected)) << QString::fromUtf16(text).toStdString();
  }
}

}  // namespace

// In: colors|cost|cmc|rarity|printed type|current type|supertypes|subtypes|power|toughness|
//     Japanese type line|Japanese text
// Out: Color|Cost|NumCost|Rare|CardType|CType|CAttack|CDefence|TextN
TEST(Mapping, CardRows) {
  expectRows(
      {
          {u"||0|common|Basic Land - Forest||Basic|Forest|||基本土地 ― 森", u"N|-|-|C|BL|-|-|-|-"},
          {u"||0|common|Land||Basic", u"N|-|-|C|BL|-|-|-|-"},  // older basics print only "Land"
          {u"||0|rare|Legendary Land||Legendary", u"N|-|-|R|LL|-|-|-|-"},
          {u"||0||Land - Urza's Power-Plant", u"N|-|-|-|L|-|-|-|-"},
          {u"RU|1R // 1U|4|uncommon|Instant // Instant", u"M|1R // 1U|4|U|I|-|-|-|-"},
          {u"BB|XB|1|special|Interrupt", u"B|XB|1|S|I|-|-|-|-"},
          {u"G|G|1|mythic|Mana Source", u"G|G|1|M|I|-|-|-|-"},
          {u"U|1U|2|Rare|Sorcery // Sorcery", u"U|1U|2|R|S|-|-|-|-"},
          {u"W|2WW|4|uncommon|Enchant Creature|Enchantment — Aura||Aura|1|1|エンチャント ― オーラ|一\\n二",
           u"W|2WW|4|U|EC|-|-|-|一\r\n二"},
          {u"G|1G|2|common|Enchant Land", u"G|1G|2|C|EL|-|-|-|-"},
          {u"U|4UU|6|uncommon|Enchant Permanent", u"U|4UU|6|U|EP|-|-|-|-"},
          {u"U|1U|2|common|Enchant Enchantment", u"U|1U|2|C|EP|-|-|-|-"},
          {u"U|2UU|4|uncommon|Enchant Artifact", u"U|2UU|4|U|EA|-|-|-|-"},
          {u"B|2BB|4|rare|Enchant World", u"B|2BB|4|R|E|-|-|-|-"},
          {u"W|1W|2|uncommon||Enchantment — Aura", u"W|1W|2|U|E|-|-|-|-"},  // no printed type
          {u"|0|0|uncommon|Artifact", u"N|0|0|U|A|-|-|-|-"},
          {u"|4|4|rare|Legendary Artifact||Legendary", u"N|4|4|R|LA|-|-|-|-"},
          {u"|5|5|rare|Legendary Artifact Creature|||Golem|4|4|アーティファクト・クリーチャー ― ゴーレム",
           u"N|5|5|R|AC|ゴーレム|4|4|-"},
          {u"W|4WWW|7|rare|Summon - Avatar|||Avatar|*|*|クリーチャー ― アバター",
           u"W|4WWW|7|R|C|アバター|*|*|-"},
          {u"G|2GG|4|rare|Creature - Lhurgoyf|||Lhurgoyf|*|1+*|クリーチャー",
           u"G|2GG|4|R|C|Lhurgoyf|*|1+*|-"},
          {u"U|1UU|3|rare|Summon - Legend||Legendary|Human Wizard|0|-1|伝説のクリーチャー ― ",
           u"U|1UU|3|R|C|Human Wizard|0|-1|-"},
          {u"B|1B|2|common||Creature — Zombie|||2|2|クリーチャー — ゾンビ", u"B|1B|2|C|C|ゾンビ|2|2|-"},
          {u"Gw|1G|2|common|Instant", u"unknown colour 'w' in 'Gw'"},
          {u"R|R|1|common|Plane - Dominaria", u"unknown card type 'Plane - Dominaria'"},
          {u"R|R|2.5|common|Instant", u"converted mana cost '2.5' is not a whole number"},
      },
      [](const QStringList& f) {
        const CardRow r = mapCard(
            {"USG", "Card", "", f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]});
        return QVariantList{r.color, r.cost,   r.numCost, r.rare, r.cardType,
                            r.ctype, r.attack, r.defence, r.textN};
      });
}

// In: English name|Japanese name|colors|power|toughness|text. Out: NameN|Color|TextN|CAttack|CDefence
TEST(Mapping, TokenRows) {
  expectRows(
      {
          {u"Goblin Soldier|ゴブリン・兵士|RW|1|1", u"ゴブリン・兵士|白赤|-|1|1"},
          {u"Rukh||R|4|4|Flying", u"Rukh|赤|Flying|4|4"},
          {u"Avatar|アバター|WUBRG|*|*|a\\nb", u"アバター|白青黒赤緑|a\r\nb|*|*"},
          {u"Construct|||0|0", u"Construct|無色|-|0|0"},
          {u"||G|1|1", u"token without a name"},
      },
      [](const QStringList& f) {
        const TokenRow r = mapToken({f[0], f[1], f[2], f[3], f[4], f[5]});
        return QVariantList{r.nameN, r.color, r.textN, r.attack, r.defence};
      });
}

// In: type line|what the rules text enchants. Out: CardType, or the error.
TEST(Mapping, ModernCardTypes) {
  expectRows(
      {
          {u"Legendary Planeswalker — Jace", u"PW"},
          {u"Legendary Enchantment Creature — God", u"C"},
          {u"Enchantment Artifact Creature — Golem", u"AC"},
          {u"Legendary Enchantment Artifact", u"E"},
          {u"Tribal Instant — Elf", u"I"},
          {u"Kindred Sorcery — Elf", u"S"},
          {u"Land Creature — Forest Dryad", u"L"},
          {u"Artifact Land", u"L"},
          {u"Enchantment — Aura|creature you control", u"EC"},
          {u"Enchantment — Aura|creature without flying", u"EC"},
          {u"Tribal Enchantment — Rebel Aura|creature", u"EC"},
          {u"Enchantment — Aura|snow land you control", u"EL"},
          {u"Enchantment — Aura|nonland permanent", u"EP"},
          {u"Enchantment — Aura|enchantment", u"EP"},
          {u"Enchantment — Aura|artifact", u"EA"},
          {u"Enchantment — Aura Curse|player", u"E"},
          {u"Enchantment — Aura|artifact or creature", u"E"},
          {u"Enchantment — Aura|creature card in a graveyard", u"E"},
          {u"Enchantment — Aura", u"E"},
          {u"Conspiracy", u"unknown card type 'Conspiracy'"},
      },
      [](const QStringList& f) { return QVariantList{cardTypeCode(f[0], u"", f[1])}; });
}

// Real cards' Japanese texts, MTGJSON's beside WHISPER's (the lines that hold
// symbols): the symbols come out in the order and form WHISPER writes them.
TEST(Mapping, SymbolsAsWhisperWritesThem) {
  const std::pair<const char16_t*, const char16_t*> cards[] = {
      {u"{U}, {T}：{C}{C}{C}を加える。", u"(青),(Ｔ)：(◇)(◇)(◇)を加える。"},         // Apprentice Wizard
      {u"あなたは{E}{E}を支払ってもよい。", u"あなたは(Ｅ)(Ｅ)を支払ってもよい。"},  // Aether Inspector
      {u"{X}{W}, {T}：…Ｘ点のダメージを与える。",
       u"(Ｘ)(白),(Ｔ)：…Ｘ点のダメージを与える。"},  // Ballista Squad
      {u"{1}{R/G}：野蛮生まれのハイドラの上に",
       u"(１)(赤/緑)：野蛮生まれのハイドラの上に"},  // Savageborn Hydra
      {u"装備{10}。…コストは、{X}少なくなる。",
       u"装備(１０)。…コストは、(Ｘ)少なくなる。"},  // Belt of Giant Strength
      {u"{S}：…（{S}は氷雪パーマネントから", u"(氷)：…（(氷)は氷雪である発生源から"},  // Boreal Griffin
      {u"（{2/R}は、任意の２マナか{R}で", u"（(２/赤)は任意の２マナか(赤)で"},         // Flame Javelin
      {u"{1}{G/P}, {T}, クリーチャーを", u"(１)(緑/Φ),(Ｔ),クリーチャー１体を"},       // Birthing Pod
      {u"{1}{W}, {Q}：白の１/１の", u"(１)(白),(Ｑ)：白の1/1の"},                      // Patrol Signaler
      {u"瞬間移動 — {3}{W}：ブリンク", u"瞬間移動 ― (３)(白)：ブリンク"},              // Blink Dog
      {u"+1：アーティファクト\n−3：対戦相手\n−Ｘ：あなたの",
       u"[+1]：アーティファクト\n[-3]：対戦相手\n[-X]：あなたの"},
      {u"+2: あなたは\n-2: 白の", u"[+2]：あなたは\n[-2]：白の"},  // Elspeth Tirel
      {u"以下から２つを選ぶ。\n• アーティファクト",
       u"以下から２つを選ぶ。\n・すべてのアーティファクト"},  // Austere Command
  };
  static const QRegularExpression symbol(QStringLiteral(R"(\([^()]{1,6}\)|\[[^\]]{1,4}\]：|―|^・)"),
                                         QRegularExpression::MultilineOption);
  auto symbols = [](const QString& text) {
    QStringList out;
    for (auto it = symbol.globalMatch(text); it.hasNext();) out << it.next().captured();
    return out;
  };
  for (const auto& [mtgjson, whisper] : cards) {
    const QString converted = inWhisperNotation(QString::fromUtf16(mtgjson));
    EXPECT_EQ(symbols(converted), symbols(QString::fromUtf16(whisper))) << converted.toStdString();
    EXPECT_FALSE(converted.contains(u'{')) << converted.toStdString();
  }
  QSet<QString> unknown;
  EXPECT_EQ(inWhisperNotation(u"{HW}{½}{T}", &unknown), QStringLiteral("{HW}{½}(Ｔ)"));
  EXPECT_EQ(unknown, (QSet<QString>{QStringLiteral("{HW}"), QStringLiteral("{½}")}));
}

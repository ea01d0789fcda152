#include <gtest/gtest.h>

#include "query/card.h"

namespace tv::query {
namespace {

using L = Legality;

CardRecord card(QString nameE, QString nameN, QString textJa, QString textEn, QString typeJa, QString typeEn,
                quint8 colors, std::optional<double> mv, QString rarity, QString setCode, QString setName) {
  CardRecord c;
  c.nameE = std::move(nameE);
  c.nameN = std::move(nameN);
  c.textJa = std::move(textJa);
  c.textEn = std::move(textEn);
  c.typeLineJa = std::move(typeJa);
  c.typeLineEn = std::move(typeEn);
  c.colors = c.identity = colors;
  c.manaValue = mv;
  c.rarity = std::move(rarity);
  c.setCode = std::move(setCode);
  c.setName = std::move(setName);
  return c;
}

// Real cards, their texts in the notation each source writes.
std::vector<CardRecord> cards() {
  std::vector<CardRecord> out;
  out.push_back(card("Lightning Bolt", "稲妻",
                     "クリーチャー１体かプレイヤー１人を対象とする。稲妻はそれに３点のダメージを与える。",
                     "Lightning Bolt deals 3 damage to any target.", "インスタント", "Instant", Red, 1, "C",
                     "M10", "基本セット2010"));
  out.back().legalities = {{"modern", L::Legal}, {"legacy", L::Legal}, {"vintage", L::Legal}};
  out.push_back(card("Llanowar Elves", "ラノワールのエルフ", "(Ｔ)：(緑)を加える。", "{T}: Add {G}.",
                     "クリーチャー ― エルフ・ドルイド", "Creature — Elf Druid", Green, 1, "C", "US",
                     "ウルザズ・サーガ"));
  out.back().power = out.back().toughness = "1";
  out.push_back(card("Mogg Fanatic", "モグの狂信者",
                     "モグの狂信者を生け贄に捧げる：クリーチャー１体かプレイヤー１人を対象とする。モグの狂信"
                     "者はそれに１点のダメージを与える。",
                     "Sacrifice Mogg Fanatic: It deals 1 damage to any target.", "クリーチャー ― ゴブリン",
                     "Creature — Goblin", Red, 1, "C", "TE", "テンペスト"));
  out.back().power = out.back().toughness = "1";
  out.push_back(card("Tarmogoyf", "タルモゴイフ", {}, {}, "クリーチャー ― ルアゴイフ", "Creature — Lhurgoyf",
                     Green, 2, "R", "FUT", "未来予知"));
  out.back().power = "*";
  out.back().toughness = "1+*";
  out.push_back(card("Jace, the Mind Sculptor", "精神を刻む者、ジェイス", {}, {},
                     "伝説のプレインズウォーカー ― ジェイス", "Legendary Planeswalker — Jace", Blue, 4, "M",
                     "WWK", "ワールドウェイク"));
  out.back().loyalty = "3";
  out.push_back(card("Ancestral Recall", {}, "プレイヤー１人を対象とする。そのプレイヤーはカードを３枚引く。",
                     "Target player draws three cards.", "インスタント", "Instant", Blue, 1, "R", "LEA",
                     "Limited Edition Alpha"));
  out.back().legalities = {{"legacy", L::Banned}, {"vintage", L::Restricted}};
  out.push_back(card("Careful Study", "入念な研究", "カードを２枚引き、その後カードを２枚捨てる。",
                     "Draw two cards, then discard two cards.", "ソーサリー", "Sorcery", Blue, 1, "C", "OD",
                     "オデッセイ"));
  out.push_back(card("Opt", "選択", "占術１を行う。カードを１枚引く。", "Scry 1. Draw a card.",
                     "インスタント", "Instant", Blue, 1, "C", "IN", "インベイジョン"));
  out.push_back(card("Boros Charm", "ボロスの魔除け", {}, {}, "インスタント", "Instant", Red | White, 2, "U",
                     "GTC", "ギルド門侵犯"));
  out.push_back(card("Sol Ring", "太陽の指輪", "(Ｔ)：(◇)(◇)を加える。", "{T}: Add {C}{C}.",
                     "アーティファクト", "Artifact", 0, 1, "U", "LEA", "Limited Edition Alpha"));
  out.back().legalities = {{"legacy", L::Banned}, {"vintage", L::Restricted}, {"commander", L::Legal}};
  out.push_back(card("Forest", "森", "（(Ｔ)：(緑)を加える。）", "({T}: Add {G}.)", "基本土地 ― 森",
                     "Basic Land — Forest", 0, 0, "C", "US", "ウルザズ・サーガ"));
  out.back().identity = Green;
  return out;
}

QString found(const Query& q) {
  QStringList names;
  for (const CardRecord& c : cards())
    if (matches(q, c)) names << c.nameE;
  return names.join(u'|');
}

const std::vector<Format> kFormats = {
    {"modern", "モダン"}, {"legacy", "レガシー"}, {"vintage", "ヴィンテージ"}, {"commander", "統率者戦"}};

TEST(Query, FindsTheCardsAPlayerMeans) {
  const std::pair<const char16_t*, const char*> cases[] = {
      // names, as the name box has always read them
      {u"稲妻", "Lightning Bolt"},
      {u"らのわーる", "Llanowar Elves"},
      {u"lightning bolt", "Lightning Bolt"},
      {u"bolt lightning", ""},
      {u"\"lightning bolt\"", "Lightning Bolt"},
      {u"or", "Jace, the Mind Sculptor|Boros Charm|Forest"},
      {u"ancestral", "Ancestral Recall"},
      {u"mogg or fanatic", ""},  // a name, as "Fight or Flight" is
      {u"\"mogg\" or \"bolt\"", "Lightning Bolt|Mogg Fanatic"},
      {u"稲妻）", ""},  // some Japanese names hold a ")"
      // rules text, Japanese and English, both notations of the symbols
      {u"o:引く", "Ancestral Recall|Careful Study|Opt"},
      {u"o:\"引く\"", "Ancestral Recall|Opt"},
      {u"テキスト:カードを１枚引く", "Opt"},
      {u"o:\"draw a card\"", "Opt"},
      {u"o:「カードを１枚引く」", "Opt"},
      {u"o:(緑)", "Llanowar Elves|Forest"},
      {u"o:{G}", "Llanowar Elves|Forest"},
      {u"o:{T}:", "Llanowar Elves|Sol Ring|Forest"},
      {u"o:(Ｔ)", "Llanowar Elves|Sol Ring|Forest"},
      {u"o:{C}{C}", "Sol Ring"},
      {u"o:(◇)", "Sol Ring"},
      // type line words
      {u"t:ゴブリン", "Mogg Fanatic"},
      {u"t:goblin", "Mogg Fanatic"},
      {u"タイプ:くりーちゃー", "Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"t:伝説の", "Jace, the Mind Sculptor"},
      {u"t:\"basic land\"", "Forest"},
      // colours and colour identity
      {u"c:r", "Lightning Bolt|Mogg Fanatic|Boros Charm"},
      {u"色:赤白", "Boros Charm"},
      {u"c=r", "Lightning Bolt|Mogg Fanatic"},
      {u"c!=u", "Lightning Bolt|Llanowar Elves|Mogg Fanatic|Tarmogoyf|Boros Charm|Sol Ring|Forest"},
      {u"c<=rw", "Lightning Bolt|Mogg Fanatic|Boros Charm|Sol Ring|Forest"},
      {u"c<rw", "Lightning Bolt|Mogg Fanatic|Sol Ring|Forest"},
      {u"c>r", "Boros Charm"},
      {u"c>=wr", "Boros Charm"},
      {u"c:m", "Boros Charm"},
      {u"色:無色", "Sol Ring|Forest"},
      {u"固有色:g", "Llanowar Elves|Tarmogoyf|Sol Ring|Forest"},
      // numbers, their printed forms and every comparison
      {u"mv<=0", "Forest"},
      {u"cmc=2", "Tarmogoyf|Boros Charm"},
      {u"マナ総量>3", "Jace, the Mind Sculptor"},
      {u"mv>=4", "Jace, the Mind Sculptor"},
      {u"mv!=1", "Tarmogoyf|Jace, the Mind Sculptor|Boros Charm|Forest"},
      {u"mv<1", "Forest"},
      {u"pow=*", "Tarmogoyf"},
      {u"tou:1+*", "Tarmogoyf"},
      {u"pow>=1", "Llanowar Elves|Mogg Fanatic"},
      {u"パワー<1", "Tarmogoyf"},
      {u"pow!=1", "Tarmogoyf"},
      {u"loy=3", "Jace, the Mind Sculptor"},
      // rarity, expansion, legality
      {u"r:u", "Boros Charm|Sol Ring"},
      {u"r>=r", "Tarmogoyf|Jace, the Mind Sculptor|Ancestral Recall"},
      {u"レアリティ:神話レア", "Jace, the Mind Sculptor"},
      {u"r:mythic", "Jace, the Mind Sculptor"},
      {u"e:lea", "Ancestral Recall|Sol Ring"},
      {u"エキスパンション:うるざず", "Llanowar Elves|Forest"},
      {u"f:vintage", "Lightning Bolt|Ancestral Recall|Sol Ring"},
      {u"フォーマット:モダン", "Lightning Bolt"},
      {u"banned:legacy", "Ancestral Recall|Sol Ring"},
      {u"restricted:ヴィンテージ", "Ancestral Recall|Sol Ring"},
      // negation, AND, or, parentheses, full-width forms
      {u"-t:土地 c:c", "Sol Ring"},
      {u"t:クリーチャー c:r mv<=2", "Mogg Fanatic"},
      {u"t:ゴブリン or t:エルフ", "Llanowar Elves|Mogg Fanatic"},
      {u"(c:r or c:g) t:creature", "Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"-(c:r or c:u or c:g)", "Sol Ring|Forest"},
      {u"ｍｖ＜＝１　ｔ：ｃｒｅａｔｕｒｅ", "Llanowar Elves|Mogg Fanatic"},
      {u"（ｃ：ｒ　または　ｃ：ｇ）　ｔ：くりーちゃー", "Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"ーt:インスタント mv≦１ c:u", "Careful Study"},
      {u"t:エルフ or", ""},  // a trailing "or" is a word of a name
      {u"(t:goblin", "Mogg Fanatic"},
      {u"ー・",
       "Lightning Bolt|Llanowar Elves|Mogg Fanatic|Tarmogoyf|Jace, the Mind Sculptor|Ancestral Recall|"
       "Careful Study|Opt|Boros Charm|Sol Ring|Forest"},
  };
  for (const auto& [text, names] : cases) {
    const Parsed p = parseQuery(QStringView(text), kFormats);
    EXPECT_TRUE(p.ok()) << QString::fromUtf16(text).toStdString() << ": " << p.error.toStdString();
    EXPECT_EQ(found(p.query).toStdString(), names) << QString::fromUtf16(text).toStdString();
  }
}

TEST(Query, NamesTheFirstTermItCannotRead) {
  const std::pair<const char16_t*, const char16_t*> cases[] = {
      {u"mv<<2", u"mv<<2"},       {u"t:goblin ｍｖ＜＜２ c:x", u"ｍｖ＜＜２"},
      {u"c:x", u"c:x"},           {u"c>m", u"c>m"},
      {u"r:foo", u"r:foo"},       {u"pow>*", u"pow>*"},
      {u"mv=*", u"mv=*"},         {u"o<引く", u"o<引く"},
      {u"t: goblin", u"t:"},      {u"o:\"\"", u"o:\"\""},
      {u"f:modren", u"f:modren"}, {u"t:goblin)", u")"},
      {u"c:r () t:elf", u"()"},
  };
  for (const auto& [text, term] : cases) {
    const Parsed p = parseQuery(QStringView(text), kFormats);
    EXPECT_EQ(p.error, "「" + QString::fromUtf16(term) + "」を読めません")
        << QString::fromUtf16(text).toStdString();
  }
  // Nesting deeper than anyone writes is refused, not followed down the stack.
  EXPECT_EQ(parseQuery(QString(100000, u'(') + "t:elf").error, "「(」を読めません");
  EXPECT_EQ(parseQuery(QString(100000, u'-') + "t:elf").error, "「-」を読めません");
}

}  // namespace
}  // namespace tv::query

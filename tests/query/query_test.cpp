#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "browse/search.h"
#include "carddb/import.h"
#include "carddb/schema.h"
#include "support/fixtures.h"

namespace tv::query {
namespace {

// Real cards of data/, one printing each (tests/query/cards.json): the rules
// text in Japanese as the import writes it (WHISPER's "(Ｔ)：(緑)") and in
// English (MTGJSON's "{T}: Add {G}."), their legality as the data gave it.
AppContext& cards() {
  static QTemporaryDir dir;
  static AppContext ctx = [] {
    tvtools::ImportOptions o;
    o.mtgjson = QStringLiteral(TV_SOURCE_DIR "/tests/query/cards.json");
    o.output = dir.filePath(QStringLiteral("cards.db"));
    tvtools::importCardDatabase(o);
    AppContext c;
    c.gCardDb = Database::open(o.output, kCardDbConnect);
    keepWorkingTablesInMemory(*c.gCardDb);
    return c;
  }();
  return ctx;
}

// The English names the search finds over every expansion, in its order; the error instead when there is one.
QString found(const QString& text) {
  AppContext& ctx = cards();
  const QString error = readNameBox(ctx, text).error;
  if (!error.isEmpty()) return error;
  SearchFilter filter;
  for (int i = 0; i < 12; ++i) filter.selectedSets << i;
  filter.name = text;
  filter.sortField = QStringLiteral("NameE");
  searchCards(ctx, filter);
  return tvtest::queryRows(*ctx.gCardDb, QStringLiteral("SELECT NameE FROM wtbl_CardList")).join(u'|');
}

TEST(Query, FindsTheCardsAPlayerMeans) {
  const std::pair<const char16_t*, const char*> cases[] = {
      // names, as the name box has always read them
      {u"稲妻", "Lightning Bolt"},
      {u"らのわーる", "Llanowar Elves"},
      {u"\"lightning bolt\"", "Lightning Bolt"},
      {u"bolt lightning", ""},
      {u"or", "Boros Charm|Forest|Jace, the Mind Sculptor"},
      {u"mogg or fanatic", ""},  // a name, as "Fight or Flight" is
      {u"\"mogg\" or \"bolt\"", "Lightning Bolt|Mogg Fanatic"},
      // rules text, Japanese and English, both notations of the symbols
      {u"o:引く", "Divination|Fire // Ice|Jace, the Mind Sculptor|Opt"},
      {u"o:\"引く\"", "Divination|Fire // Ice|Opt"},
      {u"テキスト:カードを１枚引く", "Fire // Ice|Opt"},
      {u"o:\"draw a card\"", "Fire // Ice|Opt"},
      {u"o:「カードを１枚引く」", "Fire // Ice|Opt"},
      {u"o:(緑)", "Forest|Llanowar Elves"},
      {u"o:{G}", "Forest|Llanowar Elves"},
      {u"o:{T}:", "Forest|Krenko, Mob Boss|Llanowar Elves|Sol Ring"},
      {u"o:(Ｔ)", "Forest|Krenko, Mob Boss|Llanowar Elves|Sol Ring"},
      {u"o:{C}{C}", "Sol Ring"},
      {u"o:{2}", "Sol Ring"},
      // type line words
      {u"t:ゴブリン", "Goblin Guide|Krenko, Mob Boss|Mogg Fanatic"},
      {u"t:goblin", "Goblin Guide|Krenko, Mob Boss|Mogg Fanatic"},
      {u"タイプ:くりーちゃー", "Goblin Guide|Krenko, Mob Boss|Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"t:伝説の", "Krenko, Mob Boss"},
      {u"t:legendary", "Jace, the Mind Sculptor|Krenko, Mob Boss"},
      {u"t:\"basic land\"", "Forest"},
      // colours and colour identity
      {u"c:r", "Boros Charm|Fire // Ice|Goblin Guide|Krenko, Mob Boss|Lightning Bolt|Mogg Fanatic"},
      {u"色:赤白", "Boros Charm"},
      {u"c=r", "Goblin Guide|Krenko, Mob Boss|Lightning Bolt|Mogg Fanatic"},
      {u"c!=u",
       "Boros Charm|Fire // Ice|Forest|Goblin Guide|Krenko, Mob Boss|Lightning Bolt|Llanowar Elves|Mogg "
       "Fanatic|Sol Ring|Tarmogoyf"},
      {u"c<=rw", "Boros Charm|Forest|Goblin Guide|Krenko, Mob Boss|Lightning Bolt|Mogg Fanatic|Sol Ring"},
      {u"c<rw", "Forest|Goblin Guide|Krenko, Mob Boss|Lightning Bolt|Mogg Fanatic|Sol Ring"},
      {u"c>r", "Boros Charm|Fire // Ice"},
      {u"c>=wr", "Boros Charm"},
      {u"c:m", "Boros Charm|Fire // Ice"},
      {u"色:無色", "Forest|Sol Ring"},
      {u"固有色:g", "Forest|Llanowar Elves|Sol Ring|Tarmogoyf"},
      // numbers, their printed forms and every comparison
      {u"mv<=0", "Forest"},
      {u"cmc=2", "Boros Charm|Counterspell|Tarmogoyf"},
      {u"マナ総量>3", "Fire // Ice|Jace, the Mind Sculptor|Krenko, Mob Boss"},
      {u"mv>=4", "Fire // Ice|Jace, the Mind Sculptor|Krenko, Mob Boss"},
      {u"mv!=1",
       "Boros Charm|Counterspell|Divination|Fire // Ice|Forest|Jace, the Mind Sculptor|Krenko, Mob Boss|"
       "Tarmogoyf"},
      {u"mv<1", "Forest"},
      {u"pow=*", "Tarmogoyf"},
      {u"tou:1+*", "Tarmogoyf"},
      {u"pow>=2", "Goblin Guide|Krenko, Mob Boss"},
      {u"パワー<1", "Tarmogoyf"},
      {u"pow!=1", "Goblin Guide|Krenko, Mob Boss|Tarmogoyf"},
      {u"loy=3", "Jace, the Mind Sculptor"},
      // rarity, expansion, legality
      {u"r:u", "Boros Charm|Sol Ring"},
      {u"r>=r", "Ancestral Recall|Goblin Guide|Jace, the Mind Sculptor|Krenko, Mob Boss|Tarmogoyf"},
      {u"レアリティ:神話レア", "Jace, the Mind Sculptor"},
      {u"e:lea", "Ancestral Recall"},
      {u"エキスパンション:masters", "Counterspell|Fire // Ice|Mogg Fanatic"},
      {u"f:vintage -f:modern", "Ancestral Recall|Sol Ring"},
      {u"フォーマット:パウパー c:u", "Counterspell|Divination|Fire // Ice|Opt"},
      {u"banned:legacy", "Ancestral Recall|Sol Ring"},
      {u"restricted:ヴィンテージ", "Ancestral Recall|Sol Ring"},
      // negation, AND, or, parentheses, full-width forms
      {u"-t:土地 c:c", "Sol Ring"},
      {u"t:ゴブリン c:r mv<=2", "Goblin Guide|Mogg Fanatic"},
      {u"t:ゴブリン or t:エルフ", "Goblin Guide|Krenko, Mob Boss|Llanowar Elves|Mogg Fanatic"},
      {u"(c:r or c:g) t:creature", "Goblin Guide|Krenko, Mob Boss|Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"-(c:r or c:u or c:g)", "Forest|Sol Ring"},
      {u"ｍｖ＜＝１　ｔ：ｃｒｅａｔｕｒｅ", "Goblin Guide|Llanowar Elves|Mogg Fanatic"},
      {u"（ｃ：ｒ　または　ｃ：ｇ）　ｔ：くりーちゃー",
       "Goblin Guide|Krenko, Mob Boss|Llanowar Elves|Mogg Fanatic|Tarmogoyf"},
      {u"ーt:インスタント c:u", "Divination|Jace, the Mind Sculptor"},
      {u"t:エルフ or", ""},  // a trailing "or" is a word of a name
      {u"(t:goblin", "Goblin Guide|Krenko, Mob Boss|Mogg Fanatic"},
      {u"ー・",
       "Ancestral Recall|Boros Charm|Counterspell|Divination|Fire // Ice|Forest|Goblin Guide|Jace, the Mind "
       "Sculptor|Krenko, Mob Boss|Lightning Bolt|Llanowar Elves|Mogg Fanatic|Opt|Sol Ring|Tarmogoyf"},
      // what cannot be read
      {u"t:goblin mv<<2", "「mv<<2」を読めません"},
      {u"f:modren", "「f:modren」を読めません"},
  };
  for (const auto& [text, names] : cases)
    EXPECT_EQ(found(QString::fromUtf16(text)).toStdString(), names) << QString::fromUtf16(text).toStdString();
}

// Where a query says what a plain statement can, both find the same cards.
TEST(Query, FindsWhatThePlainStatementFinds) {
  const std::pair<const char16_t*, const char*> cases[] = {
      {u"mv<=2", "NumCost <= 2 OR NumCost IS NULL"},
      {u"c=r", "Color = 'R'"},
      {u"-c=r mv>=3", "NOT Color = 'R' AND NumCost >= 3"},
      {u"r:u or r:r", "Rare IN ('U', 'R')"},
      {u"pow>=2", "typeof(CAttack) = 'integer' AND CAttack >= 2"},
      {u"pow=*", "CAttack = '*'"},
  };
  for (const auto& [text, where] : cases) {
    const QString plain =
        tvtest::queryRows(*cards().gCardDb, QStringLiteral("SELECT NameE FROM tbl_CardMst WHERE ") + where +
                                                QStringLiteral(" ORDER BY NameE"))
            .join(u'|');
    EXPECT_FALSE(plain.isEmpty()) << where;
    EXPECT_EQ(found(QString::fromUtf16(text)), plain) << where;
  }
}

const std::vector<Format> kFormats = {
    {"modern", "モダン"}, {"legacy", "レガシー"}, {"vintage", "ヴィンテージ"}, {"commander", "統率者戦"}};

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

#include "deck/decktext.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <array>

#include "carddb/setcodes.h"
#include "deck/tvffile.h"
#include "support/fixtures.h"

using namespace tv;

namespace {

// Expansions with the classic codes of the shipped set table, newest first.
class DeckTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    f.addSet(0, "第8版", "8E");
    f.addSet(1, "アポカリプス", "AP");
    f.addSet(2, "インベイジョン", "IN");
    const QList<std::array<const char*, 4>> cards = {
        {"8E", "Llanowar Elves", "ラノワールのエルフ", "C"},
        {"IN", "Llanowar Elves", "ラノワールのエルフ", "C"},
        {"IN", "Birds of Paradise", "極楽鳥", "C"},
        {"8E", "Forest", "森", "BL"},
        {"AP", "Fire // Ice", "火 // 氷", "I"},
        {"IN", "Aether Rift", "エーテルの裂け目", "E"},
        {"IN", "Bomb Squad", "爆弾部隊", "C"},
        {"8E", "Demolition Team", "爆弾部隊", "C"},  // two cards, one Japanese name
        {"8E", "Urza's Mine", "ウルザの鉱山", "L"},
    };
    for (const auto& [set, nameE, nameN, type] : cards) {
      tvtest::Card c;
      c.set = set, c.nameE = nameE, c.nameN = nameN, c.color = "N", c.type = type;
      f.addCard(c);
    }
  }
  DeckTextImport import(const QString& text) { return importDeckText(text, *cardNames(f.ctx)); }

  tvtest::CardDbFixture f;
};

QString entries(const QList<DeckEntry>& list) {
  QStringList out;
  for (const DeckEntry& e : list)
    out << QStringLiteral("%1 %2 %3").arg(e.CardMaisu).arg(e.NameE, e.CardSetEx);
  return out.join(" | ");
}

QString problems(const QList<DeckTextProblem>& list) {
  QStringList out;
  for (const DeckTextProblem& p : list)
    out << QStringLiteral("%1%2 %3").arg(p.line).arg(p.imported ? "+" : "").arg(p.reason);
  return out.join(" | ");
}

}  // namespace

TEST(DeckTextReader, EachLineIsReadOnItsOwnOrListedAsUnreadable) {
  // Every line's reading as "line:side copies name [set]", an unreadable line as "!line".
  const std::pair<const char*, const char*> cases[] = {
      {"4 Lightning Bolt", "1:M4 Lightning Bolt"},
      {"4x Lightning Bolt\n3 X Xenagos\n2 Xenagos", "1:M4 Lightning Bolt 2:M3 Xenagos 3:M2 Xenagos"},
      {"SB: 2 Duress\nsb:1x Duress\n4 Bolt", "1:S2 Duress 2:S1 Duress 3:M4 Bolt"},
      {"4 Fire // Ice (APC) 128\n1 Opt (inv)", "1:M4 Fire // Ice [APC] 2:M1 Opt [inv]"},
      {"4 [INV] Opt", "1:M4 Opt [INV]"},
      {"Deck\n4 A\n\nSideboard\n2 B", "2:M4 A 5:S2 B"},
      {"4 A\n\n2 B\n\n1 C", "1:M4 A 3:S2 B 5:S1 C"},              // the first blank line after cards
      {"\n4 A\n// comment\n# note\n\n2 B", "2:M4 A 6:S2 B"},      // leading blank and comments
      {"4 A\n\n2 B\nサイドボード\n1 C", "1:M4 A 3:M2 B 5:S1 C"},  // a sideboard line: blanks mean nothing
      {"４　極楽鳥\r\nＳＢ：１ 森\r2 C", "1:M4 極楽鳥 2:S1 森 3:M2 C"},  // full width, CR LF, lone CR
      {"Sideboard (15):\n1 A\nMain deck\n2 B", "2:S1 A 4:M2 B"},
      {"Creatures\n4 Bolt\n0 Opt\n99999 Opt\nx4 Opt\n4xOpt\n4", "!1 2:M4 Bolt !3 !4 !5 !6 !7"},
  };
  for (const auto& [in, out] : cases) {
    const ParsedDeckText p = parseDeckText(QString::fromUtf8(in));
    QMap<int, QString> got;  // by line
    for (const DeckTextLine& l : p.cards)
      got[l.line] = QStringLiteral("%1:%2%3 %4%5")
                        .arg(l.line)
                        .arg(l.side ? "S" : "M")
                        .arg(l.copies)
                        .arg(l.name, l.setCode.isEmpty() ? QString() : " [" + l.setCode + "]");
    for (const DeckTextProblem& pr : p.problems) got[pr.line] = "!" + QString::number(pr.line);
    EXPECT_EQ(got.values().join(' '), QString::fromUtf8(out)) << in;
  }
}

// Random text, with the runs that once took the reader minutes (blanks before
// "(", set words after them, characters NFKC makes 18 of, marks after a
// letter): never broken, never slow (a slow reader makes this run long).
TEST(DeckTextReader, RandomTextNeverBreaksIt) {
  QRandomGenerator rng(13);
  const QStringList pieces = {"4",
                              "x",
                              " ",
                              "SB:",
                              "(",
                              ")",
                              "[",
                              "]",
                              "//",
                              "/",
                              "#",
                              "\n",
                              "\r",
                              "\r\n",
                              "Sideboard",
                              "Deck",
                              "ラ",
                              "ー",
                              "０",
                              "Æ",
                              "\t",
                              QString(QChar(0xFEFF)),
                              "99999999999",
                              "32767",
                              "(AB) x y",
                              QString(4000, u' '),
                              QString(600, QChar(0xFDFA)),
                              "a" + QString(1000, QChar(0x301)),
                              QString(400, QChar(0x332B))};
  for (int i = 0; i < 3000; ++i) {
    QString text;
    const int n = int(rng.bounded(40));
    for (int k = 0; k < n; ++k)
      text += rng.bounded(4) ? pieces[rng.bounded(int(pieces.size()))]
                             : QString(QChar(char16_t(rng.bounded(0xD800))));
    const ParsedDeckText p = parseDeckText(text);
    for (const DeckTextLine& l : p.cards) {
      ASSERT_GT(l.copies, 0);
      ASSERT_LE(l.copies, kMaxCopies);
      ASSERT_LE(l.line, p.lines.size());
    }
  }
}

TEST_F(DeckTextTest, NamesInEnglishJapaneseFoldedAndSplit) {
  const auto r = import(
      "4 llanowar elves\n2 らのわーるのえるふ\n1 Æther Rift\n1 Fire\n1 氷\n1 Fire/Ice\n1 Fire // Ice\n"
      "4 ＢＩＲＤＳ ＯＦ ＰＡＲＡＤＩＳＥ");
  EXPECT_EQ(entries(r.deck.main),
            "6 Llanowar Elves 8E | 1 Aether Rift IN | 4 Fire // Ice AP | 4 Birds of Paradise IN");
  EXPECT_EQ(problems(r.problems), "1+ 4枚を超えています（6枚、そのまま読み込みます）");
}

TEST_F(DeckTextTest, UnknownAndAmbiguousNamesAreListedNotGuessed) {
  const auto r = import("4 Lightning Bolt\n2 爆弾部隊\n1 Bomb Squad\n3 Llanowar");
  EXPECT_EQ(entries(r.deck.main), "1 Bomb Squad IN");
  EXPECT_EQ(problems(r.problems),
            "1 カードが見つかりません | 2 複数のカードに当てはまります: Bomb Squad / Demolition Team | "
            "4 カードが見つかりません");
  EXPECT_EQ(r.problems[0].text, "4 Lightning Bolt");
}

TEST_F(DeckTextTest, SetCodePicksThatExpansionElseTheNewest) {
  EXPECT_EQ(classicSetCode(u"inv"), "IN");
  EXPECT_EQ(listSetCode(u"8e"), "8ED");
  const auto r = import(
      "1 Llanowar Elves (INV) 250\n1 Forest\n2 Llanowar Elves\n3 [IN] Llanowar Elves\n"
      "1 Llanowar Elves (APC)\n1 Llanowar Elves (ZZZ)\n12 Forest");
  EXPECT_EQ(entries(r.deck.main), "4 Llanowar Elves IN | 13 Forest 8E | 4 Llanowar Elves 8E");
  EXPECT_TRUE(r.problems.isEmpty()) << problems(r.problems).toStdString();  // basic lands are free
}

TEST_F(DeckTextTest, ExportIsPlainTextThatImportsToTheSameDeck) {
  Deck deck;
  deck.title = "kept";
  deck.main = {{"IN", "Llanowar Elves", 4}, {"8E", "Forest", 16}, {"AP", "Fire // Ice", 2}};
  deck.side = {{"8E", "Llanowar Elves", 1}, {"8E", "Urza's Mine", 3}};
  const QString text = writeDeckText(deck, *cardNames(f.ctx));
  EXPECT_EQ(text, "4 Llanowar Elves (INV)\n16 Forest\n2 Fire // Ice\n\n1 Llanowar Elves\n3 Urza's Mine\n");
  const auto back = import(text);
  EXPECT_EQ(back.deck.main, deck.main);
  EXPECT_EQ(back.deck.side, deck.side);
  EXPECT_TRUE(back.problems.isEmpty());

  deck.main.clear();  // a sideboard alone needs its section named
  EXPECT_EQ(import(writeDeckText(deck, *cardNames(f.ctx))).deck.side, deck.side);
}

TEST_F(DeckTextTest, EveryCountOneFormatWritesBothFormatsReadBack) {
  const auto names = cardNames(f.ctx);
  // Two lines of 9999 make 19998, which the text then carries.
  const auto merged = import("9999 Forest\n9999 Forest");
  EXPECT_EQ(entries(merged.deck.main), "19998 Forest 8E");
  for (const qint64 n : {qint64(1), qint64(19998), kMaxCopies}) {
    const Deck deck{"", "", {{"8E", "Forest", n}}, {{"8E", "Forest", n}, {"IN", "Llanowar Elves", 4}}};
    const auto text = import(writeDeckText(deck, *names));
    EXPECT_EQ(text.deck, deck) << n;
    EXPECT_TRUE(text.problems.isEmpty());
    EXPECT_EQ(decodeTvf(*encodeTvf(deck).bytes).deck, deck) << n;
  }
}

TEST_F(DeckTextTest, CountsPastTheLimitAreListedAndTheSideboardStaysApart) {
  const QString a = QString(5000, u' ');
  const auto r = import("32768 Forest\n\n2 Llanowar" + a + "Elves\n20000 Forest\n20000 Forest\n1 " + a + "(");
  EXPECT_EQ(entries(r.deck.main), "");
  EXPECT_EQ(entries(r.deck.side), "2 Llanowar Elves 8E | 20000 Forest 8E");
  EXPECT_EQ(problems(r.problems),
            "1 枚数が多すぎます（1枚のカードは32767枚まで） | 5 同じカードと合わせると32767枚を超えます | "
            "6 カードが見つかりません");
}

TEST(DeckTextReader, TheDialogTakesNoTextItsBoxWouldTakeLongOver) {
  const QString line999 = QString(999, u'a') + u'\n', kana999 = QString(999, QChar(0x3042)) + u'\n';
  const std::tuple<QString, qsizetype, QString> cases[] = {
      {QString(1000, u'a'), 0, ""},
      {"x\r\n" + QString(1001, u'a'), 0, "2 行目が長すぎます（1001 文字。1 行 1000 文字まで）。"},
      {QString("a\n").repeated(9999), 0, ""},
      {"a\n", 9999, "行が多すぎます（10001 行。10000 行まで）。"},
      {line999.repeated(1048), 0, ""},
      {line999.repeated(1049), 0, "テキストが大きすぎます（1024 KB まで）。"},
      {kana999.repeated(349), 0, ""},  // 3 bytes of UTF-8 a character
      {kana999.repeated(350), 0, "テキストが大きすぎます（1024 KB まで）。"},
  };
  for (const auto& [text, linesBefore, refusal] : cases)
    EXPECT_EQ(deckTextRefusal(text, linesBefore).value_or(""), refusal) << text.size();
}

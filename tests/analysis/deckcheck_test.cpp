#include "analysis/deckcheck.h"

#include <gtest/gtest.h>

#include "carddb/codes.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

// "4 Lightning Bolt; 56 Forest // 1 Omnath": main, then side; a name ending
// in "*" is a basic land by its card type alone.
DeckCards deckOf(const QString& written) {
  DeckCards deck;
  const QStringList halves = written.split(" // ");
  for (int h = 0; h < halves.size(); ++h)
    for (const QString& entry : halves[h].split("; ", Qt::SkipEmptyParts)) {
      QList<DeckCard>& half = h == 0 ? deck.main : deck.side;
      DeckCard c;
      c.ref = {h == 0 ? DeckHalf::Main : DeckHalf::Side, int(half.size())};
      c.copies = entry.section(' ', 0, 0).toLongLong();
      c.NameE = entry.section(' ', 1);
      if (c.NameE.endsWith('*')) {
        c.NameE.chop(1);
        c.cardType = kBasicLand.toString();
      }
      half.append(c);
    }
  return deck;
}

// Hand-made facts, as the card data gives them. `flags`: a any number, c may
// lead a commander deck, p partner, a digit its own copy limit.
CardFacts fact(const char* identity, const char* flags = "", const char* typeLine = "",
               const char* partnerWith = "") {
  CardFacts f;
  f.colorIdentity = identity;
  const QString set = flags;
  f.anyNumber = set.contains('a');
  f.commander = set.contains('c');
  f.partner = set.contains('p');
  if (const QChar limit = set.isEmpty() ? QChar() : set.back(); limit.isDigit())
    f.copyLimit = limit.digitValue();
  f.typeLine = typeLine;
  f.partnerWith = partnerWith;
  return f;
}

CardFactsTable facts() {
  const QStringList all = {"modern", "legacy", "vintage", "pauper", "commander", "brawl"};
  auto legalIn = [](const QStringList& formats, Legality l = Legality::Legal) {
    QHash<QString, Legality> out;
    for (const QString& f : formats) out.insert(f, l);
    return out;
  };
  CardFactsTable t;
  t.add("Lightning Bolt", fact("R"), legalIn(all));
  t.add("Counterspell", fact("U"), legalIn(all));
  t.add("Forest", fact("G", "a"), legalIn(all));
  t.add("Relentless Rats", fact("B", "a"), legalIn(all));
  t.add("Seven Dwarves", fact("R", "7"), legalIn(all));
  t.add("Tarmogoyf", fact("G"), legalIn({"modern", "legacy", "vintage", "commander"}));
  auto twin = legalIn({"legacy", "vintage", "commander"});
  twin.insert("modern", Legality::Banned);
  t.add("Splinter Twin", fact("R"), twin);
  auto lotus = legalIn({"legacy", "commander"}, Legality::Banned);
  lotus.insert("vintage", Legality::Restricted);
  t.add("Black Lotus", fact(""), lotus);
  const QHash<QString, Legality> commander = legalIn({"commander", "legacy", "vintage"});
  t.add("Omnath, Locus of Mana", fact("G", "c", "Legendary Creature — Elemental"), commander);
  t.add("Thrasios, Triton Hero", fact("UG", "cp"), commander);
  t.add("Tymna the Weaver", fact("WB", "cp"), commander);
  t.add("Pir, Imaginative Rascal", fact("G", "cp", "", "Toothy, Imaginary Friend"), commander);
  t.add("Toothy, Imaginary Friend", fact("U", "cp", "", "Pir, Imaginative Rascal"), commander);
  t.add("Grizzly Bears", fact("G", "", "Creature — Bear"), legalIn(all));
  t.add("Nissa, Who Shakes the World", fact("G", "", "Legendary Planeswalker — Nissa"), legalIn(all));
  return t;
}

QString problemsOf(const DeckCheck& c) {
  QStringList out;
  for (const DeckProblem& p : c.problems) out << p.text;
  return out.join(" | ");
}

}  // namespace

TEST(DeckCheck, TheRulesOfEachFormat) {
  const CardFactsTable table = facts();
  struct Case {
    const char* format;
    const char* deck;
    const char* problems;
  };
  const Case cases[] = {
      {"modern", "4 Lightning Bolt; 56 Forest // 4 Counterspell; 11 Forest", ""},
      // Every printing and both halves count; the check does not stop at the deck lists' limit.
      {"modern", "4 Lightning Bolt; 3 Lightning Bolt; 53 Forest // 1 Lightning Bolt",
       "同じ名前のカードは4枚までです（8枚）：Lightning Bolt/"},
      {"modern", "1 Splinter Twin; 58 Forest // 16 Forest",
       "メインデッキが60枚未満です（59枚） | サイドボードが15枚を超えています（16枚） | 禁止：Splinter "
       "Twin/"},
      {"vintage", "2 Black Lotus; 58 Forest", "制限：1枚までです（2枚）：Black Lotus/"},
      {"vintage", "1 Black Lotus; 59 Forest", ""},
      {"legacy", "1 Black Lotus; 59 Forest", "禁止：Black Lotus/"},
      {"pauper", "4 Tarmogoyf; 56 Forest", "このフォーマットでは使えません：Tarmogoyf/"},
      {"modern", "20 Relentless Rats; 8 Seven Dwarves; 32 Forest",
       "このカードは7枚までです（8枚）：Seven Dwarves/"},
      {"modern", "5 Mystery Card; 30 Wastes*; 25 Forest",
       "カードの情報がありません：Mystery Card/ | 同じ名前のカードは4枚までです（5枚）：Mystery Card/ | "
       "カードの情報がありません：Wastes/"},
      // Commander: the sideboard holds the commander.
      {"commander", "98 Forest; 1 Tarmogoyf // 1 Omnath, Locus of Mana", ""},
      {"commander", "97 Forest; 1 Counterspell // 1 Thrasios, Triton Hero; 1 Tymna the Weaver", ""},
      {"commander", "98 Forest // 1 Pir, Imaginative Rascal; 1 Toothy, Imaginary Friend", ""},
      {"commander", "98 Forest; 1 Counterspell // 1 Omnath, Locus of Mana",
       "統率者の固有色にないカードです：Counterspell/"},
      {"commander", "98 Forest // 1 Omnath, Locus of Mana; 1 Thrasios, Triton Hero",
       "2枚の統率者がパートナー同士ではありません：Omnath, Locus of Mana/、Thrasios, Triton Hero/"},
      {"commander", "98 Forest // 1 Pir, Imaginative Rascal; 1 Thrasios, Triton Hero",
       "2枚の統率者がパートナー同士ではありません：Pir, Imaginative Rascal/、Thrasios, Triton Hero/"},
      {"commander", "99 Forest // 1 Grizzly Bears", "統率者にできないカードです：Grizzly Bears/"},
      {"commander", "96 Forest; 2 Lightning Bolt // 1 Omnath, Locus of Mana",
       "メインデッキと統率者で100枚にします（今は99枚） | 統率者の固有色にないカードです：Lightning Bolt/ | "
       "同じ名前のカードは1枚までです（2枚）：Lightning Bolt/"},
      {"commander", "100 Forest", "統率者をサイドボードに入れてください"},
      {"commander", "97 Forest // 3 Omnath, Locus of Mana",
       "サイドボードには統率者だけを入れます：1枚、パートナーなら2枚（今は3枚） | "
       "同じ名前のカードは1枚までです（3枚）：Omnath, Locus of Mana/"},
      {"commander", "99 Forest // 1 Nissa, Who Shakes the World",
       "統率者にできないカードです：Nissa, Who Shakes the World/"},
      {"brawl", "59 Forest // 1 Nissa, Who Shakes the World", ""},
  };
  for (const Case& c : cases) {
    const DeckCards deck = deckOf(c.deck);
    const DeckCheck check = checkDeck(deck, c.format, table.facts(deckNames(deck), c.format), true);
    EXPECT_EQ(problemsOf(check), c.problems) << c.format << ": " << c.deck;
    EXPECT_EQ(checkVerdict(check).endsWith("：適正"), QString(c.problems).isEmpty()) << c.deck;
  }
}

TEST(DeckCheck, NamesItsLinesAndSaysWhenTheDataHasNoFacts) {
  const DeckCards deck =
      deckOf("4 Lightning Bolt; 53 Forest; 3 lightning bolt // 1 Forest; 1 Lightning Bolt");
  const DeckCheck check = checkDeck(deck, "modern", facts().facts(deckNames(deck), "modern"), true);
  ASSERT_EQ(check.problems.size(), 1);
  const QList<DeckLineRef> lines = {{DeckHalf::Main, 0}, {DeckHalf::Main, 2}, {DeckHalf::Side, 1}};
  EXPECT_EQ(check.problems[0].lines, lines);
  EXPECT_EQ(problemLines(check, DeckHalf::Main), (QList<int>{0, 2}));
  EXPECT_EQ(problemLines(check, DeckHalf::Side), QList<int>{1});
  EXPECT_EQ(checkVerdict(check), "モダン：問題 1 件");

  const DeckCheck none = checkDeck(deck, "modern", {}, false);
  EXPECT_TRUE(none.problems.isEmpty());
  EXPECT_FALSE(none.legal());
  EXPECT_EQ(checkVerdict(none), "このカードデータには適正の情報がありません");
}

// The facts an import stores, of real cards of data/ (tests/tools/mtgjson-facts.json); none in a card
// database made by `build`.
TEST(DeckCheck, OverTheFactsTheCardDatabaseHolds) {
  const auto stored = StoredCardFacts::load(*tvtest::openFactsCardDb());
  ASSERT_TRUE(stored);
  EXPECT_TRUE(stored->formats().contains("oldschool"));
  const char* const cases[][3] = {
      {"modern", "4 Ponder; 1 Black Lotus; 55 Snow-Covered Forest",
       "禁止：Ponder/ | このフォーマットでは使えません：Black Lotus/"},
      {"vintage", "2 Ponder; 1 Black Lotus; 8 Seven Dwarves; 49 Relentless Rats",
       "制限：1枚までです（2枚）：Ponder/ | このカードは7枚までです（8枚）：Seven Dwarves/"},
      {"commander", "1 Llanowar Elves; 1 Serra Angel; 97 Snow-Covered Forest // 1 Thrasios, Triton Hero",
       "統率者の固有色にないカードです：Serra Angel/"},
      {"commander", "98 Snow-Covered Forest // 1 Will Kenrith; 1 Thrasios, Triton Hero",
       "2枚の統率者がパートナー同士ではありません：Will Kenrith/、Thrasios, Triton Hero/"},
      // A rare, and an uncommon never printed as a common, are no Pauper cards.
      {"pauper", "4 Llanowar Elves; 1 Thrasios, Triton Hero; 2 Serra Angel; 53 Snow-Covered Forest",
       "このフォーマットでは使えません：Thrasios, Triton Hero/ | このフォーマットでは使えません：Serra "
       "Angel/"},
      // Two printings in the main deck and one in the sideboard: one name.
      {"pauper", "3 Mogg War Marshal; 2 Mogg War Marshal; 55 Snow-Covered Forest // 1 Mogg War Marshal",
       "同じ名前のカードは4枚までです（6枚）：Mogg War Marshal/"},
  };
  for (const auto& [format, written, problems] : cases) {
    const DeckCards deck = deckOf(written);
    EXPECT_EQ(problemsOf(checkDeck(deck, format, stored->facts(deckNames(deck), format), true)), problems)
        << written;
  }
  tvtest::CardDbFixture built;
  EXPECT_FALSE(StoredCardFacts::load(built.db()));
}

TEST(Formats, EveryFormatOfTheDataHasAJapaneseNameInBoxOrder) {
  const QStringList data = {
      "alchemy",  "brawl",         "commander", "duel",     "explorer",  "future", "gladiator",
      "historic", "historicbrawl", "legacy",    "modern",   "oldschool", "pauper", "paupercommander",
      "penny",    "pioneer",       "premodern", "standard", "vintage"};
  for (const QString& key : data) EXPECT_NE(formatRules(key).label, key) << key.toStdString();
  EXPECT_EQ(formatsInBoxOrder(data + QStringList{"zeta", "alpha"}).mid(0, 7).join(","),
            "standard,pioneer,modern,legacy,vintage,pauper,commander");
  EXPECT_EQ(formatsInBoxOrder({"zeta", "modern", "alpha"}), (QStringList{"modern", "alpha", "zeta"}));
  EXPECT_EQ(formatRules("zeta").label, "zeta");  // a newer format of the data, by its own name
  // The box: no format first; without facts in the data, the well-known seven to say so.
  EXPECT_EQ(formatBoxKeys({"zeta", "modern"}), (QStringList{"", "modern", "zeta"}));
  EXPECT_EQ(formatBoxKeys({}).join(","), ",standard,pioneer,modern,legacy,vintage,pauper,commander");
  EXPECT_EQ(formatLabel(""), "（なし）");
}

#include <gtest/gtest.h>

#include "analysis/deckanalysis.h"
#include "analysis/samplehand.h"
#include "deck/decklist.h"
#include "deck/decktext.h"
#include "deck/tvffile.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;

namespace {

QString colorLetters(unsigned colors) {
  QString out;
  for (int c = 0; c < kManaColors; ++c)
    if (colors & (1u << c)) out += manaLetter(c);
  return out;
}

QString pipText(const ManaCounts& pips) {
  QString out;
  for (int c = 0; c < kManaColors; ++c)
    if (pips[size_t(c)]) out += QString::number(pips[size_t(c)]) + manaLetter(c);
  return out;
}

DeckCard card(const QString& nameE, const QString& nameN, qint64 copies) {
  DeckCard c;
  c.NameE = nameE;
  c.NameN = nameN;
  c.copies = copies;
  return c;
}

}  // namespace

TEST(ManaSymbols, CostsTextsAndLandTypesInBothNotations) {
  const std::pair<const char*, const char*> costs[] = {
      {"2WW", "2W"}, {"(W/U)(W/U)", "2W2U"}, {"(G/P)G", "2G"}, {"1R // 1U", "1U1R"},
      {"XC", "1C"},  {"(2/W)S", "1W"},       {"{G}{G}", "2G"}, {"(２)(緑)", "1G"},
      {"", ""},      {"(unclosed", ""},
  };
  for (const auto& [cost, pips] : costs) EXPECT_EQ(pipText(costPips(QString::fromUtf8(cost))), pips) << cost;

  const std::pair<const char*, const char*> texts[] = {
      {"(Ｔ)：(緑)を加える。", "G"},
      {"（(Ｔ)：(緑)か(青)を加える。）", "UG"},
      {"(Ｔ)：あなたのマナ・プールに(赤)(赤)を加える。", "R"},
      {"飛行\r\n(Ｔ)：好きな色１色のマナ１点を加える。", "WUBRG"},
      {"(Ｔ)：あなたの統率者の固有色１色のマナ１点を加える。", "WUBRG"},
      {"(Ｔ)：(◇)を加える。", "C"},
      {"({T}: Add {G}.)", "G"},
      {"{T}: Add {R} or {G}.", "RG"},
      {"{T}: Add one mana of any color.", "WUBRG"},
      {"{T}, Sacrifice a creature: Add {C}{C}.", "C"},
      {"{T}：あなたのマナ・プールに{1}を加える。", "C"},  // colourless as older texts write it
      {"{T}：対戦相手がコントロールしている土地が生み出すことのできる色１色のマナ１点を加える。", "WUBRG"},
      {"{T}：その選ばれた色のマナ１点を加える。", "WUBRG"},
      {"(２)(緑)：あなたのライブラリーからカード１枚を探し、あなたの手札に加える。", ""},  // a cost, a card
      {"{2}{G}: Draw a card. (This is an additional cost.)", ""},
      {"Flying", ""},
  };
  for (const auto& [text, colors] : texts)
    EXPECT_EQ(colorLetters(producedColors(QString::fromUtf8(text))), colors) << text;

  const std::pair<const char*, const char*> types[] = {
      {"Basic Land — Forest", "G"}, {"Land — Forest Island", "UG"}, {"土地 ― 森・島", "UG"},
      {"基本土地 ― 平地", "W"},     {"Snow-Covered Swamp", "B"},    {"Creature — Elf Druid", ""},
      {"Land — Urza's Mine", ""},
  };
  for (const auto& [line, colors] : types)
    EXPECT_EQ(colorLetters(landTypeColors(QString::fromUtf8(line))), colors) << line;

  const std::pair<const char*, const char*> fetches[] = {
      {"(Ｔ),１点のライフを支払う,"
       "樹木茂る山麓を生け贄に捧げる：あなたのライブラリーから山か森であるカード１枚を探し、"
       "戦場に出す。",
       "RG"},
      {"{T}, ライフを１点支払う, "
       "血染めのぬかるみを生け贄に捧げる：あなたのライブラリーから沼・カードか山・カードを１枚探し",
       "BR"},
      {"{T}, Pay 1 life, Sacrifice Flooded Strand: Search your library for a Plains or Island card, put it "
       "onto the "
       "battlefield, then shuffle.",
       "WU"},
      {"{T}, Sacrifice Evolving Wilds: Search your library for a basic land card", ""},
  };
  for (const auto& [text, colors] : fetches)
    EXPECT_EQ(colorLetters(fetchedColors(QString::fromUtf8(text))), colors) << text;
}

TEST(DeckStatistics, TypesCurveColoursAndSourcesOfADeckInItsTables) {
  tvtest::CardDbFixture f;
  f.addSet(0, "基本セット", "M");
  auto add = [&](const char* name, const char* nameN, const char* type, QVariant cost, QVariant mv,
                 QVariant text) {
    tvtest::Card c;
    c.set = "M", c.nameE = name, c.nameN = nameN, c.color = "N", c.type = type, c.cost = cost;
    c.numCost = mv, c.text = text;
    f.addCard(c);
  };
  add("Llanowar Elves", "ラノワールのエルフ", "C", "G", 1, "(Ｔ)：(緑)を加える。");
  add("Birds of Paradise", "極楽鳥", "C", "G", 1, "飛行\r\n(Ｔ)：好きな色１色のマナ１点を加える。");
  add("Lightning Bolt", "稲妻", "I", "R", 1, {});
  add("Counterspell", "対抗呪文", "I", "UU", 2, {});
  add("Colossus", "巨像", "AC", "8", 8, {});
  add("Tropical Island", "Tropical Island", "L", {}, {}, {});  // the English text in the facts
  add("Forest", "森", "BL", {}, {}, {});                       // no text at all
  for (const auto& [table, name, n] : {std::tuple{"wtbl_DecList", "Llanowar Elves", 4},
                                       {"wtbl_DecList", "Birds of Paradise", 4},
                                       {"wtbl_DecList", "Lightning Bolt", 4},
                                       {"wtbl_DecList", "Counterspell", 2},
                                       {"wtbl_DecList", "Colossus", 1},
                                       {"wtbl_DecList", "Tropical Island", 3},
                                       {"wtbl_DecList", "Forest", 10},
                                       {"wtbl_DecList", "Nowhere Card", 1},  // no master row
                                       {"wtbl_DecSideList", "Lightning Bolt", 2}})
    f.addDeckRow(table, "M", name, {}, n);
  CardFactsTable facts;
  CardFacts tropical;
  tropical.typeLine = "Land — Forest Island";
  tropical.text = "({T}: Add {G} or {U}.)";
  facts.add("Tropical Island", tropical, {{"legacy", Legality::Legal}});

  AnalysisRequest request;
  request.sortField = "NumCost";
  request.facts = &facts;
  const DeckAnalysis a = analyseDeck(f.db(), request);

  // Lines as the deck lists show them, with their cards.
  QStringList lines, cardTypes;
  for (const DeckCard& c : a.cards.main) {
    lines << deckLine(c.copies, c.NameE, c.NameN);
    cardTypes << c.cardType;
  }
  EXPECT_EQ(lines, readDeckList(f.db(), "wtbl_DecList", "NumCost", DeckSelection::none()).lines);
  EXPECT_EQ(cardTypes.join(","), "C,AC,I,BL,I,C,,L");

  const DeckStats& s = a.stats;
  QStringList types;
  for (const TypeCount& t : s.types) types << QStringLiteral("%1 %2/%3").arg(t.label).arg(t.main).arg(t.side);
  EXPECT_EQ(types.join(", "),
            "クリーチャー 9/0, プレインズウォーカー 0/0, インスタント 6/2, ソーサリー 0/0, エンチャント 0/0, "
            "アーティファクト 0/0, 土地 13/0, その他 1/0");
  EXPECT_EQ(s.mainCards, 29);
  EXPECT_EQ(s.sideCards, 2);
  EXPECT_EQ(s.lands, 13);
  EXPECT_EQ(s.nonLands, 16);
  EXPECT_EQ(averageText(s.averageManaValue), "1.60");  // (12 × 1 + 2 × 2 + 8) / 15
  QStringList curve;
  for (int b = 0; b < kCurveBuckets; ++b) curve << curveLabel(b) + "=" + QString::number(s.curve[size_t(b)]);
  EXPECT_EQ(curve.join(" "), "0=0 1=12 2=2 3=0 4=0 5=0 6=0 7+=1");

  QStringList colors;
  for (const ColorStat& c : s.colors)
    colors << QStringLiteral("%1 %2 %3 %4+%5")
                  .arg(c.label)
                  .arg(c.pips)
                  .arg(percentText(c.share))
                  .arg(c.landSources)
                  .arg(c.otherSources);
  EXPECT_EQ(colors.join(", "),
            "白 0 0.0% 0+4, 青 4 25.0% 3+4, 黒 0 0.0% 0+4, 赤 4 25.0% 0+4, 緑 8 50.0% 13+8, 無色 0 0.0% 0+0");
}

TEST(DrawOdds, ExactChancesAgainstValuesWorkedOutApart) {
  // Worked out with Python's math.comb over exact fractions, not by this code's product.
  struct Case {
    qint64 deck, copies, seen;
    int wanted;
    double percent;
  };
  const Case cases[] = {
      {60, 4, 7, 1, 39.949963},
      {60, 4, 7, 2, 6.321942},
      {60, 4, 10, 1, 52.772053},  // by turn 3 on the draw
      {60, 4, 10, 2, 12.578055},
      {40, 17, 7, 2, 89.480249},
      {60, 1, 13, 1, 21.666667},
      {99, 1, 7, 1, 7.070707},
      {60, 24, 8, 2, 90.987150},
      {5, 2, 9, 1, 100},  // more draws than cards
      {1000000, 4, 7, 1, 0.002800},
      {60, 0, 7, 1, 0},
      {0, 0, 7, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(chanceOfAtLeast(c.deck, c.copies, c.seen, c.wanted) * 100, c.percent, 1e-6)
        << c.deck << " " << c.copies << " " << c.seen << " " << c.wanted;
  // One London mulligan: 1 − (1 − p₇)² for at least one or two; a hand of all
  // seven wanted cannot keep all seven.
  EXPECT_NEAR(chanceWithMulligan(60, 4, 1) * 100, 63.939930, 1e-6);
  EXPECT_NEAR(chanceWithMulligan(60, 4, 2) * 100, 12.244214, 1e-6);
  EXPECT_NEAR(chanceWithMulligan(10, 7, 7) * 100, 0.833333, 1e-6);

  QStringList rows;
  for (const DrawOddsRow& r : drawOdds(60, 4).rows)
    rows << QStringLiteral("%1 %2 %3 / %4 %5")
                .arg(r.label, percentText(r.onPlay.atLeastOne), percentText(r.onPlay.atLeastTwo),
                     percentText(r.onDraw.atLeastOne), percentText(r.onDraw.atLeastTwo));
  EXPECT_EQ(rows.join("\n"),
            "初手（7枚） 39.9% 6.3% / 39.9% 6.3%\n"
            "マリガン込み 63.9% 12.2% / 63.9% 12.2%\n"
            "2ターン目 44.5% 8.2% / 48.8% 10.3%\n"
            "3ターン目 48.8% 10.3% / 52.8% 12.6%\n"
            "4ターン目 52.8% 12.6% / 56.6% 15.0%\n"
            "5ターン目 56.6% 15.0% / 60.1% 17.5%\n"
            "6ターン目 60.1% 17.5% / 63.4% 20.2%");
}

TEST(SampleHand, SeededDrawsFromTheDecksCopies) {
  const QList<DeckCard> deck = {card("Lightning Bolt", "稲妻", 4), card("Mountain", "山", 56)};
  SampleHand a(deck, 7), b(deck, 7);
  EXPECT_EQ(a.lines(), b.lines());
  EXPECT_EQ(a.handSize(), 7);
  EXPECT_EQ(a.librarySize(), 53);
  ASSERT_TRUE(a.drawOne());
  EXPECT_EQ(a.handSize(), 8);
  qint64 shown = 0;
  for (const QString& line : a.lines()) shown += line.section("  ", 0, 0).toLongLong();
  EXPECT_EQ(shown, 8);

  // Over many hands the bolts come as often as the odds say (seeded, so the
  // same every run): 39.9% within 3 points.
  int withBolt = 0;
  for (int i = 0; i < 2000; ++i) {
    a.newHand();
    withBolt += a.lines().join("|").contains("Lightning Bolt");
  }
  EXPECT_NEAR(withBolt / 20.0, 39.9, 3.0);

  SampleHand small({card("Opt", "選択", 2), card("Huge", "", INT64_MAX)}, 1);  // counts, not cards
  EXPECT_EQ(small.handSize(), 7);
  SampleHand tiny({card("Opt", "選択", 3), card("None", "", 0)}, 1);
  EXPECT_EQ(tiny.lines(), QStringList{"3  Opt/選択"});
  EXPECT_FALSE(tiny.drawOne());
}

TEST(DeckComparison, MovedAddedAndRemovedCardsPerName) {
  DeckCards current, other;
  current.main = {card("Lightning Bolt", "稲妻", 4), card("Forest", "森", 2), card("Forest", "森", 1),
                  card("Opt", "選択", 1)};
  current.side = {card("Duress", "強迫", 1)};
  other.main = {card("Forest", "森", 4), card("lightning bolt", "稲妻", 2), card("Duress", "強迫", 1),
                card("Negate", "否認", 2)};
  other.side = {};
  const DeckComparison c = compareDecks(current, other);
  EXPECT_EQ(
      comparisonText(c),
      "メインデッキ\n+2 Lightning Bolt/稲妻\n+1 Opt/選択\n−1 Duress/強迫\n−1 Forest/森\n−2 Negate/否認\n"
      "\nサイドボード\n+1 Duress/強迫\n");
  EXPECT_EQ(comparisonText(compareDecks(current, current)), "違いはありません\n");
}

TEST(DeckComparison, TheOtherVersionFromADeckFileOrATextList) {
  tvtest::CardDbFixture f;
  f.addSet(0, "基本セット", "M");
  for (const auto& [name, nameN] : {std::pair{"Lightning Bolt", "稲妻"}, {"Forest", "森"}}) {
    tvtest::Card c;
    c.set = "M", c.nameE = name, c.nameN = nameN, c.color = "R", c.type = "I";
    f.addCard(c);
  }
  const QString tvf = f.dir() + "/old.TVF", text = f.dir() + "/old.txt";
  tvtest::writeFile(tvf, *encodeTvf({"t", "c", {{"M", "Lightning Bolt", 3}}, {{"M", "Forest", 2}}}).bytes);
  tvtest::writeFile(text, "3 稲妻\n2 No Such Card\n\n2 Forest\n");
  for (const QString& path : {tvf, text}) {
    const OtherDeck other = readOtherDeck(path, f.db(), *cardNames(f.ctx));
    ASSERT_TRUE(other.cards) << other.error.toStdString();
    EXPECT_EQ(other.unreadLines, path == text ? 1 : 0);
    DeckCards current;
    current.main = {card("Lightning Bolt", "稲妻", 4)};
    EXPECT_EQ(comparisonText(compareDecks(current, *other.cards)),
              "メインデッキ\n+1 Lightning Bolt/稲妻\n\nサイドボード\n−2 Forest/森\n");
  }
  EXPECT_FALSE(readOtherDeck(f.dir() + "/missing.tvf", f.db(), *cardNames(f.ctx)).error.isEmpty());
  EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM wtbl_DecList"), 0);  // only read
}

// Real cards as the import stores them: Japanese rules text in WHISPER's
// notation ((Ｔ)：(緑)), the card facts' English text in MTGJSON's ({T}: {G}).
TEST(DeckStatistics, PipsAndSourcesOfRealCardsInBothNotations) {
  const auto db = tvtest::openFactsCardDb();
  for (const auto& [table, name, n] : {std::tuple{"wtbl_DecList", "Llanowar Elves", 4},
                                       {"wtbl_DecList", "Shorikai, Genesis Engine", 2},
                                       {"wtbl_DecList", "Thrasios, Triton Hero", 2},
                                       {"wtbl_DecList", "Mourning Patrol // Morning Apparition", 3},
                                       {"wtbl_DecList", "Black Lotus", 1},
                                       {"wtbl_DecList", "Snow-Covered Forest", 10},
                                       {"wtbl_DecSideList", "Serra Angel", 2}})
    db->execute(QStringLiteral("INSERT INTO %1 (CardSetEx, NameE, NameN, CardMaisu) SELECT CardSetEx, NameE, "
                               "NameN, %2 FROM tbl_CardMst WHERE NameE = '%3' LIMIT 1")
                    .arg(table)
                    .arg(n)
                    .arg(name));
  const auto facts = StoredCardFacts::load(*db);
  ASSERT_TRUE(facts);
  auto colors = [&](const CardFactsSource* source) {
    AnalysisRequest request;
    request.facts = source;
    QStringList out;
    for (const ColorStat& c : analyseDeck(*db, request).stats.colors)
      out << QStringLiteral("%1 %2 %3+%4").arg(c.label).arg(c.pips).arg(c.landSources).arg(c.otherSources);
    return out.join(", ");
  };
  // Pips of the costs; the elves make green in either notation, the basic
  // land by its type, the Lotus any colour by its English text alone.
  EXPECT_EQ(colors(facts.get()), "白 5 0+1, 青 4 0+1, 黒 0 0+1, 赤 0 0+1, 緑 6 10+5, 無色 0 0+0");
  EXPECT_EQ(colors(nullptr), "白 5 0+0, 青 4 0+0, 黒 0 0+0, 赤 0 0+0, 緑 6 10+4, 無色 0 0+0");
}

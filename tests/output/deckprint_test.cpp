#include "output/deckprint.h"

#include <gtest/gtest.h>

#include "deck/decklist.h"
#include "support/fixtures.h"
#include "support/printers.h"

namespace tv {
namespace {

const QString kHeader = " 数 / 英語名 / 日本語名 / コスト / レアリティ / エキスパンション \r\n";
const QString kEmptyCurve = "０=\r\n１=\r\n２=\r\n３=\r\n４=\r\n５=\r\n６=\r\n６<";

class DeckPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    f.addCard({"8E", "Jace Beleren", "ジェイス・ベレレン", "U", "PW", 3, "1UU", "M", {}, {}, {}, {}});
  }
  QString preview(const PrintOptions& options = {}) {
    return DeckPrintText(f.db(), options).RefreshPrintPreview();
  }
  QString curve() {
    DeckPrintText b(f.db(), {});
    b.BuildManaCurveText();
    return b.PrintText;
  }
  tvtest::CardDbFixture f;
};

TEST_F(DeckPrintTest, EmptyDeckIsTheHeadingsAndAnEmptyCurve) {
  EXPECT_EQ(preview(),
            "★メイン0枚\r\n" + kHeader + "\r\n★サイドボード0枚\r\n\r\n【マナカーブ】\r\n" + kEmptyCurve);
  EXPECT_EQ(preview({.Side = false, .ManaCurve = false}), "★メイン0枚\r\n" + kHeader);
}

TEST_F(DeckPrintTest, WholeTextGroupsByTypeSortsByNameAndCountsCopies) {
  for (auto [set, name, copies] : {std::tuple{"8E", "Shock", 3},
                                   {"US", "Serra Avatar", 1},
                                   {"8E", "Forest", 10},
                                   {"8E", "Llanowar Elves", 4},
                                   {"US", "Gaea's Cradle", 1},
                                   {"8E", "Ornithopter", 2},
                                   {"8E", "Serra's Embrace", 1},
                                   {"8E", "Gone", 7},
                                   {"8E", "Jace Beleren", 1}})
    f.addDeckRow(kMainDeckTable, set, name, QVariant(), copies);
  f.addDeckRow(kSideDeckTable, "US", "Dark Ritual", QVariant(), 2, 1);
  f.addDeckRow(kSideDeckTable, "US", "Counterspell", QVariant(), 3, 2);
  // Artifact creatures under artifacts; lands (Null cost) six blanks and no curve; sideboard not in the
  // curve; a row without its card neither listed nor counted.
  EXPECT_EQ(preview(), "★メイン23枚\r\n" + kHeader +
                           " [クリーチャー]\r\n"
                           "  4  Llanowar Elves       /ラノワールのエルフ       G     C 8E \r\n"
                           "  1  Serra Avatar         /セラのアバター           4WWW  R US \r\n"
                           " [インスタント]\r\n"
                           "  3  Shock                /ショック                 R     C 8E \r\n"
                           " [エンチャント]\r\n"
                           "  1  Serra's Embrace      /セラの抱擁               2WW   U 8E \r\n"
                           " [アーティファクト]\r\n"
                           "  2  Ornithopter          /羽ばたき飛行機械         0     U 8E \r\n"
                           " [プレインズウォーカー]\r\n"
                           "  1  Jace Beleren         /ジェイス・ベレレン       1UU   M 8E \r\n"
                           " [土地]\r\n"
                           "  10 Forest               /森                             C 8E \r\n"
                           "  1  Gaea's Cradle        /ガイアの揺籃の地               R US \r\n"
                           "\r\n★サイドボード5枚\r\n"
                           " [インスタント]\r\n"
                           "  3  Counterspell         /対抗呪文                 UU    C US \r\n"
                           "  2  Dark Ritual          /暗黒の儀式               B     X US \r\n"
                           "\r\n【マナカーブ】\r\n"
                           "０=□□\r\n１=□□□□□□□\r\n２=\r\n３=□\r\n４=□\r\n５=\r\n６=\r\n６<□");
}

TEST_F(DeckPrintTest, CardLinesFollowTheOptionsAndPadOnlyWhatFits) {
  const QVariant null;
  const QString n21 = "Abcdefghijklmnopqrstu", n20 = n21.left(20);
  const QString j13 = "あいうえおかきくけこさしす", j12 = j13.left(12);
  const auto sp = [](int n) { return QString(n, ' '); };
  const PrintOptions bare{.NameE = false, .NameN = false, .Cost = false, .Rare = false, .CardSetEx = false};
  struct Case {
    PrintOptions options;
    int copies;
    QString nameE;
    QVariant nameN, cost, rare;
    QString line;
  };
  const Case cases[] = {
      {{}, 4, "Abc", "あいう", "2W", "C", "  4  Abc" + sp(18) + "/あいう" + sp(19) + "2W    C XX "},
      {{.Space = false}, 4, "Abc", "あいう", "2W", "C", "4 Abc /あいう 2W C XX "},
      {bare, 4, "Abc", "あ", "1", "C", "  4  "},
      {{.NameN = false, .Space = false}, 4, "Abc", "あ", "1", "C", "4 Abc 1 C XX "},
      {{}, 4, n21, j13, "123456", "R", "  4  " + n21 + " /" + j13 + " 123456 R XX "},
      {{}, 4, n20, j12, "12345", "R", "  4  " + n20 + " /" + j12 + " 12345 R XX "},
      {{}, 100, "Ｆｕｌｌガ", null, null, null, "100 Fullｶﾞ" + sp(16) + "/ " + sp(6) + " XX "},
      {{.Space = false}, 12, "Ｆｕｌｌガ", "", null, "", "12 Ｆｕｌｌガ / " + sp(6) + " XX "},
  };
  for (const Case& c : cases) {
    f.db().execute("DELETE FROM tbl_CardMst WHERE CardSetEx = 'XX'");
    f.db().execute("DELETE FROM wtbl_DecList");
    f.addCard({"XX", c.nameE, c.nameN.toString(), "W", "S", 1, c.cost, c.rare.toString(), {}, {}, {}, {}});
    if (c.nameN.isNull()) f.db().execute("UPDATE tbl_CardMst SET NameN = NULL WHERE CardSetEx = 'XX'");
    if (c.rare.isNull()) f.db().execute("UPDATE tbl_CardMst SET Rare = NULL WHERE CardSetEx = 'XX'");
    f.addDeckRow(kMainDeckTable, "XX", c.nameE, QVariant(), c.copies);
    DeckPrintText b(f.db(), c.options);
    b.BuildDeckSectionText(kMainDeckTable, deckSections()[2]);
    EXPECT_EQ(b.PrintText, " [ソーサリー]\r\n" + c.line + "\r\n") << c.line.toStdString();
    EXPECT_EQ(b.CardCount, c.copies);
  }
  EXPECT_EQ(preview(bare).section("\r\n", 1, 1), " 数 ");
}

TEST_F(DeckPrintTest, CurveBucketsCostsAndLeavesOutNullsOddCostsAndTheSideboard) {
  for (auto [name, cost] : {std::pair{"Seven", QVariant(7)},
                            {"Twelve", 12},
                            {"Three", 3},
                            {"Nothing", QVariant()},
                            {"Minus", -1},
                            {"Half", 2.5},
                            {"Big", 3}})
    f.addCard({"XX", name, "", "W", "S", cost, "1", "C", {}, {}, {}, {}});
  for (auto [name, copies] :
       {std::pair{"Seven", 1}, {"Twelve", 2}, {"Three", 2}, {"Nothing", 5}, {"Minus", 4}, {"Half", 4}})
    f.addDeckRow(kMainDeckTable, "XX", name, QVariant(), copies);
  f.addDeckRow(kMainDeckTable, "XX", "Big", QVariant(), 3);
  f.addDeckRow(kSideDeckTable, "XX", "Three", QVariant(), 9);
  EXPECT_EQ(curve(), "０=\r\n１=\r\n２=\r\n３=□□□□□\r\n４=\r\n５=\r\n６=\r\n６<□□□");

  // A deck file may bring in any count: wide sums, bars that stop.
  f.db().execute("UPDATE wtbl_DecList SET CardMaisu = 3000000000 WHERE NameE = 'Big'");
  EXPECT_EQ(curve().section("\r\n", 3, 3), "３=" + QString(kMaxCurveSquares, u'□') + "…3000000002");
  EXPECT_TRUE(preview().startsWith("★メイン3000000018枚\r\n"));
}

}  // namespace
}  // namespace tv

#include "output/sheets.h"

#include <gtest/gtest.h>

#include "output/tokens.h"
#include "support/fixtures.h"
#include "support/printers.h"

using tv::CurrentCard;
using tv::CurrentToken;
using tv::LayoutTextRows;
using tv::PrintOp;

namespace {

QString fw(int n) { return QString(n, QChar(0x3000)); }
QString sp(int n) { return QString(n, u' '); }
QStringList blankRows(int n) { return QStringList(n, fw(16)); }

TEST(LayoutTextRows, BreaksPadsAndCuts) {
  const QString forty = QString(40, u'a');
  const QString fifteen = "abcdefghijklmno";
  struct Case {
    const char* name;
    QVariant text;
    QStringList first;  // the leading rows; the rest are blank
  } cases[] = {
      {"two lines", "AB\r\nC", {"ＡＢ" + fw(14), "Ｃ" + fw(15)}},
      {"forty characters",
       forty,
       {QString(16, QChar(0xff41)), QString(16, QChar(0xff41)), QString(8, QChar(0xff41)) + fw(8)}},
      {"empty line between", "A\r\n\r\nB", {"Ａ" + fw(15), fw(16), "Ｂ" + fw(15)}},
      {"Null", QVariant(), {}},
      {"empty", "", {}},
      {"sixteen then a break on the CR",
       fifteen + "\r\nZ",
       {"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏ" + fw(1), "Ｚ" + fw(15)}},
      {"the CR case one row later",
       "x" + fifteen + fifteen + "\r\nZ",
       {"ｘａｂｃｄｅｆｇｈｉｊｋｌｍｎｏ", "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏ" + fw(1), "Ｚ" + fw(15)}},
      {"lone LF keeps the character before it", "AB\nC", {"ＡＢ" + fw(14), "Ｃ" + fw(15)}},
      {"half-width kana joined with its mark", "ｶﾞ", {"ガ" + fw(15)}},
      {"kanji and blanks", "対象の 1 体", {"対象の　１　体" + fw(9)}},
  };
  for (const auto& c : cases) {
    QStringList expected = c.first;
    expected << blankRows(14 - int(c.first.size()));
    EXPECT_EQ(LayoutTextRows(c.text), expected) << c.name;
  }

  // Beyond 14 rows nothing is printed.
  QString many;
  for (int i = 0; i < 20; ++i) many += QString::number(i % 10) + "\r\n";
  const QStringList rows = LayoutTextRows(many);
  ASSERT_EQ(rows.size(), 14);
  EXPECT_EQ(rows.last(), "３" + fw(15));
}

CurrentCard creature() {
  CurrentCard c;
  c.NameE = "Abc", c.CardSetEx = "XX", c.Rare = "C", c.Cost = "1G", c.TextN = "AB\r\nC", c.CType = "エルフ";
  c.PowerToughness = "2/2", c.TypeNameE = "Creature";
  return c;
}

TEST(ProxySheet, CreatureLandAndArtifactCreatureCopies) {
  const QStringList text = {"ＡＢ" + fw(14), "Ｃ" + fw(15)};
  QStringList expected = {"Abc" + sp(24) + " [1G]", sp(32), "Creature" + sp(20) + "XX-C", "エルフ" + fw(13)};
  expected << text << blankRows(12) << sp(29) + "2/2";
  EXPECT_EQ(tv::proxyCopyLines(creature()), expected);

  // Full-width in the database, printed half-width.
  CurrentCard land;
  land.NameE = "Ｆｏｒｅｓｔ", land.CardSetEx = "XX", land.Rare = "C", land.CType = "",
  land.TypeNameE = "Land";
  expected = QStringList{"Forest" + sp(23) + " []", sp(32), "Land" + sp(24) + "XX-C", sp(32)};
  expected << blankRows(14) << sp(32);
  EXPECT_EQ(tv::proxyCopyLines(land), expected);

  CurrentCard golem = creature();  // an artifact creature has its creature type line too
  golem.TypeNameE = "Artifact Creature";
  golem.CType = "ゴーレム";
  EXPECT_EQ(tv::proxyCopyLines(golem)[3], "ゴーレム" + fw(12));
}

// Fields too long for their columns are cut so every line keeps its width.
TEST(ProxySheet, OverlongFieldsKeepTheLineWidths) {
  CurrentCard c = creature();
  c.NameE = "An Extraordinarily Long Card Name";
  c.Cost = "2GG";
  c.TypeNameE = "Creature";
  c.CType = "ビーストエルフドルイドウィザードシャーマン";
  c.PowerToughness = QString(40, u'9');
  QStringList lines = tv::proxyCopyLines(c);
  EXPECT_EQ(lines[0], "An Extraordinarily Long Ca [2GG]");
  EXPECT_EQ(lines[3], "ビーストエルフドルイドウィザード");
  EXPECT_EQ(lines[18], QString(32, u'9'));

  c.CType = QVariant();  // a creature without a creature type
  c.TypeNameE = "An Unheard-of Creature Type Label";
  lines = tv::proxyCopyLines(c);
  EXPECT_EQ(lines[2], "An Unheard-of Creature Type XX-C");
  EXPECT_EQ(lines[3], sp(32));  // not a creature label: the plain blank line

  c.TypeNameE = "Creature";
  EXPECT_EQ(tv::proxyCopyLines(c)[3], fw(16));
}

TEST(TokenSheet, CopyLinesAndOverlongFields) {
  CurrentToken t{"兵士", "白", "AB\r\nC", "1/1"};
  QStringList expected = {"兵士" + fw(14), sp(32),          "色（白）" + fw(12),
                          sp(32),          "ＡＢ" + fw(14), "Ｃ" + fw(15)};
  expected << blankRows(12) << sp(29) + "1/1";
  EXPECT_EQ(tv::tokenCopyLines(t), expected);

  t = {"とても長い名前のトークンのさらに長い名前", "白青黒赤緑の五色すべてと無色", QString(), "/"};
  const QStringList lines = tv::tokenCopyLines(t);
  EXPECT_EQ(lines[0], "とても長い名前のトークンのさらに");
  EXPECT_EQ(lines[2], "色（白青黒赤緑の五色すべてと無）");  // the parentheses stay closed
  EXPECT_EQ(lines[4], fw(16));
  EXPECT_EQ(lines[18], sp(31) + u'/');
}

// Each operation as "font face", "size n", the printed text, or "end".
QStringList ops(const tv::RecordingPrintJob& job) {
  QStringList out;
  for (const PrintOp& op : job.ops)
    out << (op.kind == PrintOp::FontName   ? "font " + op.text
            : op.kind == PrintOp::FontSize ? "size " + QString::number(op.size)
            : op.kind == PrintOp::Print    ? op.text
                                           : "end");
  return out;
}

TEST(Printing, SheetAndDeckListOperationSequences) {
  const QString font = "font " + tv::kFixedPitchFace;
  tv::RecordingPrintJob sheet;
  const QStringList copy = tv::proxyCopyLines(creature());
  tv::PrintSheet(sheet, copy);
  QStringList twice;  // two copies side by side, twice over
  for (const QString& l : copy) twice << l + "  " + l;
  EXPECT_EQ(ops(sheet),
            QStringList({font, "size 10"}) + twice + QStringList({" ", " "}) + twice + QStringList("end"));
  EXPECT_EQ(twice[0].size(), 66);

  tv::RecordingPrintJob deck;
  tv::PrintDeckList(deck, {"青単", "一行目\n二行目", "4 Island\r\n", "2.21", "2026/12/06"});
  EXPECT_EQ(ops(deck),
            QStringList({font, "size 10", "Talvik's Ver2.21" + sp(100) + "2026/12/06\r\n", font, "size 14",
                         "タイトル", "size 22", "青単", font, "size 14", "\r\nコメント", "size 12",
                         "一行目\n二行目", font, "size 14", "\r\nデッキ", "size 12", "4 Island\r\n", "end"}));
  EXPECT_EQ(deck.spacing, tv::PrintJob::LineSpacing::Face);  // running text; the sheets keep the em grid
  EXPECT_EQ(sheet.spacing, tv::PrintJob::LineSpacing::Em);

  // Where 100 blanks would push the date off the line, it ends at the line's end.
  tv::RecordingPrintJob narrow;
  narrow.columns = 107;
  tv::PrintDeckList(narrow, {"", "", "", "2.21", "2026/12/06"});
  EXPECT_EQ(narrow.ops[2].text, "Talvik's Ver2.21" + sp(81) + "2026/12/06\r\n");
}

TEST(ChooseToken, FindsTheLineInNameOrderWithItsText) {
  tvtest::CardDbFixture f;
  f.addToken("ゾンビ", "黒", "速攻", 2, 2);
  f.addToken("エレメンタル", "赤", QVariant(), "*", QVariant());
  f.addToken("兵士", "白", "警戒\r\n飛行", 1, 1);
  f.addToken("ドラゴン", QVariant().toString(), QVariant(), QVariant(), QVariant());

  // NameN order: エレメンタル, ゾンビ, ドラゴン, 兵士
  auto third = tv::ChooseToken(f.db(), 2);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->token.NameN, "ドラゴン");
  EXPECT_EQ(third->token.PowerToughness, "/");
  EXPECT_EQ(third->text, "ドラゴン\r\n\r\n色 ()\r\n\r\n\r\n\r\n[/]\r\n");

  auto soldier = tv::ChooseToken(f.db(), 3);
  ASSERT_TRUE(soldier);
  EXPECT_EQ(soldier->text, "兵士\r\n\r\n色 (白)\r\n\r\n警戒\r\n飛行\r\n\r\n[1/1]\r\n");
  EXPECT_EQ(QStringList({soldier->token.Color, soldier->token.TextN, soldier->token.PowerToughness}),
            QStringList({"白", "警戒\r\n飛行", "1/1"}));

  EXPECT_EQ(tv::ChooseToken(f.db(), 0)->token.PowerToughness, "*/");
  EXPECT_FALSE(tv::ChooseToken(f.db(), 4));
  EXPECT_FALSE(tv::ChooseToken(f.db(), -1));  // no selection
}

}  // namespace

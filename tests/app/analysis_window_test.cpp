// The デッキ分析 tab in the real window over real cards with their card facts:
// it follows every change of the deck, and the deck lists show the lines
// with a problem in red.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "analysis/deckcheck.h"
#include "app/deckbuildtab.h"
#include "app/listbox.h"
#include "support/printers.h"
#include "support/window.h"

using namespace tv;
using tvtest::clickLine;

namespace {

class AnalysisWindowTest : public tvtest::WindowTest {
 protected:
  void fill() override { f.ctx.gCardDb = tvtest::openFactsCardDb(); }
  void SetUp() override {
    WindowTest::SetUp();
    answerDialogs();
    answer = QMessageBox::No;  // a pasted deck replaces the one before
  }

  void paste(const QString& deck) {
    QApplication::clipboard()->setText(deck);
    withDialog("M_OpenText", "DeckTextImportDialog",
               [](QWidget* d) { tvtest::findControl<QPushButton>(d, "cmd_Import")->click(); });
  }
  void chooseFormat(const QString& key) {
    auto* box = ctl<QComboBox>("cmb_Format");
    box->setCurrentIndex(box->findData(key));
  }
  // A deck list's lines, the red ones marked "!".
  QStringList lines(const char* list) {
    QStringList out;
    auto* l = ctl<ListBox>(list);
    for (int i = 0; i < l->count(); ++i) out << (l->isMarked(i) ? "!" : "") + l->text(i);
    return out;
  }
  QString verdict() { return ctl<QLabel>("lbl_Verdict")->text(); }
  QString cell(const char* table, int row, int column) {
    return ctl<QTableWidget>(table)->item(row, column)->text();
  }
  qint64 handCards() {
    qint64 n = 0;
    for (const QString& line : ctl<ListBox>("lst_Hand")->lines()) n += line.section("  ", 0, 0).toLongLong();
    return n;
  }
};

}  // namespace

TEST_F(AnalysisWindowTest, TheCheckFollowsEveryChangeOfTheDeckAndMarksItsLines) {
  chooseFormat("modern");
  paste("4 Ponder\n56 Snow-Covered Forest\n\nSB: 1 Black Lotus\n");
  EXPECT_EQ(verdict(), "モダン：問題 2 件");
  EXPECT_EQ(lines("lst_DecList"), (QStringList{"!4  Ponder/思案", "56  Snow-Covered Forest/冠雪の森"}));
  EXPECT_EQ(lines("lst_DecSideList"), QStringList{"!1  Black Lotus/Black Lotus"});

  clickLine(ctl<ListBox>("lst_DecList"), 0);
  for (int i = 0; i < 4; ++i) ctl<QPushButton>("cmd_DellMain")->click();
  EXPECT_EQ(lines("lst_DecList"), QStringList{"56  Snow-Covered Forest/冠雪の森"});
  EXPECT_EQ(verdict(), "モダン：問題 2 件");  // 56 cards now, and the Lotus
  clickLine(ctl<ListBox>("lst_DecSideList"), 0);
  ctl<QPushButton>("cmd_MoveMain")->click();
  EXPECT_EQ(lines("lst_DecList"),
            (QStringList{"!1  Black Lotus/Black Lotus", "56  Snow-Covered Forest/冠雪の森"}));
  EXPECT_EQ(lines("lst_DecSideList"), QStringList{});

  // One Lotus is fine in Vintage; no format, no red lines.
  chooseFormat("vintage");
  EXPECT_EQ(verdict(), "ヴィンテージ：問題 1 件");
  EXPECT_EQ(ctl<ListBox>("lst_Problems")->lines(), QStringList{"メインデッキが60枚未満です（57枚）"});
  EXPECT_EQ(lines("lst_DecList"),
            (QStringList{"1  Black Lotus/Black Lotus", "56  Snow-Covered Forest/冠雪の森"}));
  paste("1 Black Lotus\n59 Snow-Covered Forest\n");
  EXPECT_EQ(verdict(), "ヴィンテージ：適正");
  chooseFormat("modern");
  EXPECT_EQ(lines("lst_DecList"),
            (QStringList{"!1  Black Lotus/Black Lotus", "59  Snow-Covered Forest/冠雪の森"}));
  chooseFormat("");
  EXPECT_EQ(lines("lst_DecList"),
            (QStringList{"1  Black Lotus/Black Lotus", "59  Snow-Covered Forest/冠雪の森"}));

  // The choice is remembered.
  chooseFormat("pauper");
  Main again(f.ctx);
  EXPECT_EQ(tvtest::findControl<QComboBox>(&again, "cmb_Format")->currentText(), "パウパー");
}

TEST_F(AnalysisWindowTest, StatisticsOddsHandAndComparisonFollowTheDeck) {
  EXPECT_FALSE(f.ctx.gCardFacts.has_value());  // no format chosen, the tab not shown: not needed yet
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(3);
  EXPECT_TRUE(f.ctx.gCardFacts.has_value());
  paste("4 Llanowar Elves\n4 Ponder\n52 Snow-Covered Forest\n\nSB: 2 Serra Angel\n");
  EXPECT_EQ(cell("tbl_Types", 0, 0) + "/" + cell("tbl_Types", 0, 1), "4/2");   // クリーチャー
  EXPECT_EQ(cell("tbl_Types", 3, 0) + "/" + cell("tbl_Types", 6, 0), "4/52");  // ソーサリー, 土地
  EXPECT_EQ(ctl<QLabel>("lbl_Lands")->text(), "土地 52枚・土地以外 8枚");
  EXPECT_EQ(ctl<QLabel>("lbl_Average")->text(), "平均マナ総量 1.00");
  EXPECT_EQ(cell("tbl_Curve", 0, 1), "8");
  // Green: pips, lands, other cards; blue: pips and share.
  EXPECT_EQ(cell("tbl_Colors", 4, 0) + " " + cell("tbl_Colors", 4, 2) + " " + cell("tbl_Colors", 4, 3),
            "4 52 4");
  EXPECT_EQ(cell("tbl_Colors", 1, 0) + " " + cell("tbl_Colors", 1, 1), "4 50.0%");

  // The odds of the chosen line, kept by its printing through a change.
  auto* odds = ctl<ListBox>("lst_OddsLines");
  EXPECT_EQ(odds->lines(), ctl<ListBox>("lst_DecList")->lines());
  EXPECT_EQ(cell("tbl_Odds", 0, 0), "−");
  clickLine(odds, 0);
  EXPECT_EQ(cell("tbl_Odds", 0, 0), "39.9%");  // 4 of 60 in the opening hand
  EXPECT_EQ(cell("tbl_Odds", 3, 2), "52.8%");  // by turn 3 on the draw
  paste("4 Llanowar Elves\n2 Ponder\n54 Snow-Covered Forest\n\nSB: 2 Serra Angel\n");
  EXPECT_EQ(cell("tbl_Types", 3, 0), "2");
  EXPECT_EQ(odds->selectedRows(), QList<int>{0});
  EXPECT_EQ(cell("tbl_Odds", 0, 0), "39.9%");

  EXPECT_EQ(handCards(), 7);
  EXPECT_EQ(ctl<QLabel>("lbl_Hand")->text(), "手札 7枚・ライブラリー 53枚");
  ctl<QPushButton>("cmd_Draw")->click();
  EXPECT_EQ(handCards(), 8);
  ctl<QPushButton>("cmd_Mulligan")->click();
  EXPECT_EQ(handCards(), 7);

  const QString old = f.dir() + "/old.txt";
  tvtest::writeFile(old, "4 Llanowar Elves\n4 Ponder\n52 Snow-Covered Forest\n");
  chosen = old;
  ctl<QPushButton>("cmd_Compare")->click();
  const QString expected =
      "メインデッキ\n+2 Snow-Covered Forest/冠雪の森\n−2 Ponder/思案\n\nサイドボード\n+2 Serra "
      "Angel/セラの天使\n";
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
  auto* shown = w->findChild<QDialog*>("DeckCompareDialog");
  ASSERT_TRUE(shown);
  EXPECT_EQ(tvtest::findControl<QPlainTextEdit>(shown, "txt_Compare")->toPlainText(), expected);
  shown->close();
  EXPECT_EQ(tvtest::readFile(old), "4 Llanowar Elves\n4 Ponder\n52 Snow-Covered Forest\n");
}

// A card database made by `build` holds no legality: the check says so and
// marks nothing.
class NoFactsWindowTest : public AnalysisWindowTest {
 protected:
  void fill() override { tvtest::addStandardCards(f); }
};

TEST_F(NoFactsWindowTest, TheCheckSaysSoAndEveryControlIsNamed) {
  auto* box = ctl<QComboBox>("cmb_Format");
  box->setCurrentIndex(box->findData("modern"));
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 9);
  w->findChild<DeckBuildTab*>("DeckBuildTab")->showReplacedDeck();
  EXPECT_EQ(ctl<QLabel>("lbl_Verdict")->text(), kNoFactsText);
  EXPECT_FALSE(ctl<ListBox>("lst_DecList")->isMarked(0));
  for (QWidget* c : w->findChild<QWidget*>("DeckAnalysisTab")->findChildren<QWidget*>()) {
    if (!c->objectName().isEmpty() && !c->objectName().startsWith("qt_")) {
      EXPECT_FALSE(c->accessibleName().isEmpty()) << c->objectName().toStdString();
    }
  }
}

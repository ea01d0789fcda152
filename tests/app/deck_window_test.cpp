#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <functional>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "support/controls.h"
#include "support/fixtures.h"
#include "support/printers.h"

using namespace tv;
using tvtest::CardDbFixture;

namespace {

QStringList lines(const ListBox* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->text(i);
  return out;
}

void clickLine(ListBox* list, int row) {
  const QPoint at = list->rowRect(row).center();
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
  }
}

class DeckWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    w = std::make_unique<Main>(f.ctx);
    w->show();
    QApplication::processEvents();
  }

  template <typename T>
  T* ctl(const char* name) const {
    return tvtest::findControl<T>(w.get(), name);
  }
  // Clicks the card list's line of `name` (English) in the first expansion's result.
  void chooseCard(const QString& nameE) {
    const QStringList cards = lines(ctl<ListBox>("lst_CardList"));
    for (int i = 0; i < cards.size(); ++i)
      if (cards[i].startsWith(nameE + "/")) return clickLine(ctl<ListBox>("lst_CardList"), i);
    FAIL() << "no card " << nameE.toStdString();
  }
  void press(QPushButton* button, int times = 1) {
    for (int k = 0; k < times; ++k) button->click();
  }
  QString detailFirstLines() {
    return ctl<QPlainTextEdit>("txt_CardText")->toPlainText().section('\n', 0, 1);
  }

  CardDbFixture f;
  std::unique_ptr<Main> w;
};

}  // namespace

TEST_F(DeckWindowTest, ButtonsAndListsBuildTheDeck) {
  press(ctl<QPushButton>("cmd_AddMain"));  // no card shown yet: nothing happens
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->count(), 0);

  chooseCard("Shock");
  press(ctl<QPushButton>("cmd_AddMain"), 5);
  chooseCard("Serra's Embrace");
  press(ctl<QPushButton>("cmd_AddMain"), 2);
  ASSERT_EQ(lines(ctl<ListBox>("lst_DecList")),
            QStringList({"2  Serra's Embrace/セラの抱擁", "4  Shock/ショック"}));
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->currentRow(), 0);  // the added card's line
  EXPECT_EQ(ctl<QLabel>("lbl_Main")->text(), "-メイン- 6枚");

  // Down twice: the last copy leaves line 0, so nothing stays selected.
  clickLine(ctl<ListBox>("lst_DecList"), 0);
  press(ctl<QPushButton>("cmd_MoveSide"));
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->currentRow(), 0);
  EXPECT_EQ(ctl<ListBox>("lst_DecSideList")->currentRow(), -1);
  press(ctl<QPushButton>("cmd_MoveSide"));
  EXPECT_EQ(lines(ctl<ListBox>("lst_DecList")), QStringList{"4  Shock/ショック"});
  EXPECT_EQ(lines(ctl<ListBox>("lst_DecSideList")), QStringList{"2  Serra's Embrace/セラの抱擁"});
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->currentRow(), -1);
  press(ctl<QPushButton>("cmd_DellMain"));  // no selection: nothing
  EXPECT_EQ(ctl<QLabel>("lbl_Main")->text(), "-メイン- 4枚");
  EXPECT_EQ(ctl<QLabel>("lbl_Side")->text(), "-サイド- 2枚");

  // A decrement keeps the line and shows its card; up again from the sideboard.
  clickLine(ctl<ListBox>("lst_DecList"), 0);
  press(ctl<QPushButton>("cmd_DellMain"));
  EXPECT_EQ(lines(ctl<ListBox>("lst_DecList")), QStringList{"3  Shock/ショック"});
  EXPECT_TRUE(detailFirstLines().contains("Shock / ショック"));
  clickLine(ctl<ListBox>("lst_DecSideList"), 0);
  press(ctl<QPushButton>("cmd_MoveMain"));
  EXPECT_EQ(ctl<ListBox>("lst_DecSideList")->currentRow(), 0);
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->currentRow(), -1);
  EXPECT_EQ(ctl<QLabel>("lbl_Main")->text(), "-メイン- 4枚");
  EXPECT_EQ(ctl<QLabel>("lbl_Side")->text(), "-サイド- 1枚");
}

TEST_F(DeckWindowTest, ASelectionAfterRemovalShowsThatLinesCard) {
  for (const char* name : {"Llanowar Elves", "Ornithopter", "Serra Angel"}) {
    chooseCard(name);
    press(ctl<QPushButton>("cmd_AddSide"));
  }
  clickLine(ctl<ListBox>("lst_DecSideList"), 2);  // Serra Angel, one copy
  press(ctl<QPushButton>("cmd_DellSide"));
  EXPECT_EQ(ctl<ListBox>("lst_DecSideList")->currentRow(), 1);
  EXPECT_TRUE(detailFirstLines().contains("Ornithopter / 羽ばたき飛行機械"));
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Ornithopter");
}

// The buttons act on the selected line, never on a line Qt merely keeps as
// current; focus alone chooses no card.
TEST_F(DeckWindowTest, OnlyASelectedLineIsActedOn) {
  auto* cards = ctl<ListBox>("lst_CardList");
  auto* deck = ctl<ListBox>("lst_DecList");
  cards->setFocus(Qt::TabFocusReason);  // right after start: a current line, no choice
  press(ctl<QPushButton>("cmd_AddMain"));
  EXPECT_EQ(deck->count(), 0);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "");

  chooseCard("Shock");
  press(ctl<QPushButton>("cmd_AddMain"), 3);
  const auto copies = [&] { return f.scalar("SELECT SUM(CardMaisu) FROM wtbl_DecList"); };
  const std::function<void()> deselections[] = {
      [&] {
        QTest::mouseClick(deck->viewport(), Qt::LeftButton, {}, QPoint(5, deck->viewport()->height() - 5));
      },
      [&] {
        QTest::mouseClick(deck->viewport(), Qt::LeftButton, Qt::ControlModifier, deck->rowRect(0).center());
      },
      [&] {
        ctl<QPushButton>("cmd_reload")->click();  // no line selected afterwards
        deck->setFocus(Qt::TabFocusReason);
      },
  };
  for (const auto& deselect : deselections) {
    clickLine(deck, 0);
    deselect();
    ASSERT_EQ(deck->selectedRow(), -1);
    for (const char* button : {"cmd_DellMain", "cmd_MoveSide"}) press(ctl<QPushButton>(button));
    EXPECT_EQ(copies(), 3);
  }
}

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "support/window.h"

using namespace tv;

namespace {

class TextDeckWindowTest : public tvtest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    answerDialogs();
    answer = QMessageBox::No;
  }
  QStringList cardLines() const { return ctl<ListBox>("lst_CardList")->lines(); }

  // Lets the typing pause run out.
  void waitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 3000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  // Runs `menu`; `inDialog` acts on the modal dialog it opens, found by name.
  void withDialog(const char* menu, const char* dialogName, const std::function<void(QWidget*)>& inDialog) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_TRUE(dialog);
      EXPECT_EQ(dialog->objectName(), dialogName);
      seen = true;
      inDialog(dialog);
      if (dialog->isVisible()) static_cast<QDialog*>(dialog)->reject();
    });
    ctl<QAction>(menu)->trigger();
    EXPECT_TRUE(seen);
  }
};

}  // namespace

TEST_F(TextDeckWindowTest, NameBoxFiltersAsTheUserTypesWithEveryOtherFilter) {
  auto* box = ctl<QLineEdit>("txt_Name");
  EXPECT_EQ(box->accessibleName(), "カード名");
  ctl<ListBox>("lst_CardSet")->selectAll();

  tvtest::typeKeys(box, "らのわーる");
  waitFor([&] { return cardLines().size() == 1; });
  EXPECT_EQ(cardLines(), QStringList{"Llanowar Elves/ラノワールのエルフ"});
  ctl<ListBox>("lst_CardList")->setCurrentRow(0);  // the detail and the add button work on it
  ctl<QPushButton>("cmd_AddMain")->click();
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->lines(), QStringList{"1  Llanowar Elves/ラノワールのエルフ"});

  box->setText("serra");
  ctl<QCheckBox>("chk_Creature")->setChecked(false);
  ctl<QPushButton>("cmd_reload")->click();
  EXPECT_EQ(cardLines(), QStringList{"Serra's Embrace/セラの抱擁"});
}

TEST_F(TextDeckWindowTest, PastedListImportsTheRestAndShowsWhatItCouldNotRead) {
  QApplication::clipboard()->setText("4 Llanowar Elves\n2 極楽鳥\n\nSB: 3 shock\n");
  withDialog("M_OpenText", "DeckTextImportDialog", [](QWidget* d) {
    auto* text = tvtest::findControl<QPlainTextEdit>(d, "txt_DeckText");
    EXPECT_EQ(text->toPlainText(), "4 Llanowar Elves\n2 極楽鳥\n\nSB: 3 shock\n");
    auto* problems = tvtest::findControl<QListWidget>(d, "lst_Problems");
    ASSERT_EQ(problems->count(), 1);
    EXPECT_EQ(problems->item(0)->text(), "2 行目: 2 極楽鳥 … カードが見つかりません");
    tvtest::findControl<QPushButton>(d, "cmd_Import")->click();
  });
  EXPECT_TRUE(messages.isEmpty());  // nothing to lose yet
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->lines(), QStringList{"4  Llanowar Elves/ラノワールのエルフ"});
  EXPECT_EQ(ctl<ListBox>("lst_DecSideList")->lines(), QStringList{"3  Shock/ショック"});
  EXPECT_EQ(ctl<QLabel>("lbl_Side")->text(), "-サイド- 3枚");

  // Now the deck is unsaved: the question comes first, and Cancel keeps it.
  answer = QMessageBox::Cancel;
  ctl<QAction>("M_OpenText")->trigger();
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->count(), 1);
  // No drops it; the title and the comment stay.
  answer = QMessageBox::No;
  ctl<QLineEdit>("txt_PrintTitle")->setText("kept");
  QApplication::clipboard()->setText("1 Shock");
  withDialog("M_OpenText", "DeckTextImportDialog",
             [](QWidget* d) { tvtest::findControl<QPushButton>(d, "cmd_Import")->click(); });
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->lines(), QStringList{"1  Shock/ショック"});
  EXPECT_EQ(ctl<ListBox>("lst_DecSideList")->count(), 0);
  EXPECT_EQ(ctl<QLineEdit>("txt_PrintTitle")->text(), "kept");
}

TEST_F(TextDeckWindowTest, DeckGoesOutAsTextToTheClipboardAndToAUtf8File) {
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  f.addDeckRow("wtbl_DecSideList", "OD", "Forest", "森", 3);
  const QString path = f.dir() + "/deck.txt";
  chosen = path;
  withDialog("M_SaveText", "DeckTextExportDialog", [](QWidget* d) {
    tvtest::findControl<QPushButton>(d, "cmd_Copy")->click();
    tvtest::findControl<QPushButton>(d, "cmd_SaveFile")->click();
  });
  const QString expected = "2 Serra Angel\n\n3 Forest (ODY)\n";
  EXPECT_EQ(QApplication::clipboard()->text(), expected);
  EXPECT_EQ(tvtest::readFile(path), expected.toUtf8());
}

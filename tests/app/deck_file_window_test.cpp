// Saving, opening and closing through the real window, the file dialog and
// the message boxes answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "support/controls.h"
#include "support/fixtures.h"
#include "support/printers.h"
#include "text/shiftjis.h"

using namespace tv;

namespace {

class DeckFileWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    w = std::make_unique<Main>(f.ctx);
    w->show();
    QApplication::processEvents();
    w->CommonDialog1.setChooser([this](const CommonDialog::Request& r) {
      offered << r.fileName;
      return chosen;
    });
    w->setMessageBox([this](const MessageBoxRequest& r) {
      messages << r.text;
      icons << r.icon;
      return answer;
    });
  }
  template <typename T>
  T* ctl(const char* name) const {
    return tvtest::findControl<T>(w.get(), name);
  }
  void trigger(const char* action) { ctl<QAction>(action)->trigger(); }
  QString path(const QString& name) const { return f.dir() + "/" + name; }
  QByteArray contents(const QString& p) {
    QFile file(p);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // What a user sees of the deck: both lists with their selections, labels, title and comment.
  QStringList deckView() {
    QStringList out;
    for (const char* list : {"lst_DecList", "lst_DecSideList"})
      out << ctl<ListBox>(list)->lines().join('|') + " @" + QString::number(ctl<ListBox>(list)->currentRow());
    return out << ctl<QLabel>("lbl_Main")->text() << ctl<QLabel>("lbl_Side")->text()
               << ctl<QLineEdit>("txt_PrintTitle")->text()
               << ctl<QPlainTextEdit>("txt_PrintComment")->toPlainText();
  }
  void addCard(const QString& nameE, const char* button) {
    const QStringList cards = ctl<ListBox>("lst_CardList")->lines();
    for (int i = 0; i < cards.size(); ++i)
      if (cards[i].startsWith(nameE + "/")) ctl<ListBox>("lst_CardList")->setCurrentRow(i);
    ctl<QPushButton>(button)->click();
  }

  tvtest::CardDbFixture f;
  std::unique_ptr<Main> w;
  std::optional<QString> chosen;
  QStringList offered, messages;
  QList<QMessageBox::Icon> icons;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
};

}  // namespace

TEST_F(DeckFileWindowTest, SavedDeckOpensAgainWithListsAndTitle) {
  addCard("Shock", "cmd_AddMain");
  addCard("Shock", "cmd_AddMain");
  addCard("Serra Angel", "cmd_AddSide");
  ctl<QLineEdit>("txt_PrintTitle")->setText("Burn");
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("vs. control\nsecond line");
  const QStringList saved = deckView();
  chosen = path("burn");
  trigger("M_Save");
  EXPECT_EQ(contents(path("burn")),
            *encodeShiftJis(u"\"Burn\",\"vs. control\r\nsecond line\"\r\n"
                            u"\"8E\",\"Shock\",2\r\n0,0,0\r\n\"8E\",\"Serra Angel\",1\r\n"));

  addCard("Forest", "cmd_AddMain");
  ctl<QLineEdit>("txt_PrintTitle")->setText("changed");
  chosen = path("burn");
  trigger("M_Open");
  QStringList reopened = saved;
  reopened[0] = "2  Shock/ショック @-1";  // no selection after opening
  reopened[1] = "1  Serra Angel/セラの天使 @-1";
  EXPECT_EQ(deckView(), reopened);
  EXPECT_EQ(offered, QStringList({"", path("burn")}));  // the last name offered again
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(DeckFileWindowTest, FailuresAreToldAndChangeNothingCancelIsSilent) {
  addCard("Shock", "cmd_AddMain");
  ctl<QLineEdit>("txt_PrintTitle")->setText("mine");
  const QStringList before = deckView();
  QFile bad(path("bad.tvf"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("\"t\",\"c\"\r\n\"8E\",\"Forest\",x\r\n");
  bad.close();

  chosen = path("bad.tvf");
  trigger("M_Open");
  chosen = path("no/folder/deck.tvf");
  trigger("M_Save");
  chosen.reset();
  trigger("M_Open");
  trigger("M_Save");
  EXPECT_EQ(deckView(), before);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_EQ(messages[0],
            "デッキファイルを読み込めませんでした。\r\n2行目の枚数「x」が0以上の整数ではありません。");
  EXPECT_TRUE(messages[1].startsWith("デッキを保存できませんでした。")) << messages[1].toStdString();
  EXPECT_EQ(icons, QList<QMessageBox::Icon>({QMessageBox::Warning, QMessageBox::Warning}));
}

TEST_F(DeckFileWindowTest, ClosingAsksAboutAnUnsavedDeckOnly) {
  const QString question = "デッキが変更されています。保存しますか？";
  struct Step {
    const char* what;
    QMessageBox::StandardButton answer;
    std::optional<QString> saveAs;
    bool closes;
  };
  const Step steps[] = {
      {"cancel keeps it open", QMessageBox::Cancel, {}, false},
      {"yes, then a cancelled save keeps it open", QMessageBox::Yes, {}, false},
      {"yes, then a failed save keeps it open", QMessageBox::Yes, path("no/folder/x.tvf"), false},
      {"yes saves and closes", QMessageBox::Yes, path("kept.tvf"), true},
  };
  addCard("Shock", "cmd_AddMain");
  for (const Step& s : steps) {
    messages.clear();
    answer = s.answer;
    chosen = s.saveAs;
    trigger("M_Close");
    ASSERT_FALSE(messages.isEmpty()) << s.what;
    EXPECT_EQ(messages[0], question) << s.what;
    EXPECT_EQ(w->isVisible(), !s.closes) << s.what;
  }
  EXPECT_EQ(contents(path("kept.tvf")), "\"\",\"\"\r\n\"8E\",\"Shock\",1\r\n0,0,0\r\n");
}

TEST_F(DeckFileWindowTest, AnUnchangedDeckClosesAtOnceAndNoDropsAChangedOne) {
  ctl<QLineEdit>("txt_PrintTitle")->setText("t");
  ctl<QLineEdit>("txt_PrintTitle")->setText("");  // back as it was: unchanged
  trigger("M_Close");
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_FALSE(w->isVisible());

  w = std::make_unique<Main>(f.ctx);
  w->show();
  w->setMessageBox([this](const MessageBoxRequest& r) {
    messages << r.text;
    return QMessageBox::No;
  });
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("note");
  trigger("M_Close");
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(f.scalar("SELECT COUNT(*) FROM wtbl_DecList"), 0);
}

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "support/printers.h"
#include "support/window.h"
#include "text/shiftjis.h"

using namespace tv;

namespace {

using tvtest::clickLine;

class DeckWindowTest : public tvtest::WindowTest {
 protected:
  // Clicks the card list's line of `name` (English) in the first expansion's result.
  void chooseCard(const QString& nameE) {
    const QStringList cards = ctl<ListBox>("lst_CardList")->lines();
    for (int i = 0; i < cards.size(); ++i)
      if (cards[i].startsWith(nameE + "/")) return clickLine(ctl<ListBox>("lst_CardList"), i);
    FAIL() << "no card " << nameE.toStdString();
  }
  void press(const char* button, int times = 1) {
    while (times-- > 0) ctl<QPushButton>(button)->click();
  }
  // Both deck lists with their current lines, then their labels.
  QString lists() {
    QStringList out;
    for (const char* list : {"lst_DecList", "lst_DecSideList"})
      out << ctl<ListBox>(list)->lines().join('|') + " @" + QString::number(ctl<ListBox>(list)->currentRow());
    return (out << ctl<QLabel>("lbl_Main")->text() << ctl<QLabel>("lbl_Side")->text()).join(" / ");
  }
  QString detailFirstLines() {
    return ctl<QPlainTextEdit>("txt_CardText")->toPlainText().section('\n', 0, 1);
  }
};

}  // namespace

TEST_F(DeckWindowTest, ButtonsAndListsBuildTheDeck) {
  chooseCard("Shock");
  press("cmd_AddMain", 5);
  chooseCard("Serra's Embrace");
  press("cmd_AddMain", 2);  // the added card's line selected
  EXPECT_EQ(lists(),
            "2  Serra's Embrace/セラの抱擁|4  Shock/ショック @0 /  @-1 / -メイン- 6枚 / -サイド- 0枚");

  // Down twice: the last copy leaves line 0, so nothing stays selected.
  clickLine(ctl<ListBox>("lst_DecList"), 0);
  press("cmd_MoveSide");
  EXPECT_EQ(lists(),
            "1  Serra's Embrace/セラの抱擁|4  Shock/ショック @0 / 1  Serra's Embrace/セラの抱擁 @-1 / "
            "-メイン- 5枚 / -サイド- 1枚");
  press("cmd_MoveSide");
  EXPECT_EQ(lists(),
            "4  Shock/ショック @-1 / 2  Serra's Embrace/セラの抱擁 @-1 / -メイン- 4枚 / -サイド- 2枚");

  // A decrement keeps the line and shows its card; up again from the sideboard.
  clickLine(ctl<ListBox>("lst_DecList"), 0);
  press("cmd_DellMain");
  EXPECT_EQ(lists(),
            "3  Shock/ショック @0 / 2  Serra's Embrace/セラの抱擁 @-1 / -メイン- 3枚 / -サイド- 2枚");
  EXPECT_TRUE(detailFirstLines().contains("Shock / ショック"));
  clickLine(ctl<ListBox>("lst_DecSideList"), 0);
  press("cmd_MoveMain");
  EXPECT_EQ(lists(),
            "1  Serra's Embrace/セラの抱擁|3  Shock/ショック @-1 / 1  Serra's Embrace/セラの抱擁 @0 / "
            "-メイン- 4枚 / -サイド- 1枚");
}

TEST_F(DeckWindowTest, ASelectionAfterRemovalShowsThatLinesCard) {
  for (const char* name : {"Llanowar Elves", "Ornithopter", "Serra Angel"}) {
    chooseCard(name);
    press("cmd_AddSide");
  }
  clickLine(ctl<ListBox>("lst_DecSideList"), 2);  // Serra Angel, one copy
  press("cmd_DellSide");
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
  press("cmd_AddMain");
  EXPECT_EQ(deck->count(), 0);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "");

  chooseCard("Shock");
  press("cmd_AddMain", 3);
  const auto copies = [&] { return f.scalar("SELECT SUM(CardMaisu) FROM wtbl_DecList"); };
  const std::function<void()> deselections[] = {
      [&] {
        QTest::mouseClick(deck->viewport(), Qt::LeftButton, {}, QPoint(5, deck->viewport()->height() - 5));
      },
      [&] { clickLine(deck, 0, Qt::ControlModifier); },
      [&] {
        ctl<QPushButton>("cmd_reload")->click();  // no line selected afterwards
        deck->setFocus(Qt::TabFocusReason);
      },
  };
  for (const auto& deselect : deselections) {
    clickLine(deck, 0);
    deselect();
    ASSERT_EQ(deck->selectedRow(), -1);
    for (const char* button : {"cmd_DellMain", "cmd_MoveSide"}) press(button);
    EXPECT_EQ(copies(), 3);
  }
}

namespace {

// Saving, opening, importing and closing through the menu, the dialogs and
// the message boxes answered by the test.
class DeckFileWindowTest : public DeckWindowTest {
 protected:
  void SetUp() override {
    DeckWindowTest::SetUp();
    answerDialogs();
  }
  void trigger(const char* action) { ctl<QAction>(action)->trigger(); }
  QString path(const QString& name) const { return f.dir() + "/" + name; }
  // What a user sees of the deck: the lists, title and comment.
  QStringList deckView() {
    return {lists(), ctl<QLineEdit>("txt_PrintTitle")->text(),
            ctl<QPlainTextEdit>("txt_PrintComment")->toPlainText()};
  }
  QStringList cardLines() const { return ctl<ListBox>("lst_CardList")->lines(); }

  // Lets the typing pause run out.
  void waitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 3000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
};

}  // namespace

TEST_F(DeckFileWindowTest, SavedDeckOpensAgainWithListsTitleAndPreview) {
  chooseCard("Shock");
  press("cmd_AddMain", 2);
  chooseCard("Serra Angel");
  press("cmd_AddSide");
  ctl<QLineEdit>("txt_PrintTitle")->setText("Burn");
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("vs. control\nsecond line");
  const QStringList saved = deckView();
  chosen = path("burn");
  trigger("M_Save");
  EXPECT_EQ(tvtest::readFile(path("burn")),
            *encodeShiftJis(u"\"Burn\",\"vs. control\r\nsecond line\"\r\n"
                            u"\"8E\",\"Shock\",2\r\n0,0,0\r\n\"8E\",\"Serra Angel\",1\r\n"));

  chooseCard("Forest");
  press("cmd_AddMain");
  ctl<QLineEdit>("txt_PrintTitle")->setText("changed");
  ctl<QPlainTextEdit>("txt_PrintDec")->setPlainText("stale");
  chosen = path("burn");
  answer = QMessageBox::No;  // the changes go
  trigger("M_Open");
  QStringList reopened = saved;  // no selection after opening
  reopened[0] = "2  Shock/ショック @-1 / 1  Serra Angel/セラの天使 @-1 / -メイン- 2枚 / -サイド- 1枚";
  EXPECT_EQ(deckView(), reopened);
  EXPECT_TRUE(ctl<QPlainTextEdit>("txt_PrintDec")->toPlainText().startsWith("★メイン2枚"));  // rebuilt
  EXPECT_EQ(asked.last().fileName, path("burn"));  // the last name offered again
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
}

TEST_F(DeckFileWindowTest, OpeningAChangedDeckAsksFirstAndCancelKeepsEverything) {
  chooseCard("Shock");
  press("cmd_AddMain", 2);
  chosen = path("saved.tvf");
  trigger("M_Save");
  chooseCard("Forest");
  press("cmd_AddSide");
  ctl<QLineEdit>("txt_PrintTitle")->setText("mine");
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("note");
  const QStringList changed = deckView();
  const qsizetype dialogs = asked.size();

  answer = QMessageBox::Cancel;
  w->activateWindow();
  QApplication::processEvents();
  QTest::keyClick(w.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_EQ(asked.size(), dialogs);  // no file asked for
  EXPECT_EQ(deckView(), changed);

  answer = QMessageBox::No;
  trigger("M_Open");
  EXPECT_EQ(messages.size(), 2);
  EXPECT_EQ(deckView(), QStringList({"2  Shock/ショック @-1 /  @-1 / -メイン- 2枚 / -サイド- 0枚", "", ""}));
}

TEST_F(DeckFileWindowTest, EverySaveOffersItsOwnExtensionAndAsksBeforeReplacingAFile) {
  chooseCard("Shock");
  press("cmd_AddMain");
  chosen = path("赤単バーン");  // typed without extension
  trigger("M_Save");
  const QByteArray deckFile = tvtest::readFile(path("赤単バーン"));
  ASSERT_FALSE(deckFile.isEmpty());
  EXPECT_TRUE(messages.isEmpty());

  answer = QMessageBox::No;
  withDialog("M_SaveText", "DeckTextExportDialog",
             [](QWidget* d) { tvtest::findControl<QPushButton>(d, "cmd_SaveFile")->click(); });
  EXPECT_EQ(asked.last().fileName, path("赤単バーン.txt"));
  EXPECT_EQ(messages, QStringList{"「赤単バーン」は既に存在します。\r\n置き換えますか？"});
  EXPECT_EQ(tvtest::readFile(path("赤単バーン")), deckFile);
  chosen.reset();
  trigger("M_SaveHtml");
  EXPECT_EQ(asked.last().fileName, path("赤単バーン.html"));

  chooseCard("Forest");
  press("cmd_AddMain");
  chosen = path("赤単バーン");
  trigger("M_Save");  // No again: the deck file stays
  EXPECT_EQ(tvtest::readFile(path("赤単バーン")), deckFile);
  answer = QMessageBox::Yes;
  trigger("M_Save");
  EXPECT_EQ(messages.size(), 3);
  EXPECT_NE(tvtest::readFile(path("赤単バーン")), deckFile);
}

TEST_F(DeckFileWindowTest, FailuresAreToldAndChangeNothingCancelIsSilent) {
  chooseCard("Shock");
  press("cmd_AddMain");
  ctl<QLineEdit>("txt_PrintTitle")->setText("mine");
  chosen = path("mine.tvf");  // saved: opening has nothing to ask
  trigger("M_Save");
  const QStringList before = deckView();
  tvtest::writeFile(path("bad.tvf"), "\"t\",\"c\"\r\n\"8E\",\"Forest\",x\r\n");

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
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("note");  // the comment alone is a change
  for (const Step& s : steps) {
    messages.clear();
    answer = s.answer;
    chosen = s.saveAs;
    trigger("M_Close");
    ASSERT_FALSE(messages.isEmpty()) << s.what;
    EXPECT_EQ(messages[0], question) << s.what;
    EXPECT_EQ(w->isVisible(), !s.closes) << s.what;
  }
  EXPECT_EQ(tvtest::readFile(path("kept.tvf")), "\"\",\"note\"\r\n0,0,0\r\n");
}

TEST_F(DeckFileWindowTest, AnUnchangedDeckClosesAtOnce) {
  ctl<QLineEdit>("txt_PrintTitle")->setText("t");
  ctl<QLineEdit>("txt_PrintTitle")->setText("");  // back as it was: unchanged
  trigger("M_Close");
  EXPECT_TRUE(messages.isEmpty());
  EXPECT_FALSE(w->isVisible());
}

TEST_F(DeckFileWindowTest, NameBoxFiltersAsTheUserTypesWithEveryOtherFilter) {
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

TEST_F(DeckFileWindowTest, PastedListImportsTheRestAndShowsWhatItCouldNotRead) {
  QApplication::clipboard()->setText("4 Llanowar Elves\n2 極楽鳥\n\nSB: 3 shock\n");
  withDialog("M_OpenText", "DeckTextImportDialog", [](QWidget* d) {
    auto* text = tvtest::findControl<QPlainTextEdit>(d, "txt_DeckText");
    EXPECT_EQ(text->toPlainText(), "4 Llanowar Elves\n2 極楽鳥\n\nSB: 3 shock\n");
    EXPECT_EQ(tvtest::findControl<ListBox>(d, "lst_Problems")->lines(),
              QStringList{"2 行目: 2 極楽鳥 … カードが見つかりません"});
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

// A text box takes seconds over a line of a million blanks or half a million
// lines: such a text never goes in, from the clipboard or a paste.
TEST_F(DeckFileWindowTest, TextTooLargeForTheBoxIsRefused) {
  QApplication::clipboard()->setText("4 Lightning Bolt" + QString(1000000, u' ') + "(AB) x y");
  withDialog("M_OpenText", "DeckTextImportDialog", [](QWidget* d) {
    auto* text = tvtest::findControl<QPlainTextEdit>(d, "txt_DeckText");
    QApplication::clipboard()->setText(QString("x\n").repeated(10000));
    text->paste();
    EXPECT_TRUE(text->toPlainText().isEmpty());
  });
  EXPECT_EQ(messages,
            QStringList(
                {"このテキストは読み込めません。\r\n1 行目が長すぎます（1000024 文字。1 行 1000 文字まで）。",
                 "このテキストは読み込めません。\r\n行が多すぎます（10001 行。10000 行まで）。"}));
}

TEST_F(DeckFileWindowTest, DeckGoesOutAsTextToTheClipboardAndToAUtf8File) {
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

namespace {

// Undo and redo, a new deck, save as, the recent decks and drops.
class EditingWindowTest : public DeckFileWindowTest {
 protected:
  void fill() override {
    tvtest::addStandardCards(f);
    f.addCard({"8E", "Research & Development", "研究開発", "R", "I", 2, "1R", "C", {}, {}, {}, {}});
  }
  QString undoCaption() const { return ctl<QAction>("M_Undo")->text(); }
  QString snapshot() { return deckView().join(" # "); }
  QString recent() {
    QStringList out;
    for (QAction* a : ctl<QMenu>("M_Recent")->actions()) out << a->objectName() + ' ' + a->text();
    return out.join(" | ");
  }
  // Drops `urls` on `on` as a file manager would; whether the window took them.
  bool drop(QWidget* on, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = on->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &dropped);
    return dropped.isAccepted();
  }
  // Lets the window open what was given to it; `inDialog` acts on the dialog it opens.
  void settle(const std::function<void(QWidget*)>& inDialog) {
    bool seen = false;
    QTimer poll;  // runs inside the dialog's own event loop
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget(); dialog && !seen) {
        seen = true;
        inDialog(dialog);
      }
    });
    poll.start(20);
    waitFor([&] { return seen; });
  }
};

}  // namespace

TEST_F(EditingWindowTest, EveryChangeOfTheDeckIsUndoneAndRedoneWithItsListsTitleAndName) {
  EXPECT_FALSE(ctl<QAction>("M_Undo")->isEnabled());
  ctl<QLineEdit>("txt_PrintTitle")->setText("Burn");  // its own undo: only opening and 新規作成 set it
  QStringList before, after, names;
  const auto step = [&](const QString& name, const std::function<void()>& act) {
    before << snapshot();
    act();
    after << snapshot();
    names << name;
    EXPECT_EQ(undoCaption(), "元に戻す: " + name);
  };
  chooseCard("Shock");
  step("追加 Shock", [&] { press("cmd_AddMain"); });
  step("追加 Shock", [&] { press("cmd_AddMain"); });
  chooseCard("Research & Development");
  step("追加 Research && Development", [&] { press("cmd_AddSide"); });  // the ampersand shown as itself
  clickLine(ctl<ListBox>("lst_DecList"), 0);
  step("サイドへ移動 Shock", [&] { press("cmd_MoveSide"); });
  clickLine(ctl<ListBox>("lst_DecSideList"), 0);
  step("削除 Research && Development", [&] { press("cmd_DellSide"); });
  chosen = path("burn.tvf");
  trigger("M_Save");
  tvtest::writeFile(path("other.tvf"), "\"Other\",\"note\"\r\n\"8E\",\"Forest\",20\r\n0,0,0\r\n");
  chosen = path("other.tvf");
  step("デッキを開く other.tvf", [&] { trigger("M_Open"); });
  QApplication::clipboard()->setText("4 Serra Angel");
  step("テキストから読み込み", [&] {
    withDialog("M_OpenText", "DeckTextImportDialog",
               [](QWidget* d) { tvtest::findControl<QPushButton>(d, "cmd_Import")->click(); });
  });
  answer = QMessageBox::No;
  w->activateWindow();
  QApplication::processEvents();
  step("新規作成", [&] { QTest::keyClick(w.get(), Qt::Key_N, Qt::ControlModifier); });
  EXPECT_EQ(after.last(), " @-1 /  @-1 / -メイン- 0枚 / -サイド- 0枚 #  # ");
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});

  // Back to the start, each step's lists, selections, labels and title as they were; then forward again.
  for (qsizetype i = names.size() - 1; i >= 0; --i) {
    EXPECT_EQ(undoCaption(), "元に戻す: " + names[i]);
    trigger("M_Undo");
    EXPECT_EQ(snapshot(), before[i]) << i;
    EXPECT_EQ(ctl<QAction>("M_Redo")->text(), "やり直し: " + names[i]);
  }
  EXPECT_EQ(undoCaption(), "元に戻す");
  EXPECT_FALSE(ctl<QAction>("M_Undo")->isEnabled());
  for (qsizetype i = 0; i < names.size(); ++i) {
    trigger("M_Redo");
    EXPECT_EQ(snapshot(), after[i]) << i;
  }

  // Ctrl+Z and Ctrl+Y in a text field are the field's own; elsewhere the
  // deck's. A deck saved and then undone is a changed deck again.
  chosen = path("new.tvf");
  trigger("M_Save");
  auto* title = ctl<QLineEdit>("txt_PrintTitle");
  tvtest::typeKeys(title, "ab");
  QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(title->text(), "");
  QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(title->text(), "ab");
  EXPECT_EQ(snapshot(), QString(after.last()).replace(" #  # ", " # ab # "));
  title->setText("");
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(0);
  ctl<ListBox>("lst_DecList")->setFocus();
  QTest::keyClick(ctl<ListBox>("lst_DecList"), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(snapshot(), before.last());
  messages.clear();
  answer = QMessageBox::Cancel;
  trigger("M_Close");
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
}

TEST_F(EditingWindowTest, RecentDecksNewDeckAndSaveAs) {
  EXPECT_FALSE(ctl<QAction>("M_Recent")->isEnabled());
  for (int i = 1; i <= 9; ++i) {
    tvtest::writeFile(path(QString("d%1.tvf").arg(i)),
                      QString("\"d%1\",\"\"\r\n\"8E\",\"Shock\",%1\r\n0,0,0\r\n").arg(i).toUtf8());
    chosen = path(QString("d%1.tvf").arg(i));
    trigger("M_Open");
  }
  // The eight opened last, the newest first, each its own path.
  QStringList expected;
  for (int i = 9; i >= 2; --i)
    expected << QString("M_Recent%1 &%1 %2").arg(10 - i).arg(path(QString("d%1.tvf").arg(i)));
  EXPECT_EQ(recent(), expected.join(" | "));

  // 名前を付けて保存 offers the deck's own file; デッキ保存 the dialog's last name, as always.
  chosen.reset();
  trigger("M_SaveHtml");
  trigger("M_Save");
  EXPECT_EQ(asked.last().fileName, path("d9.tvf"));
  chosen = path("x.html");
  trigger("M_SaveHtml");
  chosen.reset();
  trigger("M_Save");
  EXPECT_EQ(asked.last().fileName, path("x.tvf"));
  trigger("M_SaveAs");
  EXPECT_EQ(asked.last().fileName, path("d9.tvf"));
  chosen = path("saved-as.tvf");
  trigger("M_SaveAs");
  EXPECT_TRUE(
      recent().startsWith("M_Recent1 &1 " + path("saved-as.tvf") + " | M_Recent2 &2 " + path("d9.tvf")));

  // A recent deck opens as デッキを開く opens it, asking first about a changed deck.
  chooseCard("Forest");
  press("cmd_AddMain");
  answer = QMessageBox::No;
  ctl<QAction>("M_Recent5")->trigger();  // d6
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_EQ(deckView()[0], "6  Shock/ショック @-1 /  @-1 / -メイン- 6枚 / -サイド- 0枚");
  EXPECT_EQ(deckView()[1], "d6");
  // One that is gone leaves the list, with a word why; nothing else changes.
  QFile::remove(path("d7.tvf"));
  messages.clear();
  ctl<QAction>("M_Recent5")->trigger();  // d7: d6, saved-as, d9 and d8 before it
  EXPECT_EQ(messages, QStringList{"「d7.tvf」が見つかりません。\r\n最近使ったデッキの一覧から外しました。"});
  EXPECT_EQ(deckView()[1], "d6");
  EXPECT_FALSE(recent().contains("d7.tvf"));
  EXPECT_EQ(ctl<QMenu>("M_Recent")->actions().size(), 7);

  // 新規作成: the unsaved-deck question, then an empty deck, title and comment.
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("note");
  messages.clear();
  answer = QMessageBox::Cancel;
  trigger("M_New");
  EXPECT_EQ(deckView()[1], "d6");
  answer = QMessageBox::No;
  trigger("M_New");
  EXPECT_EQ(deckView(), QStringList({" @-1 /  @-1 / -メイン- 0枚 / -サイド- 0枚", "", ""}));
  EXPECT_EQ(messages.size(), 2);
  trigger("M_Close");  // a new deck is an unchanged one
  EXPECT_EQ(messages.size(), 2);
}

TEST_F(EditingWindowTest, ADroppedFileOpensAsADeckOrAsADeckList) {
  tvtest::writeFile(path("drop.tvf"), "\"Dropped\",\"\"\r\n\"8E\",\"Shock\",3\r\n0,0,0\r\n");
  tvtest::writeFile(path("noextension"), "\"Plain\",\"\"\r\n0,0,0\r\n\"8E\",\"Forest\",2\r\n");
  tvtest::writeFile(path("list.txt"), "2 Serra Angel\n");
  const auto url = [&](const QString& name) { return QUrl::fromLocalFile(path(name)); };

  EXPECT_FALSE(drop(ctl<ListBox>("lst_DecList")->viewport(), {url("drop.tvf"), url("list.txt")}));
  EXPECT_FALSE(drop(ctl<ListBox>("lst_DecList")->viewport(), {QUrl("https://example.org/deck.tvf")}));
  EXPECT_TRUE(drop(ctl<ListBox>("lst_DecList")->viewport(), {url("drop.tvf")}));
  waitFor([&] { return deckView()[1] == "Dropped"; });
  EXPECT_EQ(deckView()[0], "3  Shock/ショック @-1 /  @-1 / -メイン- 3枚 / -サイド- 0枚");
  EXPECT_EQ(deckView()[1], "Dropped");
  // On a text field too: the window takes the file, the field does not take its name.
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(1);
  EXPECT_TRUE(drop(ctl<QLineEdit>("txt_PrintTitle"), {url("noextension")}));
  waitFor([&] { return deckView()[1] == "Plain"; });
  EXPECT_EQ(deckView()[0], " @-1 / 2  Forest/森 @-1 / -メイン- 0枚 / -サイド- 2枚");
  EXPECT_EQ(deckView()[1], "Plain");

  // A deck list goes through the text import's dialog, after the question.
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(0);
  chooseCard("Shock");
  press("cmd_AddMain");
  answer = QMessageBox::No;
  EXPECT_TRUE(drop(ctl<ListBox>("lst_CardList")->viewport(), {url("list.txt")}));
  settle([](QWidget* dialog) {
    EXPECT_EQ(dialog->objectName(), "DeckTextImportDialog");
    EXPECT_EQ(tvtest::findControl<QPlainTextEdit>(dialog, "txt_DeckText")->toPlainText(), "2 Serra Angel\n");
    tvtest::findControl<QPushButton>(dialog, "cmd_Import")->click();
  });
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_EQ(deckView()[0], "2  Serra Angel/セラの天使 @-1 /  @-1 / -メイン- 2枚 / -サイド- 0枚");
  EXPECT_EQ(deckView()[1], "Plain");
}

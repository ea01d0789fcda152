#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "app/guarded.h"
#include "app/listbox.h"
#include "app/mainwindow.h"
#include "core/appinfo.h"
#include "support/printers.h"
#include "support/window.h"

using namespace tv;

namespace {

using tvtest::clickLine;

void doubleClick(QWidget* frame) {  // on the frame itself, not on a box in it
  const QPoint at(frame->width() - 4, frame->height() - 4);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, frame->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(frame, &event);
}

class MainWindowTest : public tvtest::WindowTest {
 protected:
  void fill() override {
    tvtest::addStandardCards(f);
    f.addToken("兵士", "W", "", 1, 1);
    f.addToken("苗木", "G", "", 1, 1);
    // Left over from a run that did not end through the menu.
    f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
    f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
  }
  qlonglong rows(const char* table) { return f.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table); }
  QString detail() const { return ctl<QPlainTextEdit>("txt_CardText")->toPlainText(); }
  QColor background() const { return ctl<QPlainTextEdit>("txt_CardText")->palette().color(QPalette::Base); }
};

}  // namespace

TEST_F(MainWindowTest, LoadState) {
  EXPECT_EQ(rows("wtbl_DecList") + rows("wtbl_DecSideList"), 0);
  EXPECT_EQ(ctl<ListBox>("lst_CardSet")->lines(), (QStringList{"第8版", "オデッセイ", "ウルザズ・サーガ"}));
  EXPECT_EQ(ctl<ListBox>("lst_CardSet")->selectedRows(), QList<int>{0});
  QStringList ctypes;
  for (int i = 0; i < ctl<QComboBox>("cmb_CType")->count(); ++i)
    ctypes << ctl<QComboBox>("cmb_CType")->itemText(i);
  EXPECT_EQ(ctypes, (QStringList{"アバター", "エルフ・ドルイド", "人間・ノーマッド・ミスティック", "天使",
                                 "飛行機械"}));
  EXPECT_EQ(ctl<QComboBox>("cmb_CType")->currentText(), "アバター");
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->count(), 7);
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->text(0), "Forest/森");
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->currentRow() + ctl<ListBox>("lst_TokenList")->currentRow(), -2);
  EXPECT_EQ(detail(), "Talvik's Version " + versionText() + "\n\nProduced by Halden\n" + kMakerUrl);
  EXPECT_EQ(background(), QColor(255, 255, 120));
  EXPECT_EQ(ctl<ListBox>("lst_TokenList")->lines(), (QStringList{"兵士", "苗木"}));
  EXPECT_EQ(ctl<QPlainTextEdit>("txt_TokenText")->toPlainText(), "リストからトークンを選択してください");

  tvtest::CardDbFixture empty;  // no expansions, creature types or tokens
  Main bare(empty.ctx);
  EXPECT_EQ(tvtest::findControl<ListBox>(&bare, "lst_CardSet")->count() +
                tvtest::findControl<QComboBox>(&bare, "cmb_CType")->count() +
                tvtest::findControl<ListBox>(&bare, "lst_TokenList")->count(),
            0);
}

TEST_F(MainWindowTest, SearchFromTheWidgetsFrameDoubleClicksAndChoosingALine) {
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  ctl<ListBox>("lst_CardList")->setCurrentRow(3);  // keys or code: a new current line shows its card
  const QString shown = detail();
  EXPECT_TRUE(shown.startsWith("第8版   レア\nSerra Angel / セラの天使\n3WW\n"));
  EXPECT_EQ(background(), QColor(245, 245, 245));
  ctl<ListBox>("lst_CardSet")->setSelected(2, true);
  ctl<QRadioButton>("opt_Cost")->setChecked(true);
  ctl<QCheckBox>("chk_U")->setChecked(false);
  ctl<QCheckBox>("chk_R")->setChecked(false);
  // The first double-click clears every box of its frame, and searches not.
  doubleClick(ctl<QGroupBox>("fra_CardType"));
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->count(), 7);
  ctl<QCheckBox>("chk_Instant")->setChecked(true);
  ctl<QCheckBox>("chk_Enchantment")->setChecked(true);
  ctl<QPushButton>("cmd_reload")->click();
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->lines(),
            (QStringList{"Dark Ritual/暗黒の儀式", "Serra's Embrace/セラの抱擁"}));
  // The deck lists follow the new sort with no line selected; labels, detail and current card stay.
  EXPECT_EQ(ctl<ListBox>("lst_DecList")->lines(),
            (QStringList{"4  Shock/ショック", "2  Serra Angel/セラの天使"}));
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->currentRow() + ctl<ListBox>("lst_DecList")->currentRow(), -2);
  EXPECT_EQ(ctl<QLabel>("lbl_Main")->text(), "-メイン- 0枚");
  EXPECT_EQ(detail(), shown);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Serra Angel");

  doubleClick(ctl<QGroupBox>("fra_Color"));     // the colour frame's own first
  doubleClick(ctl<QGroupBox>("fra_CardType"));  // the second checks them all, whatever was set
  ctl<QCheckBox>("chk_W")->setChecked(true);
  ctl<QPushButton>("cmd_reload")->click();
  EXPECT_EQ(
      ctl<ListBox>("lst_CardList")->lines(),
      (QStringList{"Serra's Embrace/セラの抱擁", "Serra Angel/セラの天使", "Serra Avatar/セラのアバター"}));

  // A click shows the line's card, on the list's current line too: the detail box may show another by now.
  for (ListBox* list : {ctl<ListBox>("lst_DecList"), ctl<ListBox>("lst_CardList"),
                        ctl<ListBox>("lst_DecList"), ctl<ListBox>("lst_CardList")}) {
    clickLine(list, 0);
    EXPECT_EQ(f.ctx.gCurrentCard.NameE, list == ctl<ListBox>("lst_DecList") ? "Shock" : "Serra's Embrace");
  }
}

TEST_F(MainWindowTest, OnlyTheMenuClosesAndEmptiesTheWorkingTables) {
  EXPECT_FALSE(w->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w->close());
  QApplication::closeAllWindows();
  EXPECT_TRUE(w->isVisible());
  QString message;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    message = box->windowTitle() + u'|' + box->text().section(u'\r', 0, 0);
    box->done(0);
  });
  ctl<QAction>("M_Ver")->trigger();
  EXPECT_EQ(message, "Talvik's|Talvik's Ver " + versionText());

  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
  answerDialogs();
  answer = QMessageBox::No;  // the unsaved deck is dropped
  ctl<QAction>("M_Close")->trigger();
  EXPECT_EQ(messages, QStringList{"デッキが変更されています。保存しますか？"});
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(rows("wtbl_CardList") + rows("wtbl_DecList") + rows("wtbl_DecSideList"), 0);
}

TEST_F(MainWindowTest, TheCreatureTypeBoxKeepsExactlyWhatIsTyped) {
  auto* box = ctl<QComboBox>("cmb_CType");
  box->lineEdit()->clear();
  tvtest::typeKeys(box->lineEdit(), "エル");
  EXPECT_EQ(box->currentText(), "エル");    // not completed to エルフ・ドルイド
  ctl<QPushButton>("cmd_reload")->click();  // the box unchecked: no creature type filter
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->count(), 7);
  ctl<QCheckBox>("chk_CType")->setChecked(true);
  ctl<QPushButton>("cmd_reload")->click();
  EXPECT_EQ(ctl<ListBox>("lst_CardList")->lines(), QStringList{"Llanowar Elves/ラノワールのエルフ"});
}

// Claims Ctrl+E and Ctrl+V for the control it watches, as X11's key bindings
// make text fields do (end of line, paste); the offscreen platform binds
// neither, so every control here is made to claim them.
class ClaimsKeys : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      const auto key = static_cast<QKeyEvent*>(event)->keyCombination();
      if (key == QKeyCombination(Qt::CTRL, Qt::Key_E) || key == QKeyCombination(Qt::CTRL, Qt::Key_V))
        event->accept();
    }
    return false;
  }
};

TEST_F(MainWindowTest, CtrlEEndsTheProgramFromEveryControlAndCtrlVShowsTheVersionOutsideTextFields) {
  ClaimsKeys claims;
  for (QWidget* c : w->findChildren<QWidget*>()) c->installEventFilter(&claims);
  answerDialogs();  // a paste may change the title: Ctrl+E then asks, and No lets it close
  answer = QMessageBox::No;
  QSignalSpy closes(ctl<QAction>("M_Close"), &QAction::triggered);
  QSignalSpy versions(ctl<QAction>("M_Ver"), &QAction::triggered);
  auto* tabs = ctl<QTabWidget>("SSTab1");
  int controls = 0;
  for (int t = 0; t < 3; ++t) {
    for (QWidget* c : w->findChildren<QWidget*>()) {
      const auto focus = [&] {  // the window again after Ctrl+E hid it
        w->show();
        w->activateWindow();
        tabs->setCurrentIndex(t);
        QApplication::processEvents();
        c->setFocus();
        return c->objectName().isEmpty() || !c->isVisible() || c->focusPolicy() == Qt::NoFocus;
      };
      if (focus()) continue;
      SCOPED_TRACE(c->objectName().toStdString());
      QWidget* target = c->focusProxy() ? c->focusProxy() : c;
      const qsizetype before = closes.size();
      QTest::keyClick(target, Qt::Key_E, Qt::ControlModifier);
      EXPECT_EQ(closes.size(), before + 1);
      ++controls;

      // Ctrl+V: paste in an editable text field, the version elsewhere.
      focus();
      const bool editable = c->objectName() == "txt_PrintTitle" || c->objectName() == "txt_PrintComment" ||
                            c->objectName() == "txt_Name" || c->objectName() == "cmb_CType";
      QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
      });
      const qsizetype shown = versions.size();
      QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
      EXPECT_EQ(versions.size(), shown + (editable ? 0 : 1));
    }
  }
  EXPECT_GT(controls, 40);
}

TEST(DbErrorText, JapaneseWithTheEnginesWordsAndNoStatement) {
  const DbError e = DbError::fromEngine("database disk image is malformed", "SELECT secret FROM t");
  EXPECT_EQ(dbErrorText(e), "カードデータの読み込みに失敗しました。\ndatabase disk image is malformed");
  EXPECT_TRUE(e.message().contains("SELECT secret"));  // kept for whoever reads a log
}

// The sort, the expansions (by code), the output options and the deck
// folder outlive the window; another card database selects what it still holds.
TEST_F(MainWindowTest, ChoicesOutliveTheWindow) {
  auto* sets = ctl<ListBox>("lst_CardSet");
  sets->setCurrentRow(1);      // オデッセイ (OD)
  sets->setSelected(2, true);  // ウルザズ・サーガ (US)
  ctl<QRadioButton>("opt_Cost")->setChecked(true);
  ctl<QCheckBox>("chk_Rare")->setChecked(false);
  ctl<QCheckBox>("chk_HCardText")->setChecked(true);
  answerDialogs();
  chosen = f.dir() + "/kept.tvf";
  ctl<QAction>("M_Save")->trigger();
  answer = QMessageBox::No;
  ctl<QAction>("M_Close")->trigger();
  ASSERT_FALSE(w->isVisible());

  tvtest::CardDbFixture other;  // without オデッセイ, ウルザズ・サーガ on another line
  other.addSet(0, "第8版", "8E");
  other.addSet(1, "ウルザズ・サーガ", "us");
  Main again(other.ctx);
  EXPECT_EQ(tvtest::findControl<ListBox>(&again, "lst_CardSet")->selectedRows(), QList<int>{1});
  EXPECT_TRUE(tvtest::findControl<QRadioButton>(&again, "opt_Cost")->isChecked());
  EXPECT_EQ(other.ctx.gSortField, "NumCost");
  QStringList boxes;
  for (const char* box : {"chk_NameE", "chk_Rare", "chk_ManaCurve", "chk_HCardText"})
    boxes << QString::number(tvtest::findControl<QCheckBox>(&again, box)->isChecked());
  EXPECT_EQ(boxes.join(""), "1011");
  std::optional<QString> folder;
  again.CommonDialog1.setChooser([&](const CommonDialog::Request& r) {
    folder = r.folder;
    return std::nullopt;
  });
  again.M_Open_Click();
  EXPECT_EQ(folder, f.dir());
}

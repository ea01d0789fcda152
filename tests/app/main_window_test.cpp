#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include "app/core/appinfo.h"
#include "app/mainwindow.h"
#include "app/twips.h"
#include "support/printers.h"
#include "support/fixtures.h"

using namespace tv;
using tvtest::CardDbFixture;

namespace {

QStringList lines(const ListBox* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->text(i);
  return out;
}

QString shown(const QPlainTextEdit* box) { return box->toPlainText(); }

QColor background(const QPlainTextEdit* box) { return box->palette().color(QPalette::Base); }

void mouse(QWidget* target, QEvent::Type type, QPoint pos) {
  QMouseEvent event(type, pos, target->mapToGlobal(pos), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

// A user's click on one line of a list.
void clickLine(ListBox* list, int row) {
  const QPoint at = list->rowRect(row).center();
  mouse(list->viewport(), QEvent::MouseButtonPress, at);
  mouse(list->viewport(), QEvent::MouseButtonRelease, at);
}

void doubleClick(QWidget* frame) {
  const QPoint at(frame->width() - 4, frame->height() - 4);  // the frame itself, not a box in it
  mouse(frame, QEvent::MouseButtonPress, at);
  mouse(frame, QEvent::MouseButtonRelease, at);
  mouse(frame, QEvent::MouseButtonDblClick, at);
  mouse(frame, QEvent::MouseButtonRelease, at);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tvtest::addStandardCards(f);
    f.addToken("兵士", "W", "", 1, 1);
    f.addToken("苗木", "G", "", 1, 1);
    // Left over from a run that did not end through the menu.
    f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
    f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
    f.db().execute("INSERT INTO wtbl_CardList (CardSetEx, NameE) VALUES ('8E', 'Shock')");
  }

  void open() {
    w = std::make_unique<Main>(f.ctx);
    w->show();
    QApplication::processEvents();
  }

  qlonglong rows(const char* table) { return f.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table); }

  CardDbFixture f;
  std::unique_ptr<Main> w;
};

}  // namespace

TEST_F(MainWindowTest, LoadState) {
  open();
  EXPECT_EQ(w->windowTitle(), "Talvik's");
  EXPECT_EQ(rows("wtbl_DecList"), 0);
  EXPECT_EQ(rows("wtbl_DecSideList"), 0);
  EXPECT_EQ(rows("wtbl_CardList"), 7);  // the first search's result only

  EXPECT_EQ(lines(w->lst_CardSet), (QStringList{"第8版", "オデッセイ", "ウルザズ・サーガ"}));
  EXPECT_EQ(w->lst_CardSet->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(w->lst_CardSet->selectedRows(), QList<int>{0});

  QStringList ctypes;
  for (int i = 0; i < w->cmb_CType->count(); ++i) ctypes << w->cmb_CType->itemText(i);
  EXPECT_EQ(ctypes, (QStringList{"アバター", "エルフ・ドルイド", "人間・ノーマッド・ミスティック", "天使",
                                 "飛行機械"}));
  EXPECT_EQ(w->cmb_CType->currentText(), "アバター");

  EXPECT_EQ(w->lst_CardList->count(), 7);
  EXPECT_EQ(w->lst_CardList->text(0), "Forest/森");
  EXPECT_EQ(w->lst_CardList->currentRow(), -1);
  EXPECT_EQ(w->lst_DecList->count() + w->lst_DecSideList->count(), 0);
  EXPECT_EQ(w->lbl_Main->text(), "-メイン- 0枚");

  EXPECT_EQ(shown(w->txt_CardText),
            "Talvik's Version " + versionText() + "\n\nProduced by Halden\n" + kMakerUrl);
  EXPECT_EQ(background(w->txt_CardText), QColor(255, 255, 120));
  EXPECT_TRUE(f.ctx.gCurrentCard.NameE.isEmpty());
  EXPECT_EQ(f.ctx.gSortField, "NameE");

  EXPECT_EQ(lines(w->lst_TokenList), (QStringList{"兵士", "苗木"}));
  EXPECT_EQ(w->lst_TokenList->currentRow(), -1);
  EXPECT_EQ(shown(w->txt_TokenText), "リストからトークンを選択してください");
  EXPECT_EQ(w->SSTab1->currentIndex(), 0);
}

TEST_F(MainWindowTest, ControlsLayoutAndFonts) {
  open();
  EXPECT_EQ(w->SSTab1->tabText(2), "トークン出力編集");
  EXPECT_EQ(w->findChild<ListBox*>("lst_DecList"), w->lst_DecList);
  EXPECT_TRUE(w->opt_NameE->isChecked());
  EXPECT_FALSE(w->chk_CType->isChecked());
  EXPECT_TRUE(w->chk_ManaCurve->isChecked());
  EXPECT_FALSE(w->chk_HCardText->isChecked());
  EXPECT_EQ(w->cmd_MoveSide->text(), "↓");

  const QSize client(twips(9870), twips(7815));
  EXPECT_EQ(w->SSTab1->size(), client);
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_EQ(w->height(), client.height() + w->menuBar()->height());
  // Twips from the tab control's corner, the tab row included; a frame's contents from the frame's.
  auto at = [](QWidget* widget, QWidget* origin) {
    return QRect(widget->mapTo(origin, QPoint()), widget->size());
  };
  auto rect = [](int l, int t, int wd, int h) { return QRect(twips(l), twips(t), twips(wd), twips(h)); };
  EXPECT_EQ(at(w->lst_CardSet, w->Frame1), rect(120, 240, 1815, 960));
  EXPECT_EQ(at(w->cmd_ProxyPrint, w->SSTab1), rect(8040, 360, 1455, 375));
  EXPECT_EQ(at(w->cmd_reload, w->SSTab1), rect(120, 7320, 2055, 375));
  EXPECT_EQ(at(w->lst_DecSideList, w->SSTab1), rect(6600, 6240, 3135, 1320));
  w->SSTab1->setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_EQ(at(w->txt_PrintDec, w->SSTab1), rect(120, 3360, 9615, 4335));

  EXPECT_EQ(w->txt_CardText->font().family(), "ＭＳ Ｐゴシック");
  EXPECT_EQ(w->txt_CardText->font().pointSize(), 12);
  EXPECT_EQ(w->txt_PrintDec->font().family(), "ＭＳ ゴシック");
  EXPECT_EQ(w->txt_PrintDec->font().pointSize(), 9);
}

TEST_F(MainWindowTest, MenusInOrderWithKeys) {
  open();
  auto items = [](const QWidget* menu) {
    QStringList out;
    for (const QAction* a : menu->actions())
      out << a->objectName() + u' ' + (a->isSeparator() ? "-" : a->text() + u' ' + a->shortcut().toString());
    return out;
  };
  EXPECT_EQ(w->menuBar()->actions(),
            (QList<QAction*>{w->M_Fail->menuAction(), w->M_Print->menuAction(), w->M_Help->menuAction()}));
  EXPECT_EQ(w->M_Fail->title() + w->M_Print->title() + w->M_Help->title(), "ファイル(&F)印刷(&P)ヘルプ(&H)");
  EXPECT_EQ(items(w->M_Fail),
            (QStringList{"M_Open デッキを開く(&O) Ctrl+O", "M_Kubun1 -", "M_Save デッキ保存(&S) Ctrl+S",
                         "M_SaveHtml デッキHTML出力(&H) Ctrl+H", "M_Kubun2 -", "M_Close 終了(&E) Ctrl+E"}));
  EXPECT_EQ(items(w->M_Print),
            (QStringList{"M_PrintDec デッキ印刷(&D) Ctrl+D", "M_PrintProxy 代理カード印刷(&P) Ctrl+P",
                         "M_PrintToken トークン印刷(&T) Ctrl+T"}));
  EXPECT_EQ(items(w->M_Help), QStringList{"M_Ver バージョン情報(&V) Ctrl+V"});
}

TEST_F(MainWindowTest, SearchFromTheWidgets) {
  open();
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  f.addDeckRow("wtbl_DecList", "OD", "Mirari", "ミラーリ", 1, 5);
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  w->lst_CardList->setCurrentRow(3);  // Serra Angel
  const QString detail = shown(w->txt_CardText);

  w->lst_CardSet->setSelected(2, true);
  w->chk_Creature->setChecked(false);
  w->chk_Land->setChecked(false);
  w->opt_Cost->setChecked(true);
  w->cmd_reload->click();

  EXPECT_EQ(f.ctx.gSortField, "NumCost");
  EXPECT_EQ(lines(w->lst_CardList), (QStringList{"Dark Ritual/暗黒の儀式", "Shock/ショック",
                                                 "Counterspell/対抗呪文", "Serra's Embrace/セラの抱擁"}));
  EXPECT_EQ(w->lst_CardList->currentRow(), -1);
  EXPECT_EQ(lines(w->lst_DecList),
            (QStringList{"4  Shock/ショック", "1  Mirari/ミラーリ", "2  Serra Angel/セラの天使"}));
  EXPECT_EQ(w->lst_DecList->currentRow(), -1);
  EXPECT_EQ(w->lbl_Main->text(), "-メイン- 0枚");  // the search leaves the labels alone
  EXPECT_EQ(shown(w->txt_CardText), detail);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Serra Angel");

  // The creature type is used only while its box is checked.
  w->chk_Creature->setChecked(true);
  w->chk_CType->setChecked(true);
  w->cmb_CType->setEditText("天使");
  w->cmd_reload->click();
  EXPECT_EQ(lines(w->lst_CardList), QStringList{"Serra Angel/セラの天使"});
}

TEST_F(MainWindowTest, ChoosingALineShowsItsCard) {
  open();
  w->lst_CardList->setCurrentRow(1);  // keyboard or code: the current line changes
  EXPECT_EQ(shown(w->txt_CardText),
            "第8版   コモン\nLlanowar Elves / ラノワールのエルフ\nG\nクリーチャー "
            "エルフ・ドルイド\n(Ｔ)：(緑)を加える。\n[1/1]\n");
  EXPECT_EQ(background(w->txt_CardText), QColor(220, 255, 220));
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Llanowar Elves");

  clickLine(w->lst_CardList, 5);  // Shock
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Shock");
  EXPECT_EQ(background(w->txt_CardText), QColor(255, 230, 220));

  // A deck line shows its card; clicking the card list's current line again brings Shock back.
  f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
  w->applyDeckList(RefreshDeckList(f.ctx, "wtbl_DecSideList", DeckSelection::none()), true);
  clickLine(w->lst_DecSideList, 0);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Forest");
  EXPECT_EQ(background(w->txt_CardText), QColor(240, 220, 160));
  clickLine(w->lst_CardList, 5);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Shock");
  EXPECT_TRUE(shown(w->txt_CardText).startsWith("第8版   コモン\nShock / ショック\n"));
}

TEST_F(MainWindowTest, ApplyDeckListSelectsAndShows) {
  open();
  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecList", "8E", "Serra Angel", "セラの天使", 2, 5, 4, 4);
  w->applyDeckList(RefreshDeckList(f.ctx, "wtbl_DecList", DeckSelection::line(1)), true);
  EXPECT_EQ(w->lbl_Main->text(), "-メイン- 6枚");
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Shock");
  w->applyDeckList(RefreshDeckList(f.ctx, "wtbl_DecList", DeckSelection::line(2)), false);  // past the end
  EXPECT_EQ(w->lst_DecList->currentRow(), -1);
  EXPECT_EQ(f.ctx.gCurrentCard.NameE, "Shock");
}

TEST_F(MainWindowTest, FrameDoubleClicksToggleAllBoxes) {
  open();
  const QList<QCheckBox*> colours = {w->chk_W, w->chk_U, w->chk_B, w->chk_R, w->chk_G, w->chk_M, w->chk_N};
  const QList<QCheckBox*> types = {w->chk_Land,        w->chk_Instant,  w->chk_Sorcery,
                                   w->chk_Enchantment, w->chk_Artifact, w->chk_Creature};
  auto states = [](const QList<QCheckBox*>& boxes) {
    QList<bool> out;
    for (QCheckBox* box : boxes) out << box->isChecked();
    return out;
  };
  w->chk_U->setChecked(false);
  doubleClick(w->fra_Color);
  EXPECT_EQ(states(colours), QList<bool>(7, false));  // the first always clears, whatever was set
  EXPECT_EQ(states(types), QList<bool>(6, true));
  w->chk_R->setChecked(true);
  doubleClick(w->fra_Color);
  EXPECT_EQ(states(colours), QList<bool>(7, true));
  doubleClick(w->fra_CardType);
  EXPECT_EQ(states(types), QList<bool>(6, false));
  EXPECT_EQ(w->lst_CardList->count(), 7);  // no search
}

TEST_F(MainWindowTest, OnlyTheMenuCloses) {
  open();
  EXPECT_FALSE(w->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  QApplication::closeAllWindows();
  EXPECT_TRUE(w->isVisible());

  f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
  f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
  w->M_Close->trigger();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(rows("wtbl_CardList"), 0);
  EXPECT_EQ(rows("wtbl_DecList"), 0);
  EXPECT_EQ(rows("wtbl_DecSideList"), 0);
}

TEST_F(MainWindowTest, VersionMessage) {
  open();
  QString caption, text;
  QMessageBox::StandardButtons buttons;
  QMessageBox::Icon icon = QMessageBox::Critical;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      caption = box->windowTitle();
      text = box->text();
      buttons = box->standardButtons();
      icon = box->icon();
      box->accept();
    }
  });
  w->M_Ver->trigger();
  EXPECT_EQ(caption, "Talvik's");
  EXPECT_EQ(text,
            "Talvik's Ver " + versionText() +
                "\r\nProduced by Halden\r\n\r\nご意見、ご要望、バグ報告はこちらまで\r\n" + kMakerUrl +
                "\r\n\r\n現在取り扱い説明書がありません、\r\n気合と直感で使ってみてください。。m(_ _)m");
  EXPECT_EQ(buttons, QMessageBox::Ok);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
}

TEST(MainWindowEmpty, LoadsWithoutExpansionsOrCreatureTypes) {
  CardDbFixture f;
  Main w(f.ctx);
  EXPECT_EQ(w.lst_CardSet->count(), 0);
  EXPECT_EQ(w.cmb_CType->count(), 0);
  EXPECT_EQ(w.lst_CardList->count(), 0);
  EXPECT_EQ(w.lst_TokenList->count(), 0);
  EXPECT_EQ(w.txt_TokenText->toPlainText(), "リストからトークンを選択してください");
}

// ファイル → カードデータの更新 as a user meets it: the dialogs answered, the
// progress dialog real.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "carddb/names.h"
#include "support/window.h"

using namespace tv;

namespace {

const QString kSample = QStringLiteral(TV_SOURCE_DIR "/tests/tools/mtgjson-sample.json");

// Presses キャンセル the moment the progress dialog shows, before the
// import can have ended.
class CancelOnShow : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->objectName() == u"CardImportDialog")
      tvtest::findControl<QPushButton>(static_cast<QWidget*>(watched), "cmd_Cancel")->click();
    return false;
  }
};

class CardUpdateWindowTest : public tvtest::WindowTest {
 protected:
  void update(const QString& mtgjson) {
    w->CardDataDialog.setChooser([=](const CommonDialog::Request&) { return mtgjson; });
    w->findChild<QAction*>("M_UpdateCards")->trigger();
  }
  QStringList expansions() const { return ctl<ListBox>("lst_CardSet")->lines(); }
  QStringList deckLines() const { return ctl<ListBox>("lst_DecList")->lines(); }
};

}  // namespace

TEST_F(CardUpdateWindowTest, UpdateKeepsTheDeckAndReloadsTheLists) {
  f.addDeckRow(kMainDeckTable, "AP", "Fire // Ice", "古い名前", 2, 9);  // as a deck file brings it in
  answerDialogs();
  answer = QMessageBox::No;  // no WHISPER file of the user's
  ctl<QLineEdit>("txt_PrintTitle")->setText("赤単");
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("メモ");
  const QStringList oldExpansions = expansions();
  const QByteArray before = tvtest::readFile(f.path());

  CancelOnShow cancelOnShow;
  qApp->installEventFilter(&cancelOnShow);
  update(kSample);
  qApp->removeEventFilter(&cancelOnShow);
  update(TV_SOURCE_DIR "/data/tokens.csv");
  ASSERT_EQ(messages.size(), 3);  // the WHISPER question twice, then the refusal
  EXPECT_EQ(messages[2],
            "カードデータを更新できませんでした。\r\n「tokens.csv」を読み込めませんでした。MTGJSON "
            "のファイルではないか、壊れています。");
  EXPECT_EQ(expansions(), oldExpansions);
  EXPECT_EQ(tvtest::readFile(f.path()), before);
  EXPECT_FALSE(QFileInfo::exists(f.path() + ".bak"));
  EXPECT_FALSE(ctl<QAction>("M_Undo")->isEnabled());  // nothing changed, nothing to undo

  messages.clear();
  update(kSample);
  ASSERT_EQ(messages.size(), 2);
  EXPECT_TRUE(messages[1].startsWith("カードデータを更新しました。")) << messages[1].toStdString();
  EXPECT_EQ(tvtest::readFile(f.path() + ".bak"), before);
  EXPECT_NE(expansions(), oldExpansions);
  EXPECT_TRUE(expansions().contains("アポカリプス"));
  EXPECT_EQ(deckLines(), QStringList{"2  Fire // Ice/火 // 氷"});
  // The deck took the new card values: a step of its own.
  EXPECT_EQ(ctl<QAction>("M_Undo")->text(), "元に戻す: カードデータの更新");
  ctl<QAction>("M_Undo")->trigger();
  EXPECT_EQ(deckLines(), QStringList{"2  Fire // Ice/古い名前"});
  ctl<QAction>("M_Redo")->trigger();
  EXPECT_EQ(deckLines(), QStringList{"2  Fire // Ice/火 // 氷"});
  EXPECT_EQ(ctl<QLineEdit>("txt_PrintTitle")->text(), "赤単");
  EXPECT_EQ(ctl<QPlainTextEdit>("txt_PrintComment")->toPlainText(), "メモ");
  // Still unsaved: closing asks.
  answer = QMessageBox::Cancel;
  w->M_Close_Click();
  EXPECT_EQ(messages.last(), "デッキが変更されています。保存しますか？");
  EXPECT_TRUE(w->isVisible());

  // A Japanese caption, which is also what assistive technology reads.
  QMenu* menu = w->findChild<QMenu*>("M_Fail");
  QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(
      int(menu->actions().indexOf(w->findChild<QAction*>("M_UpdateCards"))));
  EXPECT_EQ(item->text(QAccessible::Name), "カードデータの更新(U)...");
}

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "app/mainwindow.h"
#include "output/deckprint.h"
#include "output/htmldecklist.h"
#include "support/printers.h"
#include "support/window.h"

using namespace tv;

namespace {

class DeckOutputWindowTest : public tvtest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    f.addDeckRow("wtbl_DecList", "8E", "Shock", "ショック", 4, 1);
    f.addDeckRow("wtbl_DecSideList", "8E", "Forest", "森", 1);
  }
  QString preview() const { return ctl<QPlainTextEdit>("txt_PrintDec")->toPlainText(); }
};

}  // namespace

TEST_F(DeckOutputWindowTest, TheTabAndEveryOptionBoxRebuildThePreview) {
  EXPECT_TRUE(preview().startsWith("★メイン0枚\n"));  // built when the window showed, before the deck changed
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(1);
  const QString full = DeckPrintText(f.db(), {}).RefreshPrintPreview();
  EXPECT_TRUE(full.contains("  4  Shock "));
  EXPECT_EQ(preview(), QString(full).replace("\r\n", "\n"));

  // A deck change shows at the next rebuild: here the click of each box, whatever it turns off.
  const std::pair<const char*, QString> boxes[] = {
      {"chk_ManaCurve", "１=□"},  {"chk_Side", "★サイドボード"}, {"chk_CardSetEx", "エキスパンション"},
      {"chk_Rare", "レアリティ"}, {"chk_Cost", "コスト"},        {"chk_NameN", "日本語名"},
      {"chk_NameE", "英語名"},    {"chk_Space", "  12 "}};
  for (int copies = 5; const auto& [name, gone] : boxes) {
    f.db().execute("UPDATE wtbl_DecList SET CardMaisu = " + QString::number(copies));
    ctl<QCheckBox>(name)->click();
    EXPECT_TRUE(preview().startsWith("★メイン" + QString::number(copies) + "枚\n")) << name;
    EXPECT_FALSE(preview().contains(gone)) << name;
    ++copies;
  }
  EXPECT_EQ(preview(), "★メイン12枚\n 数 \n [インスタント]\n12 \n");
}

TEST_F(DeckOutputWindowTest, HtmlGoesToTheChosenFileWithTheTitleAndCardTextOptions) {
  answerDialogs();
  const QDir dir(f.dir());

  ctl<QAction>("M_SaveHtml")->trigger();  // cancelled: nothing written, nothing said
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0].filters, QStringList({"すべてのファイル (*)", "Ｗｅｂ ファイル (*.html)"}));
  EXPECT_EQ(asked[0].selectedFilter, asked[0].filters[1]);
  EXPECT_EQ(dir.entryList({"*.html"}), QStringList());

  ctl<QLineEdit>("txt_PrintTitle")->setText("赤単 <R>");
  ctl<QCheckBox>("chk_HCardText")->setChecked(true);
  chosen = dir.filePath("deck.html");
  ctl<QAction>("M_SaveHtml")->trigger();
  EXPECT_EQ(tvtest::readFile(*chosen), htmlFileBytes(HtmlDeckList(f.db(), true).page("赤単 <R>")));
  EXPECT_EQ(messages, QStringList());

  chosen = dir.filePath("missing/deck.html");
  ctl<QAction>("M_SaveHtml")->trigger();
  EXPECT_FALSE(QFile::exists(*chosen));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0].section(u'\r', 0, 0), "HTMLファイルを保存できませんでした。");
  EXPECT_EQ(icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
}

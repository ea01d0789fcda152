#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "app/printing.h"
#include "output/deckprint.h"
#include "output/htmldecklist.h"
#include "output/sheets.h"
#include "support/printers.h"
#include "support/window.h"

using namespace tv;

namespace {

// Hands every operation to a recorder the test keeps.
class ForwardingJob : public PrintJob {
 public:
  explicit ForwardingJob(RecordingPrintJob& to) : to_(to) {}
  void setFontName(const QString& face) override { to_.setFontName(face); }
  void setFontSize(qint16 points) override { to_.setFontSize(points); }
  void print(const QString& text) override { to_.print(text); }
  void endDoc() override { to_.endDoc(); }

 private:
  RecordingPrintJob& to_;
};

class PrintWindowTest : public tvtest::WindowTest {
 protected:
  void fill() override {
    tvtest::addStandardCards(f);
    f.addToken("兵士", "白", "警戒", 1, 1);
    f.addToken("苗木", "緑", QVariant(), 1, 1);
    f.addToken("ゾンビ", "黒", QVariant(), 2, 2);
    setPrinterJobSource([this] { return std::make_unique<ForwardingJob>(printed); });
  }
  void SetUp() override {
    WindowTest::SetUp();
    w->setMessageBox([this](const MessageBoxRequest& r) {
      boxes << r.text;
      EXPECT_EQ(r.icon, r.buttons == QMessageBox::Ok ? QMessageBox::Warning : QMessageBox::Question);
      return r.defaultButton != QMessageBox::NoButton && answerDefault ? r.defaultButton : QMessageBox::No;
    });
    w->CommonDialog1.setChooser([this](const CommonDialog::Request& r) -> std::optional<QString> {
      EXPECT_EQ(r.mode, CommonDialog::Mode::Save);
      EXPECT_EQ(r.filters, QStringList{"PDFファイル (*.pdf)"});
      ++asked;
      return pdfPath;
    });
  }
  void TearDown() override { setPrinterJobSource({}); }
  // The lines of the first copy as printed, or the operations' count when none.
  QString firstLine() const { return printed.ops.size() > 2 ? printed.ops[2].text : QString(); }

  RecordingPrintJob printed;
  QStringList boxes;
  bool answerDefault = true;
  int asked = 0;
  std::optional<QString> pdfPath;
};

TEST_F(PrintWindowTest, TokenListTextAndSheet) {
  ctl<QAction>("M_PrintToken")->trigger();
  EXPECT_EQ(boxes, QStringList{"トークンを選択してください。"});
  EXPECT_TRUE(printed.ops.empty());

  // Only a chosen line shows a token, not the line the list marks when it gets the focus.
  ctl<QTabWidget>("SSTab1")->setCurrentIndex(2);
  w->activateWindow();
  ctl<ListBox>("lst_TokenList")->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(ctl<QPlainTextEdit>("txt_TokenText")->toPlainText(), "リストからトークンを選択してください");
  ctl<ListBox>("lst_TokenList")->setSelected(0, true);  // a click on that line
  EXPECT_TRUE(ctl<QPlainTextEdit>("txt_TokenText")->toPlainText().startsWith("ゾンビ"));

  ctl<ListBox>("lst_TokenList")->setCurrentRow(2);  // ゾンビ, 兵士, 苗木: the third in NameN order
  EXPECT_EQ(ctl<QPlainTextEdit>("txt_TokenText")->toPlainText(), "苗木\n\n色 (緑)\n\n\n\n[1/1]\n");
  ctl<QPushButton>("cmd_TPrint")->click();
  ASSERT_EQ(printed.ops.size(), 43u);
  const QString name = QStringLiteral("苗木") + QString(14, kFullWidthBlank);
  EXPECT_EQ(firstLine(), name + "  " + name);
}

TEST_F(PrintWindowTest, ProxySheetOfTheCurrentCardAndTheDeckList) {
  ctl<QPushButton>("cmd_ProxyPrint")->click();
  EXPECT_EQ(boxes, QStringList{"カードを選択してください。"});
  EXPECT_TRUE(printed.ops.empty());

  ListBox* cards = ctl<ListBox>("lst_CardList");
  cards->setCurrentRow(int(cards->lines().indexOf(QStringLiteral("Llanowar Elves/ラノワールのエルフ"))));
  ctl<QAction>("M_PrintProxy")->trigger();
  ASSERT_EQ(printed.ops.size(), 43u);
  const QString line = QStringLiteral("Llanowar Elves") + QString(14, u' ') + " [G]";
  EXPECT_EQ(firstLine(), line + "  " + line);

  printed.ops.clear();
  ctl<QLineEdit>("txt_PrintTitle")->setText("緑単");
  ctl<QPlainTextEdit>("txt_PrintComment")->setPlainText("一行目\r\n二行目");
  f.addDeckRow("wtbl_DecList", "8E", "Forest", "森", 4);  // printing prints the preview, never rebuilds it
  ctl<QAction>("M_PrintDec")->trigger();
  ASSERT_EQ(printed.ops.size(), 19u);
  EXPECT_TRUE(printed.ops[2].text.startsWith("Talvik's Ver"));
  EXPECT_EQ(printed.ops[7].text, "緑単");
  EXPECT_EQ(printedLines(printed.ops[12].text), (QStringList{"一行目", "二行目"}));
  EXPECT_EQ(printed.ops[17].text, ctl<QPlainTextEdit>("txt_PrintDec")->toPlainText());
  EXPECT_FALSE(printed.ops[17].text.contains("Forest"));
}

// Without a printer the same pages go to a PDF file, if the user wants one.
TEST_F(PrintWindowTest, WithoutAPrinterThePagesMayBeSavedAsPdf) {
  setPrinterJobSource([] { return nullptr; });
  f.ctx.gCurrentToken = {"兵士", "白", "警戒", "1/1"};
  const QString pdf = f.dir() + "/token.pdf";

  answerDefault = false;  // declined: no dialog, no file
  pdfPath = pdf;
  ctl<QPushButton>("cmd_TPrint")->click();
  EXPECT_EQ(boxes, QStringList{kNoPrinterMessage});
  EXPECT_EQ(asked, 0);

  answerDefault = true;  // accepted, then the dialog cancelled
  pdfPath.reset();
  ctl<QPushButton>("cmd_TPrint")->click();
  EXPECT_EQ(asked, 1);

  pdfPath = pdf;
  ctl<QAction>("M_PrintToken")->trigger();
  EXPECT_EQ(asked, 2);
  EXPECT_GT(QFileInfo(pdf).size(), 1000);
  const QByteArray written = tvtest::readFile(pdf);
  boxes.clear();  // the same file again: asked first, and No (the default) keeps it
  ctl<QAction>("M_PrintToken")->trigger();
  EXPECT_EQ(boxes, QStringList({kNoPrinterMessage, "「token.pdf」は既に存在します。\r\n置き換えますか？"}));
  EXPECT_EQ(tvtest::readFile(pdf), written);

  pdfPath = f.dir() + "/no/such/folder/token.pdf";  // a failure is told, never silent
  boxes.clear();
  ctl<QAction>("M_PrintDec")->trigger();
  ASSERT_EQ(boxes.size(), 2);
  EXPECT_TRUE(boxes[1].startsWith("PDFファイルを書き込めませんでした。")) << boxes[1].toStdString();
  EXPECT_TRUE(printed.ops.empty());
}

}  // namespace

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
  EXPECT_EQ(messages[0],
            "HTMLファイルを保存できませんでした。\r\nファイルまたはフォルダーが見つかりません。");
  EXPECT_EQ(icons, QList<QMessageBox::Icon>{QMessageBox::Warning});
}

#include "app/commondialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "app/messagebox.h"
#include "support/printers.h"

using tv::CommonDialog;

namespace {

const QString kDeck = "すべてのファイル (*.*)|*.*|タルヴィクス ファイル (*.tvf)|*.tvf|";
const QString kHtml = "すべてのファイル (*.*)|*.*|Ｗｅｂ ファイル (*.html)|*.html|";
const QString kText = "テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|";
const QString kPdf = "PDFファイル (*.pdf)|*.pdf|";

}  // namespace

TEST(CommonDialog, EachKindOffersTheLastFolderAndBaseNameWithItsOwnExtensionAndFilter) {
  EXPECT_EQ(CommonDialog::toolkitFilters(kDeck),
            QStringList({"すべてのファイル (*)", "タルヴィクス ファイル (*.tvf)"}));
  EXPECT_EQ(CommonDialog::toolkitFilters("Pages|*.htm;*.html|"), QStringList{"Pages (*.htm *.html)"});

  CommonDialog dialog;
  QStringList seen;  // mode, filter shown first, name offered
  std::optional<QString> answer;
  dialog.setChooser([&](const CommonDialog::Request& r) {
    seen << (r.mode == CommonDialog::Mode::Save ? "save " : "open ") + r.selectedFilter + " " + r.fileName;
    return answer;
  });
  auto save = [&](const QString& filter, int index, std::optional<QString> chosen) {
    answer = chosen;
    return dialog.showSave(filter, index);
  };
  EXPECT_EQ(save(kDeck, 2, "/d/zoo.tvf"), "/d/zoo.tvf");
  save(kHtml, 2, {});  // cancelled: the name stays
  save(kText, 1, {});
  save(kPdf, 1, "/p/token-goblin.pdf");
  save(kDeck, 2, "/d/赤単バーン");  // typed without extension: used as typed, and offered so again
  answer.reset();
  dialog.showOpen(kDeck, 2);
  save(kText, 1, {});
  save(kHtml, 2, "/d/赤単バーン.html");
  dialog.showOpen(kDeck, 2);
  EXPECT_EQ(seen,
            QStringList({"save タルヴィクス ファイル (*.tvf) ", "save Ｗｅｂ ファイル (*.html) /d/zoo.html",
                         "save テキスト ファイル (*.txt) /d/zoo.txt", "save PDFファイル (*.pdf) /d/zoo.pdf",
                         "save タルヴィクス ファイル (*.tvf) /p/token-goblin.tvf",
                         "open タルヴィクス ファイル (*.tvf) /d/赤単バーン",
                         "save テキスト ファイル (*.txt) /d/赤単バーン.txt",
                         "save Ｗｅｂ ファイル (*.html) /d/赤単バーン.html",
                         "open タルヴィクス ファイル (*.tvf) /d/赤単バーン"}));
}

TEST(CommonDialog, ReplacingAFileAsksFirstAndNoReplacesNothing) {
  QTemporaryDir dir;
  const QString existing = dir.filePath("zoo.tvf");
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();

  CommonDialog dialog;
  std::optional<QString> chosen = existing;
  dialog.setChooser([&](const CommonDialog::Request&) { return chosen; });
  QList<tv::MessageBoxRequest> asked;
  QMessageBox::StandardButton reply = QMessageBox::No;
  dialog.setMessageBox([&](const tv::MessageBoxRequest& r) {
    asked << r;
    return reply;
  });
  EXPECT_EQ(dialog.showSave(kDeck, 2), std::nullopt);
  ASSERT_EQ(asked.size(), 1);
  EXPECT_EQ(asked[0].text, "「zoo.tvf」は既に存在します。\r\n置き換えますか？");
  EXPECT_EQ(asked[0].buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(asked[0].defaultButton, QMessageBox::No);
  reply = QMessageBox::Yes;
  EXPECT_EQ(dialog.showSave(kDeck, 2), existing);
  EXPECT_EQ(dialog.showOpen(kDeck, 2), existing);  // opening replaces nothing
  chosen = dir.filePath("new.tvf");
  EXPECT_EQ(dialog.showSave(kDeck, 2), chosen);
  EXPECT_EQ(asked.size(), 2);
}

TEST(CommonDialog, QtsOwnDialogAndContextMenusSpeakJapanese) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
  QFile deck(dir.filePath("zoo.tvf"));
  ASSERT_TRUE(deck.open(QIODevice::WriteOnly) && deck.write("abc") == 3);
  deck.close();
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_TRUE(d);
    seen << d->windowTitle();
    for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
      seen << d->findChild<QLabel*>(label)->text();
    for (QAbstractButton* b : d->findChild<QDialogButtonBox*>("buttonBox")->buttons()) seen << b->text();
    // The lines of the folder and the file, once the dialog has read them.
    const QAbstractItemView* view = d->findChild<QAbstractItemView*>("treeView");
    auto line = [&](const QString& name) {
      QElapsedTimer waited;
      waited.start();
      QModelIndexList found;
      while (found.isEmpty() && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        found = view->model()->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole, name, 1,
                                     Qt::MatchExactly);
      }
      return found.value(0);
    };
    const QModelIndex sub = line("sub"), file = line("zoo.tvf");
    seen << sub.siblingAtColumn(2).data().toString() << sub.siblingAtColumn(3).data().toString()
         << file.siblingAtColumn(1).data().toString();
    d->reject();
  });
  CommonDialog dialog;
  dialog.setChooser([&](const CommonDialog::Request&) { return std::optional(dir.filePath("zoo.tvf")); });
  dialog.showOpen(kDeck, 2);
  dialog.setChooser({});
  EXPECT_EQ(dialog.showSave(kDeck, 2), std::nullopt);
  const QString modified = QLocale(QLocale::Japanese)
                               .toString(QFileInfo(dir.filePath("sub")).lastModified(), QLocale::ShortFormat);
  EXPECT_EQ(seen, QStringList({"名前を付けて保存", "アドレス:", "ファイル名(&N):", "ファイルの種類:",
                               "保存(&S)", "キャンセル", "フォルダー", modified, "3 バイト"}));

  QLineEdit edit;
  const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList items;
  for (const QAction* a : menu->actions())
    if (!a->isSeparator()) items << a->text().section(u'\t', 0, 0);
  EXPECT_EQ(items, QStringList({"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)",
                                "削除", "すべてを選択"}));
}

TEST(MessageBox, AsksInJapaneseUnderTheProgramsTitle) {
  QStringList seen;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_TRUE(box);
    seen << box->windowTitle() << box->text();
    for (QAbstractButton* b : box->buttons()) seen << b->text();
    box->defaultButton()->click();
  });
  const auto pressed =
      tv::execMessageBox({nullptr, QMessageBox::Question, "保存しますか？",
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No});
  EXPECT_EQ(pressed, QMessageBox::No);
  seen.sort();
  EXPECT_EQ(seen, QStringList({"Talvik's", "いいえ", "はい", "キャンセル", "保存しますか？"}));
}

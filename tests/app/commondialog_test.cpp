#include "app/commondialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/messagebox.h"
#include "support/printers.h"

using tv::CommonDialog;

TEST(CommonDialog, TranslatesFiltersAndOffersTheLastChosenName) {
  const QString deckFilter = "すべてのファイル (*.*)|*.*|タルヴィクス ファイル (*.tvf)|*.tvf|";
  EXPECT_EQ(CommonDialog::toolkitFilters(deckFilter),
            QStringList({"すべてのファイル (*)", "タルヴィクス ファイル (*.tvf)"}));
  EXPECT_EQ(CommonDialog::toolkitFilters("Pages|*.htm;*.html|"), QStringList{"Pages (*.htm *.html)"});

  CommonDialog dialog;
  std::vector<CommonDialog::Request> asked;
  std::optional<QString> answer = "/decks/a.tvf";
  dialog.setChooser([&](const CommonDialog::Request& r) {
    asked.push_back(r);
    return answer;
  });
  EXPECT_EQ(dialog.showSave(deckFilter, 2), "/decks/a.tvf");
  answer.reset();  // cancel keeps the name
  EXPECT_EQ(dialog.showOpen(deckFilter, 2), std::nullopt);
  answer = "/decks/b.html";
  EXPECT_EQ(dialog.showSave("HTML (*.html)|*.html|", 1), "/decks/b.html");
  QStringList seen;  // mode, filter shown first, name offered
  for (const auto& r : asked)
    seen << (r.mode == CommonDialog::Mode::Save ? "save " : "open ") + r.selectedFilter + " " + r.fileName;
  EXPECT_EQ(seen, QStringList({"save タルヴィクス ファイル (*.tvf) ",
                               "open タルヴィクス ファイル (*.tvf) /decks/a.tvf",
                               "save HTML (*.html) /decks/a.tvf"}));
  EXPECT_EQ(dialog.fileName(), "/decks/b.html");
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

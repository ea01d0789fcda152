#include "app/tokentab.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

#include "app/controls.h"
#include "app/guarded.h"
#include "browse/windowdata.h"
#include "output/sheets.h"
#include "output/tokens.h"

namespace tv {

TokenTab::TokenTab(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  QWidget* page = this;
  Label5 = named(new QLabel(QStringLiteral("トークンリスト"), page), "Label5");
  place(Label5, 360, 480, 1575, 255);
  lst_TokenList = newList(page, "lst_TokenList");
  place(lst_TokenList, 360, 720, 3135, 2580, {0, 0, 0.5, 1});
  Label4 = named(new QLabel(QStringLiteral("トークン内容"), page), "Label4");
  place(Label4, 3840, 480, 1575, 255, moving(0.5, 0));
  txt_TokenText = newTextBox(page, "txt_TokenText", nullptr);
  place(txt_TokenText, 3840, 720, 2895, 2580, {0.5, 0, 1, 1});
  cmd_TPrint = named(new QPushButton(QStringLiteral("印刷(&P)"), page), "cmd_TPrint");
  place(cmd_TPrint, 5520, 3600, 1215, 375, moving(1, 1));
  // A choice is a change of selection: a click on the line that the list
  // marked on getting the focus selects it without moving the current line.
  connect(lst_TokenList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TokenTab::lst_TokenList_Click);
  connect(cmd_TPrint, &QPushButton::clicked, this, &TokenTab::cmd_TPrint_Click);
}

void TokenTab::load() {
  {
    const QSignalBlocker block(lst_TokenList);
    lst_TokenList->clear();
    guarded(this, [&] { lst_TokenList->addItems(readTokenNames(*ctx_.gCardDb)); });
    lst_TokenList->setCurrentRow(-1);
  }
  txt_TokenText->setPlainText(kTokenPrompt);
  ctx_.gCurrentToken.NameN.clear();
}

void TokenTab::lst_TokenList_Click() {
  const int row = lst_TokenList->currentRow();
  if (!lst_TokenList->isSelected(row)) return;
  guarded(this, [&] {
    std::optional<TokenChoice> choice;
    try {
      choice = ChooseToken(*ctx_.gCardDb, row);
    } catch (const DbError&) {
      // As with cards: 印刷 must not print the token chosen before.
      ctx_.gCurrentToken = {};
      txt_TokenText->clear();
      throw;
    }
    if (choice) {
      txt_TokenText->setPlainText(choice->text);
      ctx_.gCurrentToken = choice->token;
    }
  });
}

void TokenTab::cmd_TPrint_Click() {
  if (ctx_.gCurrentToken.NameN.isEmpty()) {
    printUi_.exclaim(QStringLiteral("トークンを選択してください。"));
    return;
  }
  runPrintJob(printUi_, [&](PrintJob& job) { PrintSheet(job, tokenCopyLines(ctx_.gCurrentToken)); });
}

}  // namespace tv

// The token tab: the token list, the chosen token's text and its printing.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/listbox.h"
#include "app/printing.h"
#include "session/context.h"

namespace tv {

class TokenTab : public QWidget {
  Q_OBJECT
 public:
  explicit TokenTab(AppContext& ctx, QWidget* parent = nullptr);

  // The load event's part for this tab: the token names, none chosen.
  void load();

  // Shows the chosen token and makes it the current token.
  void lst_TokenList_Click();
  // Four of the current token to a page; also the menu's トークン印刷.
  void cmd_TPrint_Click();

  // Where a sheet goes when there is no printer.
  void setPrintUi(PrintUi ui) { printUi_ = std::move(ui); }

 private:
  AppContext& ctx_;
  PrintUi printUi_;

  QLabel* Label5;
  ListBox* lst_TokenList;
  QLabel* Label4;
  QPlainTextEdit* txt_TokenText;
  QPushButton* cmd_TPrint;
};

}  // namespace tv

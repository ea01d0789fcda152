// The dialogs of text decks: a deck list pasted or read from a file, checked
// line by line before it replaces the deck; and the deck as text, copied to
// the clipboard or saved as a .txt file.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "app/commondialog.h"
#include "app/listbox.h"
#include "app/messagebox.h"
#include "deck/decktext.h"
#include "session/context.h"

namespace tv {

inline const QString kTextFileFilter =
    QStringLiteral("テキスト ファイル (*.txt)|*.txt|すべてのファイル (*.*)|*.*|");

// A text box that asks before a paste or a drop goes in.
class DeckTextEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  std::function<bool(const QString&)> accepts;  // the text to go in

 protected:
  void insertFromMimeData(const QMimeData* source) override;
};

class DeckTextImportDialog : public QDialog {
  Q_OBJECT
 public:
  // The text area starts with the clipboard's text, when it holds text.
  DeckTextImportDialog(AppContext& ctx, CommonDialog& files, MessageBoxFunction messageBox,
                       QWidget* parent = nullptr);

  // What importing the text as it stands gives.
  const DeckTextImport& result() const { return result_; }

  void cmd_ReadFile_Click();
  // The text area takes the file's text; false, after a message, when the
  // file cannot be read as text.
  bool readFile(const QString& path);
  // Reads the text again and lists the lines it cannot import.
  void refresh();

 private:
  // False, with a message, for a text the text box would take too long over
  // (the box's own text counted when it is added to it).
  bool acceptable(const QString& text, bool added);

  AppContext& ctx_;
  CommonDialog& files_;
  MessageBoxFunction messageBox_;
  DeckTextImport result_;
  QTimer typing_;

  DeckTextEdit* txt_DeckText;
  QPushButton* cmd_ReadFile;
  QLabel* lbl_Problems;
  ListBox* lst_Problems;
  QPushButton *cmd_Import, *cmd_Cancel;
};

class DeckTextExportDialog : public QDialog {
  Q_OBJECT
 public:
  DeckTextExportDialog(const QString& text, CommonDialog& files, MessageBoxFunction messageBox,
                       QWidget* parent = nullptr);

  void cmd_Copy_Click();
  void cmd_SaveFile_Click();

 private:
  QString text_;
  CommonDialog& files_;
  MessageBoxFunction messageBox_;

  QPlainTextEdit* txt_DeckText;
  QPushButton *cmd_Copy, *cmd_SaveFile, *cmd_Close;
};

}  // namespace tv

// The window side of making and updating the card database (update/): the
// progress dialog over the import, and the first start's offer.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/commondialog.h"
#include "app/messagebox.h"
#include "update/importjob.h"

namespace tv {

// A bar that follows the import set by set, and キャンセル. It closes when
// the import has ended; a cancel waits for the import to stop.
class CardImportDialog : public QDialog {
  Q_OBJECT
 public:
  CardImportDialog(const QString& title, const CardDataFiles& files, const QString& target,
                   QWidget* parent = nullptr);

  // Runs the import and returns its outcome.
  ImportOutcome run();
  void reject() override;

 private:
  CardImportJob job_;
  QLabel* lbl_Progress;
  QProgressBar* prg_Import;
  QPushButton* cmd_Cancel;
};

// ファイル → カードデータの更新 up to the new connection: the MTGJSON file
// and, if the user wants, WHISPER's (else the installed one, where there is
// one) chosen in `dialog`, the import under the progress dialog, the
// replacement. Nothing when cancelled or failed (the reason shown); else the
// new connection, with `done` the words that say so.
std::unique_ptr<Database> updateCardDatabase(QWidget* parent, CommonDialog& dialog,
                                             const MessageBoxFunction& messageBox, Database& current,
                                             const QString& databasePath, QString* done);

// The first start of an installed program with no TV.ini anywhere: asks
// whether to make the card database from the card data installed with the
// program, makes it under the progress dialog and writes the user's TV.ini.
// True when the program can start again with it.
bool offerCardDatabase(const QString& appPath, const MessageBoxFunction& messageBox = execMessageBox);

}  // namespace tv

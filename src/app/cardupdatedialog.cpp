#include "app/cardupdatedialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QVBoxLayout>

#include "app/controls.h"
#include "core/userfiles.h"

namespace tv {

CardImportDialog::CardImportDialog(const QString& title, const CardDataFiles& files, const QString& target,
                                   QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), job_(files, target) {
  setObjectName(QStringLiteral("CardImportDialog"));
  setWindowTitle(title);
  setAccessibleName(title);
  setModal(true);
  lbl_Progress = named(new QLabel(QStringLiteral("カードデータを読み込んでいます…"), this), "lbl_Progress");
  prg_Import = named(new QProgressBar(this), "prg_Import");
  prg_Import->setRange(0, 1000);
  prg_Import->setValue(0);
  prg_Import->setAccessibleName(QStringLiteral("読み込みの進み具合"));
  cmd_Cancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "cmd_Cancel");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbl_Progress);
  layout->addWidget(prg_Import);
  layout->addWidget(cmd_Cancel, 0, Qt::AlignRight);
  setMinimumWidth(fontMetrics().averageCharWidth() * 60);

  connect(&job_, &CardImportJob::progressed, this, [this](const QString& text, int permille) {
    if (!cmd_Cancel->isEnabled()) return;
    lbl_Progress->setText(text);
    prg_Import->setValue(permille);
  });
  connect(&job_, &CardImportJob::finished, this, &QDialog::accept);
  connect(cmd_Cancel, &QPushButton::clicked, this, &CardImportDialog::reject);
}

ImportOutcome CardImportDialog::run() {
  job_.start();
  exec();
  return job_.outcome();
}

void CardImportDialog::reject() {
  // Closing is cancelling: the dialog stays until the import has stopped.
  job_.cancel();
  cmd_Cancel->setEnabled(false);
  lbl_Progress->setText(QStringLiteral("キャンセルしています…"));
}

bool offerCardDatabase(const QString& appPath, const MessageBoxFunction& messageBox) {
  const QString data = installedCardDataFolder(appPath);
  if (data.isEmpty()) return false;
  if (messageBox({nullptr, QMessageBox::Question,
                  QStringLiteral("設定ファイル（TV.ini）とカードデータベースがありません。\r\n"
                                 "付属のカードデータからカードデータベースを作成しますか？"),
                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}) != QMessageBox::Yes)
    return false;

  const QString name = QStringLiteral("cards.db");
  const QString target = userDatabasePath(name);
  const auto failed = [&](const QString& reason) {
    messageBox({nullptr, QMessageBox::Warning,
                QStringLiteral("カードデータベースを作成できませんでした。\r\n") + reason});
    return false;
  };
  if (!QDir().mkpath(userDataFolder()))
    return failed(QStringLiteral("%1 を作成できません。").arg(QDir::toNativeSeparators(userDataFolder())));
  CardImportDialog dialog(QStringLiteral("カードデータベースの作成"), installedCardData(data), target);
  const ImportOutcome imported = dialog.run();
  if (imported.status == ImportOutcome::Cancelled) return false;
  if (imported.status == ImportOutcome::Failed) return failed(imported.error);
  const ReplaceOutcome placed = replaceCardDatabase(nullptr, target, imported.file);
  if (!placed.db) return failed(placed.error);
  QString error;
  if (!writeUserIni(name, &error)) return failed(error);
  return true;
}

}  // namespace tv

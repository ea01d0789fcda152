#include "app/cardupdatedialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
  ImportOutcome outcome = job_.outcome();
  // キャンセル pressed as the import ended: the user's word counts.
  if (outcome.status == ImportOutcome::Done && !cmd_Cancel->isEnabled()) {
    QFile::remove(outcome.file);
    outcome = ImportOutcome();
    outcome.status = ImportOutcome::Cancelled;
  }
  return outcome;
}

void CardImportDialog::reject() {
  // Closing is cancelling: the dialog stays until the import has stopped.
  job_.cancel();
  cmd_Cancel->setEnabled(false);
  lbl_Progress->setText(QStringLiteral("キャンセルしています…"));
}

std::unique_ptr<Database> updateCardDatabase(QWidget* parent, CommonDialog& dialog,
                                             const MessageBoxFunction& messageBox, Database& current,
                                             const QString& databasePath, QString* done) {
  const auto ask = [&](QMessageBox::Icon icon, const QString& text,
                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) {
    return messageBox({parent, icon, text, buttons, defaultButton});
  };
  CardDataFiles files;
  const std::optional<QString> mtgjson = dialog.showOpen(
      QStringLiteral("MTGJSON AllPrintings (*.json;*.json.gz;*.json.xz)|*.json;*.json.gz;*.json.xz|"
                     "すべてのファイル (*.*)|*.*|"),
      1);
  if (!mtgjson) return nullptr;
  files.mtgjson = *mtgjson;
  const QString installed = installedCardDataFolder(QCoreApplication::applicationDirPath());
  if (!installed.isEmpty()) files.whisper = installedCardData(installed).whisper;
  const QString question = installed.isEmpty()
                               ? QStringLiteral("日本語テキスト（WHISPER）のファイルも読み込みますか？")
                               : QStringLiteral(
                                     "日本語テキスト（WHISPER）のファイルを選びますか？\r\n"
                                     "「いいえ」を選ぶと、付属の日本語テキストを使います。");
  if (ask(QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
      QMessageBox::Yes) {
    const std::optional<QString> whisper = dialog.showOpen(
        QStringLiteral(
            "WHISPER (*.xml;*.xml.gz;*.xml.xz)|*.xml;*.xml.gz;*.xml.xz|すべてのファイル (*.*)|*.*|"),
        1);
    if (!whisper) return nullptr;
    files.whisper = *whisper;
  }

  const QString failed = QStringLiteral("カードデータを更新できませんでした。\r\n");
  const ImportOutcome imported =
      CardImportDialog(QStringLiteral("カードデータの更新"), files, databasePath, parent).run();
  if (imported.status == ImportOutcome::Cancelled) return nullptr;
  if (imported.status == ImportOutcome::Failed) {
    ask(QMessageBox::Warning, failed + imported.error);
    return nullptr;
  }
  ReplaceOutcome placed = replaceCardDatabase(&current, databasePath, imported.file);
  if (!placed.db) {
    ask(QMessageBox::Warning, failed + placed.error);
    return nullptr;
  }
  *done = QStringLiteral("カードデータを更新しました。\r\n%1 エキスパンション、%2 枚")
              .arg(imported.sets)
              .arg(imported.cards);
  return std::move(placed.db);
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

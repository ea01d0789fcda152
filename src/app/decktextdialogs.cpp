#include "app/decktextdialogs.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QVBoxLayout>

#include "app/controls.h"
#include "app/guarded.h"
#include "text/atomicfile.h"

namespace tv {
namespace {

// Long enough that a paste or a burst of typing is read once.
constexpr int kRecheckPause = 300;  // ms

QFont fixedPitch() {
  QFont font(QStringLiteral("ＭＳ ゴシック"), 10);
  font.setStyleStrategy(QFont::PreferNoShaping);  // a fixed-pitch list needs none; long lines lay out faster
  return font;
}

// The problems as list lines, made when shown: a list of half a million
// unreadable lines fills at once, and a long line shows its start.
class ProblemLines : public LineSource {
 public:
  explicit ProblemLines(QList<DeckTextProblem> problems) : problems_(std::move(problems)) {}
  qsizetype count() const override { return problems_.size(); }
  QString line(qsizetype row) const override {
    constexpr qsizetype kShown = 100;
    const DeckTextProblem& p = problems_[row];
    QStringView text = QStringView(p.text).trimmed();
    const QString shown = text.size() > kShown ? text.first(kShown).toString() + u'…' : text.toString();
    return QStringLiteral("%1 行目: %2 … %3").arg(QString::number(p.line), shown, p.reason);
  }

 private:
  QList<DeckTextProblem> problems_;
};

}  // namespace

void DeckTextEdit::insertFromMimeData(const QMimeData* source) {
  if (source->hasText() && accepts && !accepts(source->text())) return;
  QPlainTextEdit::insertFromMimeData(source);
}

DeckTextImportDialog::DeckTextImportDialog(AppContext& ctx, CommonDialog& files,
                                           MessageBoxFunction messageBox, QWidget* parent)
    : QDialog(parent), ctx_(ctx), files_(files), messageBox_(std::move(messageBox)) {
  setObjectName(QStringLiteral("DeckTextImportDialog"));
  setWindowTitle(QStringLiteral("テキストから読み込み"));
  resize(620, 560);

  auto* hint = new QLabel(
      QStringLiteral("デッキリストを貼り付けてください（例: 4 Lightning Bolt、4 極楽鳥、SB: 2 Duress）。"),
      this);
  hint->setWordWrap(true);
  txt_DeckText = named(new DeckTextEdit(this), "txt_DeckText");
  txt_DeckText->setAccessibleName(QStringLiteral("デッキリスト"));
  txt_DeckText->setFont(fixedPitch());
  txt_DeckText->setLineWrapMode(QPlainTextEdit::NoWrap);
  cmd_ReadFile = named(new QPushButton(QStringLiteral("ファイルから読む(&F)..."), this), "cmd_ReadFile");
  lbl_Problems = named(new QLabel(this), "lbl_Problems");
  lst_Problems = named(new ListBox(this), "lst_Problems");
  lst_Problems->setAccessibleName(QStringLiteral("読み込めない行"));
  lst_Problems->setMaximumHeight(150);
  cmd_Import = named(new QPushButton(QStringLiteral("読み込み(&I)"), this), "cmd_Import");
  cmd_Cancel = named(new QPushButton(QStringLiteral("キャンセル"), this), "cmd_Cancel");
  cmd_Import->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmd_ReadFile);
  buttons->addStretch();
  buttons->addWidget(cmd_Import);
  buttons->addWidget(cmd_Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint);
  layout->addWidget(txt_DeckText, 1);
  layout->addWidget(lbl_Problems);
  layout->addWidget(lst_Problems);
  layout->addLayout(buttons);

  typing_.setSingleShot(true);
  typing_.setInterval(kRecheckPause);
  connect(&typing_, &QTimer::timeout, this, &DeckTextImportDialog::refresh);
  connect(txt_DeckText, &QPlainTextEdit::textChanged, this, [this] { typing_.start(); });
  txt_DeckText->accepts = [this](const QString& text) { return acceptable(text, true); };
  connect(cmd_ReadFile, &QPushButton::clicked, this, &DeckTextImportDialog::cmd_ReadFile_Click);
  connect(cmd_Import, &QPushButton::clicked, this, [this] {
    refresh();  // what is imported is what the text says now
    if (!result_.deck.main.isEmpty() || !result_.deck.side.isEmpty()) accept();
  });
  connect(cmd_Cancel, &QPushButton::clicked, this, &QDialog::reject);

  if (const QClipboard* clipboard = QGuiApplication::clipboard())
    if (const QString text = clipboard->text(); acceptable(text, false)) txt_DeckText->setPlainText(text);
  refresh();
}

bool DeckTextImportDialog::acceptable(const QString& text, bool added) {
  const std::optional<QString> refusal = added ? deckTextRefusal(text, txt_DeckText->blockCount() - 1,
                                                                 txt_DeckText->toPlainText().toUtf8().size())
                                               : deckTextRefusal(text);
  if (!refusal) return true;
  messageBox_({this, QMessageBox::Warning, QStringLiteral("このテキストは読み込めません。\r\n") + *refusal,
               QMessageBox::Ok, QMessageBox::NoButton});
  return false;
}

void DeckTextImportDialog::refresh() {
  typing_.stop();
  guarded(this, [&] { result_ = importDeckText(txt_DeckText->toPlainText(), *cardNames(ctx_)); });
  int skipped = 0;
  for (const DeckTextProblem& p : result_.problems)
    if (!p.imported) ++skipped;
  lst_Problems->setLines(Lines(std::make_shared<ProblemLines>(result_.problems)));
  qint64 copies = 0;
  for (const auto* half : {&result_.deck.main, &result_.deck.side})
    for (const DeckEntry& e : *half) copies += e.CardMaisu;
  QString summary = QStringLiteral("メイン %1 行、サイド %2 行、計 %3 枚を読み込みます。")
                        .arg(result_.deck.main.size())
                        .arg(result_.deck.side.size())
                        .arg(copies);
  if (skipped > 0)
    summary += QStringLiteral("読めない %1 行は飛ばします（直すこともできます）。").arg(skipped);
  lbl_Problems->setText(summary);
  lst_Problems->setVisible(!result_.problems.isEmpty());
  cmd_Import->setEnabled(copies > 0);
}

void DeckTextImportDialog::cmd_ReadFile_Click() {
  if (const std::optional<QString> path = files_.showOpen(kTextFileFilter, 1)) readFile(*path);
}

bool DeckTextImportDialog::readFile(const QString& path) {
  const DeckTextFile file = readDeckTextFile(path);
  if (!file.text) {
    messageBox_({this, QMessageBox::Warning, file.error, QMessageBox::Ok, QMessageBox::NoButton});
    return false;
  }
  if (!acceptable(*file.text, false)) return false;
  txt_DeckText->setPlainText(*file.text);
  refresh();
  return true;
}

DeckTextExportDialog::DeckTextExportDialog(const QString& text, CommonDialog& files,
                                           MessageBoxFunction messageBox, QWidget* parent)
    : QDialog(parent), text_(text), files_(files), messageBox_(std::move(messageBox)) {
  setObjectName(QStringLiteral("DeckTextExportDialog"));
  setWindowTitle(QStringLiteral("テキストで保存"));
  resize(520, 520);

  txt_DeckText = named(new QPlainTextEdit(text_, this), "txt_DeckText");
  txt_DeckText->setAccessibleName(QStringLiteral("デッキリスト"));
  txt_DeckText->setReadOnly(true);
  txt_DeckText->setFont(fixedPitch());
  txt_DeckText->setLineWrapMode(QPlainTextEdit::NoWrap);
  cmd_Copy = named(new QPushButton(QStringLiteral("クリップボードにコピー(&C)"), this), "cmd_Copy");
  cmd_SaveFile = named(new QPushButton(QStringLiteral("ファイルに保存(&S)..."), this), "cmd_SaveFile");
  cmd_Close = named(new QPushButton(QStringLiteral("閉じる"), this), "cmd_Close");

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmd_Copy);
  buttons->addWidget(cmd_SaveFile);
  buttons->addStretch();
  buttons->addWidget(cmd_Close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txt_DeckText, 1);
  layout->addLayout(buttons);

  connect(cmd_Copy, &QPushButton::clicked, this, &DeckTextExportDialog::cmd_Copy_Click);
  connect(cmd_SaveFile, &QPushButton::clicked, this, &DeckTextExportDialog::cmd_SaveFile_Click);
  connect(cmd_Close, &QPushButton::clicked, this, &QDialog::accept);
}

void DeckTextExportDialog::cmd_Copy_Click() {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(text_);
}

void DeckTextExportDialog::cmd_SaveFile_Click() {
  const std::optional<QString> path = files_.showSave(kTextFileFilter, 1);
  if (!path) return;
  QString error;
  if (!writeFileAtomically(*path, text_.toUtf8(), &error))
    messageBox_({this, QMessageBox::Warning,
                 QStringLiteral("テキストファイルを保存できませんでした。\r\n") + error, QMessageBox::Ok,
                 QMessageBox::NoButton});
}

}  // namespace tv

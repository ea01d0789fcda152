#include "app/commondialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace tv {

CommonDialog::CommonDialog(QWidget* parent) : parent_(parent) {}

QStringList CommonDialog::toolkitFilters(const QString& filter) {
  static const QRegularExpression trailingPatterns(QStringLiteral(R"(\s*\([^()]*\)\s*$)"));
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
      patterns << (p.trimmed() == u"*.*" ? QStringLiteral("*") : p.trimmed());
    QString description = parts[i];
    description.remove(trailingPatterns);
    out << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
  }
  return out;
}

std::optional<QString> CommonDialog::showSave(const QString& filter, int filterIndex) {
  return show(Mode::Save, filter, filterIndex);
}

std::optional<QString> CommonDialog::showOpen(const QString& filter, int filterIndex) {
  return show(Mode::Open, filter, filterIndex);
}

std::optional<QString> CommonDialog::show(Mode mode, const QString& filter, int filterIndex) {
  Request request{mode, toolkitFilters(filter), {}, fileName_};
  if (filterIndex >= 1 && filterIndex <= request.filters.size())
    request.selectedFilter = request.filters[filterIndex - 1];
  std::optional<QString> chosen = chooser_ ? chooser_(request) : runFileDialog(request);
  if (chosen && chosen->isEmpty()) chosen.reset();
  if (chosen) fileName_ = *chosen;
  return chosen;
}

std::optional<QString> CommonDialog::runFileDialog(const Request& request) {
  QFileDialog dialog(parent_);
  const bool save = request.mode == Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Replacing a file asks nothing, and a name typed without extension stays as typed.
  dialog.setOptions(QFileDialog::DontConfirmOverwrite);
  dialog.setNameFilters(request.filters);
  if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace tv

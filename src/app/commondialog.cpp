#include "app/commondialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QRegularExpression>

namespace tv {

namespace {

// The extensions of the program's kinds of file: a name ending in one of them
// has its base name before it.
const QStringList kKindExtensions = {QStringLiteral("tvf"), QStringLiteral("html"), QStringLiteral("htm"),
                                     QStringLiteral("txt"), QStringLiteral("pdf")};

QString kindExtension(const QString& path) {
  const QString suffix = QFileInfo(path).suffix();
  return kKindExtensions.contains(suffix, Qt::CaseInsensitive) ? suffix : QString();
}

QString baseName(const QString& path) {
  const QString extension = kindExtension(path);
  return extension.isEmpty() ? path : path.chopped(extension.size() + 1);
}

// The extension of the preselected filter's first pattern ("*.tvf" gives
// "tvf"); nothing for a filter that takes any name.
QString filterExtension(const QString& filter, int filterIndex) {
  static const QRegularExpression dotted(QStringLiteral(R"(^\*\.(\w+)$)"));
  const QStringList parts = filter.split(u'|');
  const qsizetype at = 2 * qsizetype(filterIndex) - 1;
  if (filterIndex < 1 || at >= parts.size()) return {};
  return dotted.match(parts[at].section(u';', 0, 0).trimmed()).captured(1);
}

// Qt's dialog names folders and writes sizes and dates in the system's
// language, whatever its catalogue says; these columns speak Japanese too.
class JapaneseColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (files && role == Qt::DisplayRole) {
      const QModelIndex source = mapToSource(index);
      const bool folder = files->isDir(source);
      if (index.column() == kSize && !folder) return QLocale().formattedDataSize(files->size(source));
      if (index.column() == kType && folder)
        return files->fileInfo(source).isRoot() ? QStringLiteral("ドライブ") : QStringLiteral("フォルダー");
      if (index.column() == kModified)
        return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
    }
    return QIdentityProxyModel::data(index, role);
  }

 private:
  static constexpr int kSize = 1, kType = 2, kModified = 3;  // QFileSystemModel's columns
};

}  // namespace

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

std::optional<QString> CommonDialog::showSave(const QString& filter, int filterIndex,
                                              const QString& offered) {
  return show(Mode::Save, filter, filterIndex, offered);
}

std::optional<QString> CommonDialog::showOpen(const QString& filter, int filterIndex) {
  return show(Mode::Open, filter, filterIndex);
}

QString CommonDialog::offeredName(const QString& extension) const {
  if (extension.isEmpty() || fileName_.isEmpty()) return fileName_;
  const QString base = baseName(fileName_);
  // This kind's own last name comes back as it was chosen (typed without
  // extension, say), unless it carries another kind's extension.
  const QString own = lastOfKind_.value(extension);
  const QString ownExtension = kindExtension(own);
  if (!own.isEmpty() && baseName(own) == base &&
      (ownExtension.isEmpty() || ownExtension.compare(extension, Qt::CaseInsensitive) == 0))
    return own;
  return base + u'.' + extension;
}

std::optional<QString> CommonDialog::show(Mode mode, const QString& filter, int filterIndex,
                                          const QString& offered) {
  const QString extension = filterExtension(filter, filterIndex);
  Request request{mode, toolkitFilters(filter), {}, offeredName(extension), folder_};
  if (!offered.isEmpty()) {
    const bool folder = QFileInfo(offered).isDir();
    request.fileName = folder ? QString() : offered;
    if (folder) request.folder = offered;
  }
  if (filterIndex >= 1 && filterIndex <= request.filters.size())
    request.selectedFilter = request.filters[filterIndex - 1];
  std::optional<QString> chosen = chooser_ ? chooser_(request) : runFileDialog(request);
  if (!chosen || chosen->isEmpty()) return std::nullopt;
  fileName_ = *chosen;
  if (!extension.isEmpty()) lastOfKind_[extension] = *chosen;
  if (mode == Mode::Save && !mayReplace(*chosen)) return std::nullopt;
  return chosen;
}

bool CommonDialog::mayReplace(const QString& path) {
  const QFileInfo file(path);
  // A folder is no file to replace: the save itself says why it fails.
  if ((!file.exists() && !file.isSymLink()) || file.isDir()) return true;
  const QString question =
      QStringLiteral("「") + file.fileName() + QStringLiteral("」は既に存在します。\r\n置き換えますか？");
  return messageBox_({parent_, QMessageBox::Question, question, QMessageBox::Yes | QMessageBox::No,
                      QMessageBox::No}) == QMessageBox::Yes;
}

std::optional<QString> CommonDialog::runFileDialog(const Request& request) {
  QFileDialog dialog(parent_);
  const bool save = request.mode == Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Qt's own dialog, so that it speaks the program's language; replacing a
  // file is asked by mayReplace, and a name typed without extension stays as typed.
  dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
  dialog.setProxyModel(new JapaneseColumns(&dialog));
  dialog.setNameFilters(request.filters);
  if (!request.selectedFilter.isEmpty()) dialog.selectNameFilter(request.selectedFilter);
  if (!request.fileName.isEmpty())
    dialog.selectFile(request.fileName);
  else if (!request.folder.isEmpty())
    dialog.setDirectory(request.folder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace tv

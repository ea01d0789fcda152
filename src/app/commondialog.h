// The one file dialog of the main window, shared by the open, save, HTML,
// text and PDF commands. Each kind of file (told by the extension of the
// filter preselected) offers the folder and base name last chosen in any of
// them with its own extension, and a save never replaces a file unasked.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/messagebox.h"

class QWidget;

namespace tv {

class CommonDialog {
 public:
  enum class Mode { Open, Save };

  // What the dialog is asked: the filters in the toolkit's syntax, the one
  // preselected, the path offered.
  struct Request {
    Mode mode;
    QStringList filters;
    QString selectedFilter;
    QString fileName;
    QString folder;  // where the dialog starts when it offers no name
  };
  // Shows the dialog; the chosen full path, or nothing on cancel.
  using Chooser = std::function<std::optional<QString>(const Request&)>;

  explicit CommonDialog(QWidget* parent = nullptr);

  // `filter` as "description|pattern|description|pattern|" (patterns split
  // by ';'), `filterIndex` 1-based. Nothing on cancel. A save onto an
  // existing file asks first; No gives nothing.
  std::optional<QString> showSave(const QString& filter, int filterIndex);
  std::optional<QString> showOpen(const QString& filter, int filterIndex);
  // A save offering `offered` (a file, or a folder and no name) rather than
  // the name chosen last.
  std::optional<QString> showSave(const QString& filter, int filterIndex, const QString& offered);

  // Where the dialog starts before any name has been chosen in it.
  void setFolder(const QString& folder) { folder_ = folder; }

  // Replaces the interactive dialog (tests, scripted runs).
  void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
  // Where the question before replacing a file is asked.
  void setMessageBox(MessageBoxFunction messageBox) { messageBox_ = std::move(messageBox); }

  // "すべてのファイル (*.*)|*.*|" as the toolkit's "すべてのファイル (*)": the
  // description's own pattern list is replaced by the real one, and "*.*"
  // (any name, dotted or not) becomes "*".
  static QStringList toolkitFilters(const QString& filter);

 private:
  std::optional<QString> show(Mode mode, const QString& filter, int filterIndex, const QString& offered = {});
  std::optional<QString> runFileDialog(const Request& request);
  // The name a dialog for files of `extension` offers.
  QString offeredName(const QString& extension) const;
  bool mayReplace(const QString& path);

  QWidget* parent_;
  Chooser chooser_;
  MessageBoxFunction messageBox_ = execMessageBox;
  QString fileName_;
  QString folder_;
  QHash<QString, QString> lastOfKind_;  // by extension
};

}  // namespace tv

// The one file dialog of the main window, shared by the open, save and HTML
// commands: it offers the name last chosen in any of them again.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

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
  };
  // Shows the dialog; the chosen full path, or nothing on cancel.
  using Chooser = std::function<std::optional<QString>(const Request&)>;

  explicit CommonDialog(QWidget* parent = nullptr);

  // `filter` as "description|pattern|description|pattern|" (patterns split
  // by ';'), `filterIndex` 1-based. Nothing on cancel.
  std::optional<QString> showSave(const QString& filter, int filterIndex);
  std::optional<QString> showOpen(const QString& filter, int filterIndex);

  // The name last chosen, offered by the next dialog.
  QString fileName() const { return fileName_; }

  // Replaces the interactive dialog (tests, scripted runs).
  void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

  // "すべてのファイル (*.*)|*.*|" as the toolkit's "すべてのファイル (*)": the
  // description's own pattern list is replaced by the real one, and "*.*"
  // (any name, dotted or not) becomes "*".
  static QStringList toolkitFilters(const QString& filter);

 private:
  std::optional<QString> show(Mode mode, const QString& filter, int filterIndex);
  std::optional<QString> runFileDialog(const Request& request);

  QWidget* parent_;
  Chooser chooser_;
  QString fileName_;
};

}  // namespace tv

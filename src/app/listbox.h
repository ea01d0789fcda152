#pragma once

#include <QListView>
#include <QStringListModel>

namespace tv {

// A list box of text lines. The lines live in one string list rather than
// one item object each, so a search result of tens of thousands of lines
// fills and clears at once.
class ListBox : public QListView {
  Q_OBJECT
 public:
  explicit ListBox(QWidget* parent = nullptr);

  int count() const { return int(lines_.size()); }
  QString text(int row) const { return lines_.value(row); }
  const QStringList& lines() const { return lines_; }

  // Replaces every line; no line is current or selected afterwards.
  void setLines(QStringList lines);
  void addItems(const QStringList& lines);
  void clear() { setLines({}); }

  // The selected line of a single-selection list, -1 when none is selected
  // (Qt keeps a current line when the visible selection is gone).
  int selectedRow() const;
  int currentRow() const;
  // -1 clears the current line and the selection.
  void setCurrentRow(int row);
  bool isSelected(int row) const;
  void setSelected(int row, bool selected);
  QList<int> selectedRows() const;
  QRect rowRect(int row) const { return visualRect(model_->index(row)); }

 Q_SIGNALS:
  void currentRowChanged(int row);
  // The selection changed; `row` is selectedRow().
  void selectedRowChanged(int row);

 private:
  QStringListModel* model_;
  QStringList lines_;
};

}  // namespace tv

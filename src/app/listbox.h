#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QListView>
#include <QSet>
#include <functional>

#include "text/lines.h"

namespace tv {

// The lines of a list box as a model: one Lines value rather than an item
// object each, so a search result of tens of thousands of lines fills and
// clears at once.
class LinesModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  const Lines& lines() const { return lines_; }
  void setLines(Lines lines) {
    beginResetModel();
    lines_ = std::move(lines);
    marked_.clear();
    rows_ = int(lines_.size());
    endResetModel();
  }
  // Lines drawn in red; their text stays as it is. New lines are unmarked.
  void setMarked(QSet<int> rows) {
    if (rows == marked_) return;
    marked_ = std::move(rows);
    if (rowCount() > 0) Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::ForegroundRole});
  }
  bool isMarked(int row) const { return marked_.contains(row); }
  void append(const QStringList& more) {
    if (more.isEmpty()) return;
    beginInsertRows({}, rowCount(), rowCount() + int(more.size()) - 1);
    lines_ = lines_.toStringList() + more;
    rows_ = int(lines_.size());
    endInsertRows();
  }
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
  // The view asks for the index of every row when it lays out the list:
  // without the base class's virtual row and column counts.
  QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override {
    return row >= 0 && row < rows_ && column == 0 && !parent.isValid() ? createIndex(row, 0) : QModelIndex();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= lines_.size()) return {};
    if (role == Qt::ForegroundRole && marked_.contains(index.row())) return QColor(Qt::red);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return lines_.at(index.row());
  }

 private:
  Lines lines_;
  QSet<int> marked_;
  int rows_ = 0;
};

class ListBox : public QListView {
  Q_OBJECT
 public:
  explicit ListBox(QWidget* parent = nullptr);

  int count() const { return int(model_->lines().size()); }
  QString text(int row) const { return row >= 0 && row < count() ? model_->lines().at(row) : QString(); }
  QStringList lines() const { return model_->lines().toStringList(); }

  // Replaces every line; no line is current or selected afterwards.
  void setLines(Lines lines);
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
  void setMarkedRows(const QList<int>& rows) { model_->setMarked(QSet<int>(rows.begin(), rows.end())); }
  bool isMarked(int row) const { return model_->isMarked(row); }
  QRect rowRect(int row) const { return visualRect(model_->index(row)); }

  // Runs `work` once the list has next painted, when the program is idle
  // again: work the player need not wait for to see the lines.
  void afterNextPaint(std::function<void()> work) { afterPaint_ = std::move(work); }

 Q_SIGNALS:
  void currentRowChanged(int row);
  // The selection changed; `row` is selectedRow().
  void selectedRowChanged(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  LinesModel* model_;
  std::function<void()> afterPaint_;
};

}  // namespace tv

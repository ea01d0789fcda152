#include "app/listbox.h"

#include <QTimer>
#include <algorithm>
#include <utility>

namespace tv {

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(new LinesModel(this)) {
  setModel(model_);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            Q_EMIT currentRowChanged(current.isValid() ? current.row() : -1);
          });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { Q_EMIT selectedRowChanged(selectedRow()); });
}

void ListBox::setLines(Lines lines) { model_->setLines(std::move(lines)); }

void ListBox::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (afterPaint_) QTimer::singleShot(0, this, std::exchange(afterPaint_, nullptr));
}

void ListBox::addItems(const QStringList& lines) { model_->append(lines); }

int ListBox::selectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int ListBox::currentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void ListBox::setCurrentRow(int row) {
  if (row < 0 || row >= count()) {
    selectionModel()->clear();
    return;
  }
  selectionModel()->setCurrentIndex(model_->index(row), QItemSelectionModel::ClearAndSelect);
}

bool ListBox::isSelected(int row) const { return selectionModel()->isRowSelected(row, QModelIndex()); }

void ListBox::setSelected(int row, bool selected) {
  selectionModel()->select(model_->index(row),
                           selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

QList<int> ListBox::selectedRows() const {
  QList<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace tv

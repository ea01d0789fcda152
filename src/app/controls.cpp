#include "app/controls.h"

namespace tv {

void shiftToPage(QWidget* page, QPoint pageOrigin) {
  for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->move(child->pos() - pageOrigin);
}

QCheckBox* newCheck(QWidget* parent, const char* name, const QString& caption, bool checked) {
  auto* box = named(new QCheckBox(caption, parent), name);
  box->setChecked(checked);
  return box;
}

QPlainTextEdit* newTextBox(QWidget* parent, const char* name, const QFont* font) {
  auto* box = named(new QPlainTextEdit(parent), name);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  if (font) box->setFont(*font);
  return box;
}

}  // namespace tv

#include "app/controls.h"

#include <QLabel>
#include <QRadioButton>

namespace tv {

void shiftToPage(QWidget* page, QPoint pageOrigin) {
  for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->move(child->pos() - pageOrigin);
}

namespace {

bool captionFits(const QWidget* w) {
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
    return w->sizeHint().width() <= w->width();
  if (auto* label = qobject_cast<const QLabel*>(w))
    return label->fontMetrics().horizontalAdvance(label->text()) <= label->width();
  return true;
}

}  // namespace

void fitCaptions(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    QFont font = w->font();
    while (!captionFits(w) && font.pointSizeF() > 6) {
      font.setPointSizeF(font.pointSizeF() - 0.5);
      w->setFont(font);
    }
  }
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

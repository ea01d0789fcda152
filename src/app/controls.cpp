#include "app/controls.h"

#include <QFontMetrics>
#include <QLabel>
#include <optional>
#include <QRadioButton>

namespace tv {

void shiftToPage(QWidget* page, QPoint pageOrigin) {
  for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->move(child->pos() - pageOrigin);
}

namespace {

// The caption and what the control draws beside it (a check box's box).
std::optional<std::pair<QString, int>> captionOf(QWidget* w) {
  w->ensurePolished();
  if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    const QString text = static_cast<QAbstractButton*>(w)->text();
    return std::pair{text, w->sizeHint().width() - w->fontMetrics().horizontalAdvance(text)};
  }
  if (auto* label = qobject_cast<QLabel*>(w)) return std::pair{label->text(), 0};
  return std::nullopt;
}

}  // namespace

void fitCaptions(QWidget* root) {
  for (QWidget* w : root->findChildren<QWidget*>()) {
    const auto caption = captionOf(w);
    if (!caption) continue;
    const auto& [text, besides] = *caption;
    QFont font = w->font();
    if (font.pointSizeF() <= 0) continue;  // sized in pixels: left as it is
    bool smaller = false;
    while (QFontMetrics(font).horizontalAdvance(text) + besides > w->width() && font.pointSizeF() > 6) {
      font.setPointSizeF(font.pointSizeF() - 0.5);
      smaller = true;
    }
    if (smaller) w->setFont(font);
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

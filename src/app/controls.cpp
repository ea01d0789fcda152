#include "app/controls.h"

#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <optional>

namespace tv {

namespace {

// A placed control's given place (pixels in its parent) and its stretch.
constexpr char kGivenPlace[] = "tvGivenPlace";
constexpr char kStretch[] = "tvStretch";

}  // namespace

void place(QWidget* w, int left, int top, int width, int height, Stretch stretch) {
  const QRect given(twips(left), twips(top), twips(width), twips(height));
  w->setGeometry(given);
  w->setProperty(kGivenPlace, given);
  w->setProperty(kStretch, QVariant::fromValue(stretch));
}

void shiftToPage(QWidget* page, QPoint pageOrigin) {
  for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->move(child->pos() - pageOrigin);
    if (const QVariant given = child->property(kGivenPlace); given.isValid())
      child->setProperty(kGivenPlace, given.toRect().translated(-pageOrigin));
  }
}

void followGrowth(QWidget* parent, QSize growth) {
  for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QVariant given = child->property(kGivenPlace);
    if (!given.isValid()) continue;
    const QRect at = given.toRect();
    const auto stretch = child->property(kStretch).value<Stretch>();
    auto edge = [](int pixel, double share, int grown) { return pixel + qRound(share * grown); };
    const int left = edge(at.left(), stretch.left, growth.width());
    const int top = edge(at.top(), stretch.top, growth.height());
    const int right = edge(at.left() + at.width(), stretch.right, growth.width());
    const int bottom = edge(at.top() + at.height(), stretch.bottom, growth.height());
    child->setGeometry(left, top, right - left, bottom - top);
    followGrowth(child, QSize(right - left, bottom - top) - at.size());
  }
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

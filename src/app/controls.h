// Making and placing the main window's controls, shared by its tabs.
#pragma once

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QWidget>

#include "app/listbox.h"
#include "app/twips.h"

namespace tv {

// How a control follows a window larger than its given size: each edge moves
// by its share of what the control's parent grew (0 stays, 1 moves as far as
// the parent's right or bottom edge). A control whose two edges of a side
// move by the same share keeps its size on that side (buttons, option boxes).
struct Stretch {
  double left = 0, top = 0, right = 0, bottom = 0;
};
// Keeps its size and moves by the given shares.
constexpr Stretch moving(double x, double y) { return {x, y, x, y}; }

// Control positions are twips from the tab control's corner, the tab row
// included; inside a frame, from the frame's corner. The place is the one at
// the given window size; `stretch` says how it follows a larger window.
void place(QWidget* w, int left, int top, int width, int height, Stretch stretch = {});

// Moves a tab page's controls from tab-control to page coordinates once the
// tab row's height is known.
void shiftToPage(QWidget* page, QPoint pageOrigin);

// Puts the placed controls among `parent`'s children (and theirs, within each
// control that grows) where their stretch takes them for a parent `growth`
// pixels larger than at the given size.
void followGrowth(QWidget* parent, QSize growth);

// Gives every caption that does not fit its control a smaller font, so that
// it shows whole at the control's given size.
void fitCaptions(QWidget* root);

template <typename W>
W* named(W* w, const char* name) {
  w->setObjectName(QLatin1StringView(name));
  return w;
}

inline ListBox* newList(QWidget* parent, const char* name) { return named(new ListBox(parent), name); }

QCheckBox* newCheck(QWidget* parent, const char* name, const QString& caption, bool checked);

// A read-only, program-filled text box with its vertical scroll bar.
QPlainTextEdit* newTextBox(QWidget* parent, const char* name, const QFont* font);

}  // namespace tv

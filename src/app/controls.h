// Making and placing the main window's controls, shared by its tabs.
#pragma once

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QWidget>

#include "app/listbox.h"
#include "app/twips.h"

namespace tv {

// Control positions are twips from the tab control's corner, the tab row
// included; inside a frame, from the frame's corner.
inline void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

// Moves a tab page's controls from tab-control to page coordinates once the
// tab row's height is known.
void shiftToPage(QWidget* page, QPoint pageOrigin);

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

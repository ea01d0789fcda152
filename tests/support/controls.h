// Finding the window's controls by name, as a user finds them by caption.
#pragma once

#include <gtest/gtest.h>

#include <QObject>

namespace tvtest {

// The control (widget, menu or menu item) named `name` under `root`; a test
// failure and nullptr when there is none of that kind.
template <typename T>
T* findControl(const QObject* root, const char* name) {
  T* control = root->findChild<T*>(QLatin1StringView(name));
  if (!control) ADD_FAILURE() << "no control " << name;
  return control;
}

}  // namespace tvtest

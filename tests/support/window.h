// The real main window over a small card database, for the tests that drive
// it as a user would: controls found by name, lines clicked with the mouse.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/listbox.h"
#include "app/mainwindow.h"
#include "browse/search.h"
#include "core/settings.h"
#include "support/controls.h"
#include "support/fixtures.h"

namespace tvtest {

class WindowTest : public ::testing::Test {
 protected:
  // What the card database holds when the window loads.
  virtual void fill() { addStandardCards(f); }
  void SetUp() override {
    // Every window starts as at the first start: nothing remembered.
    QFile::remove(tv::userConfigFolder() + "/settings.ini");
    fill();
    tv::prepareSearches(f.ctx);  // as the start-up window does
    w = std::make_unique<tv::Main>(f.ctx);
    w->show();
    QApplication::processEvents();
  }
  template <typename T>
  T* ctl(const char* name) const {
    return findControl<T>(w.get(), name);
  }
  // File dialogs answer `chosen`, message boxes `answer`; both keep what they were asked.
  void answerDialogs() {
    w->CommonDialog1.setChooser([this](const tv::CommonDialog::Request& r) {
      asked << r;
      return chosen;
    });
    w->setMessageBox([this](const tv::MessageBoxRequest& r) {
      messages << r.text;
      icons << r.icon;
      return answer;
    });
  }

  // Runs `menu`; `inDialog` acts on the modal dialog it opens, found by name.
  void withDialog(const char* menu, const char* dialogName, const std::function<void(QWidget*)>& inDialog) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_TRUE(dialog);
      EXPECT_EQ(dialog->objectName(), dialogName);
      seen = true;
      inDialog(dialog);
      if (dialog->isVisible()) static_cast<QDialog*>(dialog)->reject();
    });
    ctl<QAction>(menu)->trigger();
    EXPECT_TRUE(seen);
  }

  CardDbFixture f;
  std::unique_ptr<tv::Main> w;
  std::optional<QString> chosen;
  QList<tv::CommonDialog::Request> asked;
  QStringList messages;
  QList<QMessageBox::Icon> icons;
  QMessageBox::StandardButton answer = QMessageBox::Ok;
};

// Key by key, as a user types.
inline void typeKeys(QWidget* box, const QString& text) {
  box->setFocus();
  for (QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &key);
  }
}

inline void clickLine(tv::ListBox* list, int row, Qt::KeyboardModifiers keys = {}) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->rowRect(row).center());
}

}  // namespace tvtest

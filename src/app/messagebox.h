// The main window's message boxes, through one replaceable function so that
// a headless run can answer them.
#pragma once

#include <QMessageBox>
#include <functional>

namespace tv {

struct MessageBoxRequest {
  QWidget* parent = nullptr;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using MessageBoxFunction = std::function<QMessageBox::StandardButton(const MessageBoxRequest&)>;

// A modal box with the program's title and Japanese button captions
// ("はい", "いいえ", "キャンセル"); the button pressed.
QMessageBox::StandardButton execMessageBox(const MessageBoxRequest& request);

}  // namespace tv

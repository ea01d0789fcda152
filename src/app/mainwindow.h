#pragma once

#include <QMainWindow>

#include "app/core/context.h"

namespace tv {

// The program's working window. It closes only through its menu.
class Main : public QMainWindow {
  Q_OBJECT
 public:
  explicit Main(AppContext& ctx, QWidget* parent = nullptr);

  void M_Close_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  AppContext& ctx_;
  bool closing_ = false;
};

}  // namespace tv

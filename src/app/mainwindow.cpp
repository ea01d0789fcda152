#include "app/mainwindow.h"

#include <QCloseEvent>

#include "app/core/appinfo.h"

namespace tv {

Main::Main(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("Main"));
  setWindowTitle(kAppTitle);
}

void Main::M_Close_Click() {
  closing_ = true;
  close();
}

void Main::closeEvent(QCloseEvent* event) {
  if (closing_)
    event->accept();
  else
    event->ignore();
}

}  // namespace tv

#include "app/guarded.h"

#include <QMessageBox>

#include "app/core/appinfo.h"

namespace tv {

void showDbError(QWidget* parent, const DbError& error) {
  QMessageBox box(QMessageBox::Warning, kAppTitle, error.message(), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tv

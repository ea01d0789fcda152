#include "app/guarded.h"

#include <QMessageBox>

#include "core/appinfo.h"

namespace tv {

QString dbErrorText(const DbError& error) { return kMsgDbFailed + u'\n' + error.reason(); }

void showDbError(QWidget* parent, const DbError& error) {
  QMessageBox box(QMessageBox::Warning, kAppTitle, dbErrorText(error), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tv

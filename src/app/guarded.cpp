#include "app/guarded.h"

#include <QMessageBox>

#include "core/appinfo.h"

namespace tv {

QString dbErrorText(const DbError& error) {
  switch (error.kind()) {
    case DbError::Kind::TooBig:
      return kMsgDbFailed + u'\n' + kMsgValueTooBig;
    case DbError::Kind::InUse:
      return kMsgDbFailed + u'\n' + kMsgDbInUse;
    case DbError::Kind::Other:
      break;
  }
  return kMsgDbFailed + u'\n' + error.reason();
}

void showDbError(QWidget* parent, const DbError& error) {
  QMessageBox box(QMessageBox::Warning, kAppTitle, dbErrorText(error), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tv

#include "app/messagebox.h"

#include <QPushButton>

#include "core/appinfo.h"

namespace tv {

QMessageBox::StandardButton execMessageBox(const MessageBoxRequest& request) {
  QMessageBox box(request.icon, kAppTitle, request.text, request.buttons, request.parent);
  box.setTextFormat(Qt::PlainText);
  const std::pair<QMessageBox::StandardButton, QString> captions[] = {
      {QMessageBox::Yes, QStringLiteral("はい")},
      {QMessageBox::No, QStringLiteral("いいえ")},
      {QMessageBox::Cancel, QStringLiteral("キャンセル")},
  };
  for (const auto& [button, caption] : captions)
    if (QAbstractButton* b = box.button(button)) b->setText(caption);
  if (request.defaultButton != QMessageBox::NoButton) box.setDefaultButton(request.defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace tv

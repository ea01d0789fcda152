// The boundary between an event handler and the database: a failure is shown
// and the program goes on.
#pragma once

#include <QWidget>

#include "carddb/database.h"

namespace tv {

inline const QString kMsgDbFailed = QStringLiteral("カードデータの読み込みに失敗しました。");

// What the user reads of a database failure: the fixed line, then the
// engine's own words, never the statement.
QString dbErrorText(const DbError& error);

void showDbError(QWidget* parent, const DbError& error);

template <typename F>
void guarded(QWidget* parent, F&& step) {
  try {
    step();
  } catch (const DbError& e) {
    showDbError(parent, e);
  }
}

}  // namespace tv

// The boundary between an event handler and the database: a failure is shown
// and the program goes on.
#pragma once

#include <QWidget>

#include "carddb/database.h"

namespace tv {

inline const QString kMsgDbFailed = QStringLiteral("カードデータの読み込みに失敗しました。");
// In place of the engine's words for the failures the program tells apart.
inline const QString kMsgValueTooBig = QStringLiteral("カードのデータが壊れています（値が大きすぎます）。");
inline const QString kMsgDbInUse = QStringLiteral("データファイルを他のプログラムが使用しています。");

// What the user reads of a database failure: the fixed line, then the
// engine's own words (or the program's, for the failures it tells apart),
// never the statement.
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

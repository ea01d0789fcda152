// What the main window's load event and close command read and reset.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include "carddb/database.h"
#include "carddb/names.h"

namespace tv {

inline const QColor kVersionBackground(255, 255, 120);
inline const QString kTokenPrompt = QStringLiteral("リストからトークンを選択してください");

// Empties wtbl_CardList, wtbl_DecList and wtbl_DecSideList, in that order.
void emptyWorkingTables(Database& db);

// tbl_CardSet.Cardset in the table's order: line i stands for CardsetNo i.
QStringList readExpansionNames(Database& db);

// tbl_TokenMst.NameN, ascending.
QStringList readTokenNames(Database& db);

}  // namespace tv

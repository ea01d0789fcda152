// What the main window's load event and close command read and reset.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include "app/core/context.h"

namespace tv {

inline const QColor kVersionBackground(255, 255, 120);
inline const QString kTokenPrompt = QStringLiteral("リストからトークンを選択してください");

// Empties wtbl_CardList, wtbl_DecList and wtbl_DecSideList, in that order.
void emptyWorkingTables(AppContext& ctx);

// tbl_CardSet.Cardset in the table's order: line i stands for CardsetNo i.
QStringList readExpansionNames(AppContext& ctx);

// Every creature type, ascending, without Null.
QStringList readCreatureTypes(AppContext& ctx);

// tbl_TokenMst.NameN, ascending.
QStringList readTokenNames(AppContext& ctx);

// The detail box's text until a card is chosen.
QString versionCardText();

// The text of the version message box.
QString versionMessageText();

}  // namespace tv

// The card database's names, written once: the schema, the program's
// statements, the builder and the test fixtures all take them from here.
#pragma once

#include <QString>
#include <QStringList>

namespace tv {

inline const QString kCardMstTable = QStringLiteral("tbl_CardMst");
inline const QString kCardSetTable = QStringLiteral("tbl_CardSet");
inline const QString kTokenMstTable = QStringLiteral("tbl_TokenMst");
inline const QString kVersionTable = QStringLiteral("tbl_Version");
inline const QString kCardListTable = QStringLiteral("wtbl_CardList");
inline const QString kMainDeckTable = QStringLiteral("wtbl_DecList");
inline const QString kSideDeckTable = QStringLiteral("wtbl_DecSideList");

// Card facts that `import` writes beside the tables above (a card database
// made otherwise has none): per English name its rules, legality and colour
// identity; the creature types; where each expansion comes from.
inline const QString kCardOracleTable = QStringLiteral("tbl_CardOracle");
inline const QString kFormatTable = QStringLiteral("tbl_Format");
inline const QString kCardLegalityTable = QStringLiteral("tbl_CardLegality");
inline const QString kCreatureTypeTable = QStringLiteral("tbl_CreatureType");
inline const QString kCardSetInfoTable = QStringLiteral("tbl_CardSetInfo");

inline QStringList cardFactsTables() {
  return {kCardOracleTable, kFormatTable, kCardLegalityTable, kCreatureTypeTable, kCardSetInfoTable};
}

// The working tables the program fills and empties, in the order it empties them.
inline QStringList workingTables() { return {kCardListTable, kMainDeckTable, kSideDeckTable}; }

// Every table a card database must have.
inline QStringList cardDatabaseTables() {
  return QStringList{kCardSetTable, kCardMstTable, kTokenMstTable, kVersionTable} + workingTables();
}

// A deck table's columns, in table order.
inline const QStringList kDeckColumns = {QStringLiteral("CardSetEx"), QStringLiteral("NameE"),
                                         QStringLiteral("NameN"),     QStringLiteral("CardMaisu"),
                                         QStringLiteral("NumCost"),   QStringLiteral("CAttack"),
                                         QStringLiteral("CDefence")};

// A card's key in tbl_CardMst and in the working tables.
struct CardKey {
  QString CardSetEx;
  QString NameE;
};

}  // namespace tv

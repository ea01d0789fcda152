// State the program shares between user actions. Nothing else is global.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>

#include "carddb/database.h"

namespace tv {

// The card shown last in the detail box: what the add buttons add and the
// proxy sheet prints. Database values keep Null as an invalid QVariant.
struct CurrentCard {
  QString NameE;
  QString NameN;
  QString CardSetEx;
  QString Rare;
  QVariant Cost;
  QVariant NumCost;
  QVariant TextN;
  QVariant CAttack;
  QVariant CDefence;
  QVariant CType;
  QString PowerToughness;
  QString TypeNameE;
};

// The token chosen last in the token list.
struct CurrentToken {
  QString NameN;
  QString Color;
  QString TextN;
  QString PowerToughness;
};

struct AppContext {
  std::unique_ptr<Database> gCardDb;
  QString gSortField = QStringLiteral("NameE");
  CurrentCard gCurrentCard;
  CurrentToken gCurrentToken;
};

}  // namespace tv

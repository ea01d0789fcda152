// State the program shares between user actions. Nothing else is global.
#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

#include "carddb/cardnames.h"
#include "carddb/database.h"
#include "carddb/oraclefacts.h"

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
  // The file gCardDb was opened from: what a card data update replaces.
  QString gDatabasePath;
  QString gSortField = QStringLiteral("NameE");
  CurrentCard gCurrentCard;
  CurrentToken gCurrentToken;
  // The card master's names folded for the name box and text decks, read at
  // their first use: see cardNames().
  std::shared_ptr<const CardNames> gCardNames;
  // The card facts of the card data (nullptr inside when it holds none),
  // read at their first use: see cardFacts().
  std::optional<std::shared_ptr<const OracleFacts>> gCardFacts;
};

// The card master's names for this run; the card tables do not change while
// the program runs, so they are read once.
inline std::shared_ptr<const CardNames> cardNames(AppContext& ctx) {
  if (!ctx.gCardNames) ctx.gCardNames = CardNames::load(*ctx.gCardDb);
  return ctx.gCardNames;
}

// The card facts for this run, read once (a few hundred milliseconds on a
// large card data); nullptr when the card data has none.
inline std::shared_ptr<const OracleFacts> cardFacts(AppContext& ctx) {
  if (!ctx.gCardFacts) ctx.gCardFacts = OracleFacts::load(*ctx.gCardDb);
  return *ctx.gCardFacts;
}

}  // namespace tv

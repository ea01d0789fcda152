// The detail text of a chosen card and the current card it sets.
#pragma once

#include <QColor>
#include <QString>
#include <optional>

#include "carddb/names.h"
#include "session/context.h"

namespace tv {

// The card behind line `index` of the list filled from `table`: the card list
// in the order its table was filled, a deck list in list order. Nothing for
// a negative index or one past the end.
std::optional<CardKey> cardKeyAt(Database& db, const QString& table, const QString& sortField, int index);

// The card's master row with its expansion name.
QString cardDetailQuery(const CardKey& key);

struct CardTextView {
  bool changed = false;              // false: leave the text, the background and the current card alone
  QString text;                      // lines end in CR LF
  std::optional<QColor> background;  // none: keep the background
};

// Makes the card on line `index` of the list behind `table` ("wtbl_CardList",
// "wtbl_DecList", "wtbl_DecSideList") the current card and returns its
// detail text. The same card again, a line without a card or a card without
// a master row changes nothing.
CardTextView chooseCard(AppContext& ctx, const QString& table, int index);

}  // namespace tv

// The token list's chosen token: its text and the token it remembers.
#pragma once

#include <QString>
#include <optional>

#include "carddb/database.h"
#include "session/context.h"

namespace tv {

// Every token with the columns its text needs, in the token list's order.
QString tokenQuery();

struct TokenChoice {
  QString text;  // for txt_TokenText; lines end in CR LF
  CurrentToken token;
};

// The token at line `index` of the token list (filled in NameN order);
// nothing for no selection or a line past the last token.
std::optional<TokenChoice> ChooseToken(Database& db, int index);

}  // namespace tv

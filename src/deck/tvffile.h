// The tvf deck file: Shift-JIS (CP932) delimited text with CR LF line ends.
//
//   "title","comment"          text fields in double quotes, never escaped
//   "IN","Card One",4          main deck: code, English name, bare copy count
//   0,0,0                      the separator, always written
//   "TO","Card Three",3        sideboard
//
// The reader takes the fields as a stream: a quoted field runs to the next
// double quote, line breaks included; an unquoted one to the next comma or
// line end. Lines are not counted, so a record may spread over lines.
//
// In a Deck the title and comment break lines with "\n", as the text boxes
// hold them; the file has CR LF there.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "deck/deck.h"

namespace tv {

// Stands for a double quote inside a text field, which the format cannot hold.
inline constexpr char16_t kQuoteStandIn = u'\uFF02';  // ＂

// A card's code or name as a deck file holds it: a double quote as ＂ and
// letters Shift-JIS lacks folded to ASCII (Dandân → Dandan). Opening finds
// the card of such a name again (deckfile.h).
QString tvfCardText(const QString& text);

struct TvfEncoded {
  std::optional<QByteArray> bytes;
  QString badChar;  // the first character Shift-JIS cannot hold, when bytes is empty
};

// The file's bytes for `deck`; double quotes become ＂, card codes and names
// are written as tvfCardText gives them.
TvfEncoded encodeTvf(const Deck& deck);

struct TvfDecoded {
  std::optional<Deck> deck;
  QString error;  // why the file is not a deck file, when deck is empty (Japanese, for the user)
};

// The deck in a file's bytes, checked whole: fields, copy counts and
// encoding. Card codes and names are taken as a save writes them (a double
// quote in a bare field as ＂). On the way old expansion codes become their current ones
// (IV→IN, PS→PL, TM→TO, JM→JU, exact case), and records of one card within
// one section are merged into one entry with their copies added.
TvfDecoded decodeTvf(QByteArrayView bytes);

// The expansion code a file's code stands for now.
QString currentExpansionCode(const QString& code);

}  // namespace tv

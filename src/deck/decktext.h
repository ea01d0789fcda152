// Decks as players share them in plain text: on web pages, in chat, from
// other deck builders. Reading detects the form of each line; names are then
// looked up in the card master, never guessed.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "carddb/cardnames.h"
#include "deck/deck.h"

namespace tv {

// One card line of a deck list as written, before any lookup.
struct DeckTextLine {
  int line = 0;  // 1-based
  bool side = false;
  qint64 copies = 0;
  QString name;
  QString setCode;  // from "(SET)" or "[SET]"; empty when none is given
};

// A line the dialog shows: one not imported, or one imported with a remark.
struct DeckTextProblem {
  int line = 0;    // 1-based
  QString text;    // the line as written
  QString reason;  // for the user
  bool imported = false;
};

}  // namespace tv
// Moved as bytes when a list of half a million of them grows.
Q_DECLARE_TYPEINFO(tv::DeckTextLine, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(tv::DeckTextProblem, Q_RELOCATABLE_TYPE);
namespace tv {

struct ParsedDeckText {
  QStringList lines;  // as written, without their line ends
  QList<DeckTextLine> cards;
  QList<DeckTextProblem> problems;  // unreadable lines, in line order
};

// Forms read, each detected on its own line: "4 Name", "4x Name", "SB: 2 Name",
// "4 Name (SET) 123" (Arena), "4 [SET] Name", section lines ("Deck", "Sideboard",
// "サイドボード", ...), comments ("//", "#") and blank lines. Full-width forms
// read as their ASCII ones. Without a sideboard line or "SB:" anywhere, the
// first blank line after a card starts the sideboard.
ParsedDeckText parseDeckText(QStringView text);

struct DeckTextImport {
  Deck deck;                        // title and comment empty: importing leaves them alone
  QList<DeckTextProblem> problems;  // in line order
};

// Reads the text and finds each card in the card master: its English or
// Japanese name (folded), a split card by either half, "A // B" or "A/B". A
// given set code picks that expansion when it holds the card (classic code or
// today's, carddb/setcodes.h); otherwise the newest expansion holding it. Lines
// naming one card in a half are merged; copies over the four-copy limit stay
// as written and are reported, a line that would take a card past kMaxCopies
// is not read. Time is linear in the text's length.
DeckTextImport importDeckText(QStringView text, const CardNames& names);

// A text file's bytes as text: UTF-8 (with or without its BOM), else
// Shift-JIS as Japanese tools of the time write it; nothing when neither.
std::optional<QString> deckTextFromBytes(QByteArrayView bytes);

// Larger files are refused unread; a deck list is a few kilobytes.
inline constexpr qint64 kMaxDeckTextFileSize = 1024 * 1024;

// What the import dialog's text box takes: it keeps an object per line and
// lays each line out whole, in time that grows with both. No deck list comes
// near these.
inline constexpr qsizetype kMaxDeckTextLines = 10000;
inline constexpr qsizetype kMaxDeckTextLine = 1000;  // UTF-16 code units

// Why the dialog does not take `text` (added to a text box holding
// `linesBefore` lines, `bytesBefore` bytes of UTF-8), for the user; nothing
// when it takes it: larger than a file may be, or more lines or a longer
// line than the box lays out quickly.
std::optional<QString> deckTextRefusal(QStringView text, qsizetype linesBefore = 0,
                                       qsizetype bytesBefore = 0);

struct DeckTextFile {
  std::optional<QString> text;
  QString error;  // why not, for the user, when there is no text
};

// A text file's contents as deckTextFromBytes reads them.
DeckTextFile readDeckTextFile(const QString& path);

// "N English name" lines, a blank line, then the sideboard's; LF line ends.
// A card whose expansion is not the one its name alone finds gets that
// expansion's code, "N Name (SET)" (today's code where the set table has one),
// so that reading the text back gives the same deck.
QString writeDeckText(const Deck& deck, const CardNames& names);

}  // namespace tv

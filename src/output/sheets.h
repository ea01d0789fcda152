// The printed deck list and the sheets of four proxy or token copies, as
// sequences of printer operations.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include "output/printjob.h"
#include "session/context.h"

namespace tv {

// A copy is 19 lines of 32 columns; a full-width character takes two.
inline constexpr int kCopyLines = 19;
inline constexpr int kCopyColumns = 32;
inline constexpr int kTextRows = 14;
inline constexpr int kRowChars = 16;
inline constexpr QChar kFullWidthBlank = QChar(0x3000);

// A rules text (Null allowed) as 14 rows of 16 full-width characters, broken
// at its line breaks and after every 16 characters; the rest is not printed.
QStringList LayoutTextRows(const QVariant& text);

// The 19 lines of one proxy copy of the card.
QStringList proxyCopyLines(const CurrentCard& card);

// The 19 lines of one token copy.
QStringList tokenCopyLines(const CurrentToken& token);

// Four copies to a page: two side by side, twice, then the document ends.
void PrintSheet(PrintJob& job, const QStringList& copy);

struct DeckPrintTexts {
  QString title;
  QString comment;
  QString deck;     // the preview as it stands, not rebuilt
  QString version;  // as versionText() gives it
  QString date;     // the current date in the system's short form
};

// The version-and-date line, title, comment and deck text, in lines the
// face spaces; the date moves left to stay on the paper.
void PrintDeckList(PrintJob& job, const DeckPrintTexts& texts);

}  // namespace tv

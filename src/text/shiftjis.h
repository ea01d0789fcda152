// Shift-JIS with the CP932 table: the encoding of deck files and HTML pages.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {

// The text as CP932 bytes. The few characters that Japanese input methods
// outside Windows type in their JIS forms (wave dash, minus sign, double
// vertical line, cent, pound, not sign, em dash) are written as CP932's own
// forms. Nothing when any other character cannot be held; `badChar` then
// receives the first such character (a surrogate pair stays whole).
std::optional<QByteArray> encodeShiftJis(QStringView text, QString* badChar = nullptr);

// The text with each character CP932 cannot hold folded to ASCII, where ICU's
// Latin-ASCII folds it (â → a, Æ → AE); everything else stays as it is.
QString foldToShiftJis(QStringView text);

// The text as CP932 bytes for an HTML page: the JIS forms as above, and
// every other character CP932 cannot hold as a decimal character reference.
QByteArray encodeShiftJisHtml(QStringView text);

// CP932 bytes as text; nothing when the bytes are not valid CP932.
std::optional<QString> decodeShiftJis(QByteArrayView bytes);

}  // namespace tv

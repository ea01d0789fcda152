// Names folded for matching what a player types or pastes against the card
// master: letter case, full-width and half-width forms, hiragana and katakana,
// ligatures and accents make no difference, and spaces, "・" and "ー" are left
// out ("ラノワールの騎士" and "らのわ ある" both hold "ラノワル"). Time is
// linear in the text's length, whatever it holds.
#pragma once

#include <QString>

namespace tv {

// With a limit, folding stops once the result is longer: a lookup among
// names no longer than that learns enough from the first part of a long text.
QString foldName(QStringView text, qsizetype limit = -1);

// NFKC (compatibility forms to their common ones: full width, half-width
// kana, ligatures), in time linear in the text's length, which
// QString::normalized is not where characters expand.
QString normalizedKC(QString text);

// ICU's Latin-ASCII alone (accents, ligatures, curly quotes); the text
// unchanged when ICU lacks it. For short texts: its time grows with the
// square of the length.
QString latinToAscii(QStringView text);

// Rules text and type lines folded for a substring test, as names are (the
// same letters count as equal; spaces, "・" and "ー" left out), with every dash
// as "-" and the mana and tap symbols in one notation whichever way a text
// writes them: "(Ｔ)：(緑)", "{T}: {G}" and "（ｔ）:｛ｇ｝" all hold "{t}:{g}".
QString foldRulesText(QStringView text);

}  // namespace tv

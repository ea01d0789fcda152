// Names folded for matching what a player types or pastes against the card
// master: letter case, full-width and half-width forms, hiragana and katakana,
// ligatures and accents make no difference, and spaces, "・" and "ー" are left
// out ("ラノワールの騎士" and "らのわ ある" both hold "ラノワル").
#pragma once

#include <QString>

namespace tv {

QString foldName(QStringView text);

// Rules text and type lines folded for a substring test, as names are (the
// same letters count as equal; spaces, "・" and "ー" left out), with every dash
// as "-" and the mana and tap symbols in one notation whichever way a text
// writes them: "(Ｔ)：(緑)", "{T}: {G}" and "（ｔ）:｛ｇ｝" all hold "{t}:{g}".
QString foldRulesText(QStringView text);

}  // namespace tv

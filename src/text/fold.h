// Names folded for matching what a player types or pastes against the card
// master: letter case, full-width and half-width forms, hiragana and katakana,
// ligatures and accents make no difference, and spaces, "・" and "ー" are left
// out ("ラノワールの騎士" and "らのわ ある" both hold "ラノワル").
#pragma once

#include <QString>

namespace tv {

QString foldName(QStringView text);

}  // namespace tv

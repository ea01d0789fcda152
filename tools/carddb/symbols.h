// MTGJSON writes mana and other symbols in braces ({T}：{G}を加える。), WHISPER
// in parentheses with full-width letters and colour words ((Ｔ)：(緑)を加える。).
// The import writes MTGJSON's Japanese texts in WHISPER's notation, so that a
// card reads the same whichever source its text comes from.
#pragma once

#include <QSet>
#include <QString>

namespace tvtools {

// `text` with every symbol it knows in WHISPER's notation: {T} (Ｔ), {Q} (Ｑ),
// {E} (Ｅ), {X} (Ｘ), {2} (２), {W}{U}{B}{R}{G} (白)(青)(黒)(赤)(緑), {C} (◇),
// {S} (氷), hybrid {W/U} (白/青), {2/W} (２/白), Phyrexian {G/P} (緑/Φ); the
// dash "—" as "―"; loyalty costs at the head of a line ("−3：") as "[-3]：";
// mode bullets "• " as "・". A symbol it does not know stays as it is and is
// added to `unknown`.
QString inWhisperNotation(QStringView text, QSet<QString>* unknown = nullptr);

}  // namespace tvtools

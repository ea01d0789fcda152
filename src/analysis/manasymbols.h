// Mana symbols as the card data writes them: costs in the compact form
// ("2WW", "(W/U)", "1R // 1U") and rules texts in either notation, WHISPER's
// ((Ｔ)：(緑)を加える。) or MTGJSON's ({T}: Add {G}.), Japanese or English.
#pragma once

#include <QString>
#include <array>

namespace tv {

// The five colours and colourless, in the order every table of them keeps.
enum ManaColor { kWhite, kBlue, kBlack, kRed, kGreen, kColorless, kManaColors };

using ManaCounts = std::array<qint64, kManaColors>;

// "W", "U", "B", "R", "G", "C".
QChar manaLetter(int color);

// Coloured symbols of a cost, one per colour a symbol names: a hybrid (W/U)
// counts for white and for blue, a Phyrexian (G/P) for green. Generic mana,
// X and snow name no colour.
ManaCounts costPips(QStringView cost);

// Bit (1 << colour) for each colour an ability of the text adds: "(緑)か(青)を
// 加える", "Add {G} or {U}", "好きな色１色のマナ" / "any color" (all five).
unsigned producedColors(QStringView rulesText);

// The basic land types a text searches the library for ("山か平地であるカード",
// "a Mountain or Plains card"): what a land that fetches makes, in effect.
unsigned fetchedColors(QStringView rulesText);

// The colours of the basic land types a type line names ("Land — Forest
// Island", "土地 ― 森・島"): each of them taps for its colour.
unsigned landTypeColors(QStringView typeLine);

}  // namespace tv

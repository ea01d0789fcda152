// The expansion codes of today's card lists ("INV", "PLS") and the classic
// two-letter codes card databases use ("IN", "PL"), as the set table the
// builder makes card databases from pairs them. The program carries that
// table, so a deck list naming its sets either way finds them.
#pragma once

#include <QString>

namespace tv {

// The classic code of a list code, in the table's letter case; empty when the
// table does not know the code. Letter case does not matter.
QString classicSetCode(QStringView listCode);

// The list code of a classic code; empty when the table has none.
QString listSetCode(QStringView classicCode);

}  // namespace tv

// The deck as fixed-pitch text: the heading with the copy count, the column
// header, the card-type sections, the sideboard part and the mana curve. What
// the output tab shows and the deck print prints.
#pragma once

#include <QString>

#include "carddb/database.h"
#include "output/decksections.h"

namespace tv {

// The print options, as their check boxes stand; all on when the window opens.
struct PrintOptions {
  bool NameE = true;
  bool NameN = true;
  bool Cost = true;
  bool Rare = true;
  bool CardSetEx = true;
  bool Space = true;  // pads the count, name and cost columns to fixed widths
  bool Side = true;
  bool ManaCurve = true;
};

class DeckPrintText {
 public:
  DeckPrintText(Database& db, const PrintOptions& options) : db_(db), options_(options) {}

  // The whole text, rebuilt from the deck tables.
  QString RefreshPrintPreview();

  // Appends one section of one deck table to PrintText (nothing when it has
  // no cards) and adds its copies to CardCount.
  void BuildDeckSectionText(const QString& table, const DeckSection& section);

  // Appends the main deck's curve to PrintText: eight lines, the last
  // without a line end.
  void BuildManaCurveText();

  QString PrintText;
  qint64 CardCount = 0;

 private:
  void appendCardLine(const Recordset& rs);

  Database& db_;
  PrintOptions options_;
};

// One bar of the curve holds at most this many squares; beyond it the bar
// ends in "…" and the count.
inline constexpr qint64 kMaxCurveSquares = 32767;

}  // namespace tv

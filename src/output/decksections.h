// The card-type sections of the deck lists, in the order both the deck-print
// text and the HTML page write them. A new section is one more row.
#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace tv {

struct DeckSection {
  QStringView key;                         // the card type the section is named by
  std::span<const QStringView> moreTypes;  // further card types it takes in
  QStringView title;                       // what the heading shows in brackets
};

std::span<const DeckSection> deckSections();

// " WHERE tbl_CardMst.CardType='E' OR tbl_CardMst.CardType='EC' ...": the
// section's condition as both deck lists write it.
QString sectionWhere(const DeckSection& section);

// Adds copies without wrapping: deck files may bring in any count.
inline qint64 addCopies(qint64 count, qint64 copies) {
  qint64 sum;
  if (__builtin_add_overflow(count, copies, &sum)) return copies < 0 ? INT64_MIN : INT64_MAX;
  return sum;
}

}  // namespace tv

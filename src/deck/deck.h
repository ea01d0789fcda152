// A deck as files carry it: the title, the comment and both halves' rows in
// the order the deck tables hold them. File formats convert it to bytes and
// back; the deck tables are read into it and replaced from it at the edges.
#pragma once

#include <QList>
#include <QString>

namespace tv {

// The most copies of one card in one half of a deck, basic lands included.
// The text import, the deck file, and the add and move buttons all stop
// here, so whatever one format writes, both formats read back. The deck's
// count has always been a 16-bit number: no deck that ever showed its count
// held more of one card.
inline constexpr qint64 kMaxCopies = 32767;

struct DeckEntry {
  QString CardSetEx;
  QString NameE;
  qint64 CardMaisu = 0;

  friend bool operator==(const DeckEntry&, const DeckEntry&) = default;
};

// A card's key as the engine compares it: ASCII letters without regard to case.
inline QString cardKey(const QString& code, const QString& name) {
  QString key = code + QChar(u'\0') + name;
  for (QChar& c : key)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
  return key;
}

struct Deck {
  QString title;
  QString comment;
  QList<DeckEntry> main;
  QList<DeckEntry> side;

  friend bool operator==(const Deck&, const Deck&) = default;
};

}  // namespace tv

// A deck as files carry it: the title, the comment and both halves' rows in
// the order the deck tables hold them. File formats convert it to bytes and
// back; the deck tables are read into it and replaced from it at the edges.
#pragma once

#include <QList>
#include <QString>

namespace tv {

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

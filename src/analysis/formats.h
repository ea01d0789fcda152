// The formats the card data names, with their Japanese names and the deck
// rules of each: how many cards, how many copies, a commander or not.
#pragma once

#include <QString>
#include <QStringList>

namespace tv {

struct FormatRules {
  QString key;    // as the card data names it
  QString label;  // what the format box shows
  qint64 minMain = 60;
  qint64 maxMain = -1;  // -1: no upper bound
  qint64 maxSide = 15;  // -1: no bound
  qint64 copies = 4;    // of one English name across both halves
  // The sideboard holds the commander (two with partner); main deck and
  // commander together are exactly minMain cards of the commander's colours.
  bool commander = false;
  bool walkerCommanders = false;    // a legendary planeswalker may lead too
  bool creatureCommanders = false;  // any creature may lead (its rarity is not checked)
};

// The rules of a format; an unknown one gets its key as its name and the
// rules of constructed play.
FormatRules formatRules(const QString& key);

// The formats of the data in the order of the format box: the well-known
// ones first (standard, pioneer, modern, legacy, vintage, pauper,
// commander), then the rest by name.
QStringList formatsInBoxOrder(const QStringList& keys);

// The format box's keys: "" first, no format (no check, no red lines: the
// deck lists as they always were), then the data's formats in box order; the
// seven well-known ones when the data has none, so that the check can say so.
QStringList formatBoxKeys(const QStringList& dataFormats);

// What the box shows for a key: "（なし）" for "".
QString formatLabel(const QString& key);

}  // namespace tv

// MTGJSON's AllPrintings file ({"meta", "data": {SET: {..., "cards": [...]}}}),
// read as a stream one set at a time, so that a full AllPrintings of several
// hundred megabytes never sits in memory whole.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace tvtools {

// One entry of a set's "cards": a printing, or one face of a multi-face one.
struct MtgFace {
  QString name, faceName, side, layout, number, uuid;
  QStringList otherFaceIds, colors, colorIdentity, types, supertypes, subtypes;
  QString manaCost, manaValue, rarity, type, originalType, power, toughness, loyalty, text;
  bool onlineOnly = false, funny = false;
  std::vector<std::pair<QString, QString>> legalities;  // format, "Legal" / "Banned" / "Restricted"
  // The Japanese entry of foreignData, empty when there is none.
  QString nameJa, faceNameJa, typeJa, textJa;
};

struct MtgSet {
  QString code, name, nameJa, releaseDate, type;
  bool onlineOnly = false;
  std::vector<MtgFace> cards;  // in the file's order
};

// Reads the file (plain, gzip or xz) and hands over every set as its end is
// read; `wantsCards(setCode)` false skips a set's cards early. Throws
// BuildError naming the file, and the set and card number where there is one.
// `onRead`, after each set, says how many bytes of the file as stored are read.
void readAllPrintings(const QString& path, const std::function<bool(const QString&)>& wantsCards,
                      const std::function<void(MtgSet&&)>& onSet,
                      const std::function<void(qint64 read, qint64 total)>& onRead = {});

}  // namespace tvtools

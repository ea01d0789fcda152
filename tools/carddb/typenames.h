// The Japanese names of English types, learned from the cards whose type line
// the data holds in both languages: with as many subtypes on both sides, each
// English subtype pairs with the Japanese one at its place ("Elf Warrior",
// "エルフ・戦士"), and the words before the dash pair as a whole ("Legendary
// Creature", "伝説のクリーチャー"). Cards with an English type line only are
// then given a Japanese one, and every printing of a card the same types.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tvtools {

class TypeNames {
 public:
  // WHISPER's type lines are the current ones; MTGJSON's are printed, some
  // with names since changed (猟犬 for Dog), so they only teach what WHISPER's
  // do not.
  enum Source { Whisper, Mtgjson };

  // One face: its English type line ("Creature — Elf Warrior"), subtypes
  // ({"Elf", "Warrior"}) and a Japanese type line of one source.
  void learn(Source source, QStringView typeLineE, const QStringList& subtypesE, QStringView typeLineJa);
  // Chooses each name: the one the most cards of the better source give.
  void finish();

  // The Japanese of an English subtype; empty when no card taught it.
  QString subtype(const QString& english) const { return subtypes_.value(english); }
  // The subtypes in Japanese joined with "・"; one without a Japanese name as
  // it is, and added to `missing`.
  QString subtypes(const QStringList& english, QSet<QString>* missing = nullptr) const;
  // The face's Japanese type line, "伝説のクリーチャー ― エルフ・戦士"; empty
  // when no card taught the words before the dash.
  QString typeLine(QStringView typeLineE, const QStringList& subtypesE,
                   QSet<QString>* missing = nullptr) const;

 private:
  using Counts = QHash<QString, QHash<QString, int>>;  // English -> Japanese -> cards
  Counts subtypeCounts_[2], headCounts_[2];
  QHash<QString, QString> subtypes_, heads_;
};

}  // namespace tvtools

// The card master's names, read and folded once a run: what the name box
// filters the card list by, and what the names of a deck list pasted as text
// are looked up in.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "carddb/database.h"

namespace tv {

class CardNames {
 public:
  struct Printing {
    QString CardSetEx;
    QString NameE;
    qint64 CardsetNo = 0;    // of an expansion missing from tbl_CardSet: after every other
    bool basicLand = false;  // of type BL, free of the four-copy limit
  };

  // A card: the printings of one English name, the newest expansion (lowest
  // CardsetNo) first.
  struct Card {
    QString NameE;
    std::vector<Printing> printings;
  };

  struct Lookup {
    const Card* card = nullptr;  // when exactly one card has the name
    QStringList candidates;      // English names, when several cards have it
  };

  // Reads every row of tbl_CardMst with the number of its expansion (only
  // columns of the search's covering index: a full read of the card rows
  // would cost several times as much).
  static std::shared_ptr<const CardNames> load(Database& db);

  // The card a player's name stands for: its English or Japanese name,
  // folded; either half of a split card, also "A/B" for "A // B". Nothing is
  // guessed: a name that is no card's, or several cards', finds none.
  Lookup find(QStringView name) const;

  // --- the name box: which distinct names hold a folded text

  // Ids of the distinct English and Japanese names, by their exact text.
  int englishId(std::string_view utf8) const { return idOf(englishIds_, utf8); }
  int japaneseId(std::string_view utf8) const { return idOf(japaneseIds_, utf8); }
  // One flag per distinct name: does its folded form hold `folded`?
  std::vector<char> englishHits(QStringView folded) const { return hits(englishFolded_, folded); }
  std::vector<char> japaneseHits(QStringView folded) const { return hits(japaneseFolded_, folded); }
  const QString& englishName(int id) const { return englishNames_[id]; }
  // The English names of the rows that carry a Japanese name.
  const std::vector<int>& englishOfJapanese(int id) const { return englishOfJapanese_[size_t(id)]; }

 private:
  using Ids = std::unordered_map<std::string_view, int>;
  static int idOf(const Ids& ids, std::string_view utf8) {
    const auto it = ids.find(utf8);
    return it == ids.end() ? -1 : it->second;
  }
  static std::vector<char> hits(const QStringList& folded, QStringView text);
  // A name not seen before: its id.
  int addName(std::vector<QByteArray>& texts, Ids& ids, QStringList& shown, QStringList& folded,
              const QString& name);
  void index(const QString& folded, const QString& name, int card, QHash<QString, QList<int>>& byFold);

  std::vector<Card> cards_;
  // Folded full names and folded halves of split cards, to card indexes.
  QHash<QString, QList<int>> byEnglish_, byJapanese_, byHalf_;
  qsizetype longestKey_ = 0;  // the longest key of the three

  std::vector<QByteArray> englishTexts_, japaneseTexts_;  // the keys of the id maps point here
  Ids englishIds_, japaneseIds_;
  std::vector<std::vector<int>> englishOfJapanese_;
  QStringList englishNames_, japaneseNames_, englishFolded_, japaneseFolded_;
};

}  // namespace tv

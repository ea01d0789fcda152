// The card master's names, read and folded once a run: what the name box
// filters the card list by, and what the names of a deck list pasted as text
// are looked up in.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <span>
#include <string_view>
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

  // Ids of the distinct English and Japanese names, by their exact text (-1: none).
  int englishId(std::string_view utf8) const { return english_.id(utf8); }
  int japaneseId(std::string_view utf8) const { return japanese_.id(utf8); }
  // One flag per distinct name: does its folded form hold `folded`?
  std::vector<char> englishHits(QStringView folded) const { return english_.hits(folded); }
  std::vector<char> japaneseHits(QStringView folded) const { return japanese_.hits(folded); }
  QString englishName(int id) const {
    const std::string_view text = english_.text(id);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
  }
  // The English names of the rows that carry a Japanese name.
  std::span<const int> englishOfJapanese(int id) const {
    return std::span<const int>(englishOfJapanese_)
        .subspan(size_t(englishOfJapaneseStarts_[size_t(id)]),
                 size_t(englishOfJapaneseStarts_[size_t(id) + 1] - englishOfJapaneseStarts_[size_t(id)]));
  }

 private:
  // The distinct names of one language, each held once as the card master
  // holds it and once folded, the folded forms one after another (a search
  // of the whole finds every name that holds a text) and in their order (a
  // folded name is found by halving).
  struct Names {
    QByteArray utf8;
    std::vector<qsizetype> textStarts;  // of each name in `utf8`
    QString folded;
    std::vector<qsizetype> starts;  // of each name in `folded`
    std::vector<int> byText, byFolded;

    int count() const { return int(starts.size()); }
    std::string_view text(int id) const;
    QStringView foldedAt(int id) const;
    int id(std::string_view utf8) const;
    std::vector<char> hits(QStringView text) const;
    // The ids whose folded form is `key`.
    std::vector<int> withFolded(QStringView key) const;
    // Once every name is in: the orders to search them by.
    void sort();
  };
  class Reader;
  // The cards whose English name, Japanese name or half of a split card folds to `key`.
  enum class Kind { English, Japanese, Half };
  std::vector<int> cardsOf(const QString& key, Kind kind) const;

  std::vector<Card> cards_;
  Names english_, japanese_;
  std::vector<int> cardOfEnglish_;
  std::vector<int> englishOfJapanese_,
      englishOfJapaneseStarts_;  // of Japanese name j: from starts[j] to starts[j + 1]
  // Folded halves of split cards, to card indexes.
  QHash<QString, QList<int>> byHalf_;
  qsizetype longestKey_ = 0;  // the longest folded name or half
};

}  // namespace tv

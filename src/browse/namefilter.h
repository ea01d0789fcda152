// The name box's filter: a card passes when its English or its Japanese name,
// folded (text/fold.h), holds the folded text typed. A predicate of its own
// over (NameE, NameN), so that any way of running the search can apply it.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "carddb/cardnames.h"

namespace tv {

class NameFilter {
 public:
  NameFilter(std::shared_ptr<const CardNames> names, QStringView typed);

  // Nothing to filter by: the text folds to nothing (empty, spaces, "ー").
  bool empty() const { return folded_.isEmpty(); }

  // The exact English names of every row that may match, when there are
  // at most `limit`: an index can find those rows without reading the rest.
  std::optional<QStringList> candidateNames(int limit) const;

  // The names as UTF-8, as the card master holds them (Null as empty).
  bool matches(std::string_view nameE, std::string_view nameN) const {
    return englishMatches(nameE) || japaneseMatches(nameN);
  }
  bool englishMatches(std::string_view nameE) const { return englishHit(englishIdOf(*names_, nameE)); }
  bool japaneseMatches(std::string_view nameN) const { return japaneseHit(japaneseIdOf(*names_, nameN)); }

  // The same by the ids of the names in cardNames() (-1: a name it does not hold).
  const std::shared_ptr<const CardNames>& cardNames() const { return names_; }
  static int englishIdOf(const CardNames& names, std::string_view nameE) { return names.englishId(nameE); }
  static int japaneseIdOf(const CardNames& names, std::string_view nameN) {
    return nameN.empty() ? -1 : names.japaneseId(nameN);
  }
  bool englishHit(int id) const { return id >= 0 && englishHits_[size_t(id)]; }
  bool japaneseHit(int id) const { return id >= 0 && japaneseHits_[size_t(id)]; }

 private:
  std::shared_ptr<const CardNames> names_;
  QString folded_;
  std::vector<char> englishHits_, japaneseHits_;
};

}  // namespace tv

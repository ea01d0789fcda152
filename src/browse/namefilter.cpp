#include "browse/namefilter.h"

#include "text/fold.h"

namespace tv {

NameFilter::NameFilter(std::shared_ptr<const CardNames> names, QStringView typed)
    : names_(std::move(names)), folded_(foldName(typed)) {
  if (empty()) return;
  englishHits_ = names_->englishHits(folded_);
  japaneseHits_ = names_->japaneseHits(folded_);
}

std::optional<QStringList> NameFilter::candidateNames(int limit) const {
  std::vector<char> take(englishHits_);
  for (size_t j = 0; j < japaneseHits_.size(); ++j)
    if (japaneseHits_[j])
      for (int e : names_->englishOfJapanese(int(j))) take[size_t(e)] = 1;
  QStringList out;
  for (size_t e = 0; e < take.size(); ++e) {
    if (!take[e]) continue;
    if (out.size() == limit) return std::nullopt;
    out << names_->englishName(int(e));
  }
  return out;
}

}  // namespace tv

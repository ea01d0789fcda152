#include "browse/namefilter.h"

#include "text/fold.h"

namespace tv {

NameFilter::NameFilter(std::shared_ptr<const CardNames> names, QStringView typed)
    : names_(std::move(names)), folded_(foldName(typed)) {
  if (empty()) return;
  englishHits_ = names_->englishHits(folded_);
  japaneseHits_ = names_->japaneseHits(folded_);
}

}  // namespace tv

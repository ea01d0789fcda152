#include "text/collate.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>

namespace tv {
namespace {

const icu::Collator* collator() {
  thread_local std::unique_ptr<icu::Collator> c = [] {
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(icu::Locale::getJapanese(), err));
    if (U_FAILURE(err)) made.reset();
    return made;
  }();
  return c.get();
}

}  // namespace

int compareJapanese(QStringView a, QStringView b) {
  const icu::Collator* c = collator();
  if (!c) return a.compare(b);  // without ICU's data: code point order
  UErrorCode err = U_ZERO_ERROR;
  const UCollationResult r = c->compare(reinterpret_cast<const UChar*>(a.utf16()), int32_t(a.size()),
                                        reinterpret_cast<const UChar*>(b.utf16()), int32_t(b.size()), err);
  return U_FAILURE(err) ? a.compare(b) : int(r);
}

void sortJapanese(QStringList& texts) {
  std::stable_sort(texts.begin(), texts.end(),
                   [](const QString& a, const QString& b) { return compareJapanese(a, b) < 0; });
}

}  // namespace tv

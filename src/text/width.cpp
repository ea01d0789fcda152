#include "text/width.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace tv {
namespace {

// Building a transliterator parses its rules: build each once per thread.
QString transliterate(const char* id, QStringView text) {
  thread_local std::unique_ptr<icu::Transliterator> toFull, toHalf;
  auto& slot = id[0] == 'H' ? toFull : toHalf;
  if (!slot) {
    UErrorCode err = U_ZERO_ERROR;
    slot.reset(icu::Transliterator::createInstance(id, UTRANS_FORWARD, err));
    if (U_FAILURE(err)) slot.reset();
  }
  if (!slot) return text.toString();
  icu::UnicodeString s(reinterpret_cast<const UChar*>(text.utf16()), static_cast<int32_t>(text.size()));
  slot->transliterate(s);
  return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}

}  // namespace

QString toFullWidth(QStringView text) { return transliterate("Halfwidth-Fullwidth", text); }
QString toHalfWidth(QStringView text) { return transliterate("Fullwidth-Halfwidth", text); }

}  // namespace tv

#include "text/shiftjis.h"

#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

#include "text/fold.h"

namespace tv {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// "windows-31j" is ICU's name for exactly the CP932 table; failures stop
// the conversion instead of writing '?' or U+FFFD.
Converter openStrict(UConverterFromUCallback fromU = UCNV_FROM_U_CALLBACK_STOP,
                     const void* context = nullptr) {
  UErrorCode err = U_ZERO_ERROR;
  Converter c(ucnv_open("windows-31j", &err));
  if (U_FAILURE(err)) return nullptr;
  ucnv_setFromUCallBack(c.get(), fromU, context, nullptr, nullptr, &err);
  ucnv_setToUCallBack(c.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
  return U_SUCCESS(err) ? std::move(c) : nullptr;
}

char16_t cp932Form(char16_t c) {
  switch (c) {
    case u'\u301C':
      return u'\uFF5E';
    case u'\u2212':
      return u'\uFF0D';
    case u'\u2016':
      return u'\u2225';
    case u'\u00A2':
      return u'\uFFE0';
    case u'\u00A3':
      return u'\uFFE1';
    case u'\u00AC':
      return u'\uFFE2';
    case u'\u2014':
      return u'\u2015';
    default:
      return c;
  }
}

// The first character the converter cannot hold, found one at a time.
QString firstUnencodable(UConverter* c, QStringView text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    char buf[8];
    UErrorCode err = U_ZERO_ERROR;
    ucnv_resetFromUnicode(c);
    ucnv_fromUChars(c, buf, sizeof buf, reinterpret_cast<const UChar*>(text.data() + i),
                    static_cast<int32_t>(len), &err);
    if (U_FAILURE(err)) return text.mid(i, len).toString();
    i += len - 1;
  }
  return {};
}

QString withCp932Forms(QStringView text) {
  QString src(text.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < text.size(); ++i) src[i] = QChar(cp932Form(text[i].unicode()));
  return src;
}

// Converts all of `src`; the output grows when the converter asks for more room.
QByteArray convert(UConverter* c, const QString& src, UErrorCode& err) {
  QByteArray out(UCNV_GET_MAX_BYTES_FOR_STRING(src.size(), ucnv_getMaxCharSize(c)), Qt::Uninitialized);
  int32_t n =
      ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()),
                      reinterpret_cast<const UChar*>(src.utf16()), static_cast<int32_t>(src.size()), &err);
  if (err == U_BUFFER_OVERFLOW_ERROR) {
    err = U_ZERO_ERROR;
    out.resize(n);
    n = ucnv_fromUChars(c, out.data(), static_cast<int32_t>(out.size()),
                        reinterpret_cast<const UChar*>(src.utf16()), static_cast<int32_t>(src.size()), &err);
  }
  if (U_SUCCESS(err)) out.truncate(n);
  return out;
}

}  // namespace

QString foldToShiftJis(QStringView text) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
  if (ascii || encodeShiftJis(text)) return text.toString();
  // Composed first, so that a letter and its combining mark fold as one.
  const QString composed = text.toString().normalized(QString::NormalizationForm_C);
  QString out;
  for (qsizetype i = 0; i < composed.size(); ++i) {
    const qsizetype len = composed[i].isHighSurrogate() && i + 1 < composed.size() ? 2 : 1;
    const QStringView one = QStringView(composed).mid(i, len);
    i += len - 1;
    if (encodeShiftJis(one)) {
      out += one;
      continue;
    }
    const QString folded = latinToAscii(one);
    out += !folded.isEmpty() && encodeShiftJis(folded) ? QStringView(folded) : one;
  }
  return out;
}

std::optional<QByteArray> encodeShiftJis(QStringView text, QString* badChar) {
  Converter c = openStrict();
  if (!c) return std::nullopt;
  const QString src = withCp932Forms(text);
  if (src.isEmpty()) return QByteArray("");
  UErrorCode err = U_ZERO_ERROR;
  QByteArray out = convert(c.get(), src, err);
  if (U_FAILURE(err)) {
    if (badChar) *badChar = firstUnencodable(c.get(), src);
    return std::nullopt;
  }
  return out;
}

QByteArray encodeShiftJisHtml(QStringView text) {
  Converter c = openStrict(UCNV_FROM_U_CALLBACK_ESCAPE, UCNV_ESCAPE_XML_DEC);
  const QString src = withCp932Forms(text);
  if (!c || src.isEmpty()) return QByteArray("");
  UErrorCode err = U_ZERO_ERROR;
  QByteArray out = convert(c.get(), src, err);
  return U_SUCCESS(err) ? out : QByteArray();
}

std::optional<QString> decodeShiftJis(QByteArrayView bytes) {
  Converter c = openStrict();
  if (!c) return std::nullopt;
  if (bytes.isEmpty()) return QString("");
  // A CP932 byte or pair never gives more than one UTF-16 unit.
  QString out(bytes.size(), Qt::Uninitialized);
  UErrorCode err = U_ZERO_ERROR;
  const int32_t n =
      ucnv_toUChars(c.get(), reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                    bytes.data(), static_cast<int32_t>(bytes.size()), &err);
  if (U_FAILURE(err)) return std::nullopt;
  out.truncate(n);
  return out;
}

}  // namespace tv

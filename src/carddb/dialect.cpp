#include "carddb/dialect.h"

#include <QRegularExpression>

namespace tv {
namespace {

// Decodes one UTF-8 code point at s[i] and advances i. Malformed bytes are
// taken one at a time so matching never stalls.
char32_t nextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int len = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 1;
  if (i + len > s.size()) len = 1;
  char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1F) : len == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += len;
  return cp;
}

char32_t foldAscii(char32_t c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

}  // namespace

bool jetLike(std::string_view pattern, std::string_view text) {
  size_t p = 0, t = 0;
  // Position after the last '*' seen and the text position it is retried from.
  size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      size_t pNext = p;
      const char32_t pc = nextCodePoint(pattern, pNext);
      if (pc == U'*') {
        starP = pNext;
        starT = t;
        p = pNext;
        continue;
      }
      size_t tNext = t;
      const char32_t tc = nextCodePoint(text, tNext);
      if (pc == U'?' || foldAscii(pc) == foldAscii(tc)) {
        p = pNext;
        t = tNext;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    nextCodePoint(text, starT);  // let the last '*' swallow one more character
    t = starT;
    p = starP;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

QString adaptDialect(const QString& sql) {
  static const QRegularExpression deleteColumns(
      QStringLiteral(R"(^\s*DELETE\s+(?!FROM\b)[\w.\[\]]+(\s*,\s*[\w.\[\]]+)*\s+FROM\s)"),
      QRegularExpression::CaseInsensitiveOption);
  const auto m = deleteColumns.match(sql);
  if (!m.hasMatch()) return sql;
  return QStringLiteral("DELETE FROM ") + sql.mid(m.capturedEnd());
}

}  // namespace tv

#pragma once

#include <QString>

namespace tv {

// A value as an SQL string literal: in single quotes, each single quote
// inside doubled. The only way the program writes a string into SQL.
inline QString sqlLiteral(QStringView value) {
  QString out;
  out.reserve(value.size() + 2);
  out += u'\'';
  for (QChar c : value) {
    if (c == u'\'') out += u'\'';
    out += c;
  }
  out += u'\'';
  return out;
}

}  // namespace tv

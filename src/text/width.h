// Width conversion for the fixed-pitch layouts: Latin letters, digits, signs,
// the space and katakana between their half-width and full-width forms.
#pragma once

#include <QString>

namespace tv {

QString toFullWidth(QStringView text);
QString toHalfWidth(QStringView text);

}  // namespace tv

#include "core/fonts.h"

#include <QFont>
#include <QStringList>

namespace tv {

void installFontSubstitutions() {
  QFont::insertSubstitutions(
      QStringLiteral("ＭＳ ゴシック"),
      {QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"), QStringLiteral("VL Gothic")});
  QFont::insertSubstitutions(
      QStringLiteral("ＭＳ Ｐゴシック"),
      {QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic")});
}

}  // namespace tv

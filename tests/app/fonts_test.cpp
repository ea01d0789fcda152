#include "app/core/fonts.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

// The fixed-pitch layouts count a full-width character as two columns.
TEST(Fonts, FixedPitchFaceIsAnInstalledCjkFaceWithDoubleWidthKanji) {
  tv::installFontSubstitutions();
  QFont fixed(QStringLiteral("ＭＳ ゴシック"));
  fixed.setPointSize(9);
  const QFontInfo info(fixed);
  EXPECT_TRUE(info.family().contains(QStringLiteral("CJK")) ||
              info.family().contains(QStringLiteral("Gothic")))
      << info.family().toStdString();
  const QFontMetrics m(fixed);
  EXPECT_EQ(m.horizontalAdvance(QStringLiteral("山")), 2 * m.horizontalAdvance(QStringLiteral("a")));

  const QFontInfo proportional(QFont(QStringLiteral("ＭＳ Ｐゴシック")));
  EXPECT_TRUE(proportional.family().contains(QStringLiteral("CJK")) ||
              proportional.family().contains(QStringLiteral("Gothic")))
      << proportional.family().toStdString();
}

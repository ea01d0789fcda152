#include "app/core/fonts.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>

// The fixed-pitch layouts count a full-width character as two columns.
TEST(Fonts, FixedPitchFaceIsAnInstalledCjkFaceWithDoubleWidthKanji) {
  tv::installFontSubstitutions();
  for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック"}) {
    const QString family = QFontInfo(QFont(QString::fromUtf8(face))).family();
    EXPECT_TRUE(family.contains("CJK") || family.contains("Gothic")) << family.toStdString();
  }
  QFont fixed(QStringLiteral("ＭＳ ゴシック"));
  fixed.setPointSize(9);
  const QFontMetrics m(fixed);
  EXPECT_EQ(m.horizontalAdvance(QStringLiteral("山")), 2 * m.horizontalAdvance(QStringLiteral("a")));
}

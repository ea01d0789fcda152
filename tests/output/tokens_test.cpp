#include "output/tokens.h"

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/printers.h"

namespace {

TEST(ChooseToken, FindsTheLineInNameOrderWithItsText) {
  tvtest::CardDbFixture f;
  f.addToken("ゾンビ", "黒", "速攻", 2, 2);
  f.addToken("エレメンタル", "赤", QVariant(), "*", QVariant());
  f.addToken("兵士", "白", "警戒\r\n飛行", 1, 1);
  f.addToken("ドラゴン", QVariant().toString(), QVariant(), QVariant(), QVariant());

  // NameN order: エレメンタル, ゾンビ, ドラゴン, 兵士
  auto third = tv::ChooseToken(f.db(), 2);
  ASSERT_TRUE(third);
  EXPECT_EQ(third->token.NameN, "ドラゴン");
  EXPECT_EQ(third->token.PowerToughness, "/");
  EXPECT_EQ(third->text, "ドラゴン\r\n\r\n色 ()\r\n\r\n\r\n\r\n[/]\r\n");

  auto soldier = tv::ChooseToken(f.db(), 3);
  ASSERT_TRUE(soldier);
  EXPECT_EQ(soldier->text, "兵士\r\n\r\n色 (白)\r\n\r\n警戒\r\n飛行\r\n\r\n[1/1]\r\n");
  EXPECT_EQ(QStringList({soldier->token.Color, soldier->token.TextN, soldier->token.PowerToughness}),
            QStringList({"白", "警戒\r\n飛行", "1/1"}));

  EXPECT_EQ(tv::ChooseToken(f.db(), 0)->token.PowerToughness, "*/");
  EXPECT_FALSE(tv::ChooseToken(f.db(), 4));
  EXPECT_FALSE(tv::ChooseToken(f.db(), -1));  // no selection
}

}  // namespace

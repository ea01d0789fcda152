#include "output/htmldecklist.h"

#include <gtest/gtest.h>

#include "deck/decklist.h"
#include "support/fixtures.h"
#include "support/printers.h"

namespace tv {
namespace {

const QString kHead =
    "\r\n<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
    "charset=Shift_JIS\"><TITLE>%1</TITLE>"
    "</HEAD>\r\n"
    "<BODY><TABLE CELLSPACING= 0 CELLPADDING= 1 BORDER= 1>\r\n"
    "<TR BGCOLOR=#FFFF33><TD COLSPAN = 6><B><FONT COLOR=#AA3333 "
    "SIZE=\"+2\"><I>『%1』</I></B></FONT></TD></TR>\r\n";
const QString kHeaderRow =
    "<TR BGCOLOR=#FFFFAA><TD><B>Num&nbsp</TD><TD><B>English Name&nbsp</TD><TD><B>Japanese Name&nbsp</TD>"
    "<TD><B>Cost&nbsp</TD><TD><B>E.P.&nbsp</TD><TD><B>Rare</TD></TR>\r\n";
const QString kEnd = "</TABLE>\r\n</BODY></HTML>\r\n\r\n";

QString countRow(const QString& half, int n) {
  return "<TR BGCOLOR=#FFFF88><TD COLSPAN = 6><B>" + half + QString::number(n) + "枚</B></TD></TR>\r\n";
}
QString heading(const QString& title) {
  return "<TR BGCOLOR=#FFFFBB><TD COLSPAN = 6><I>&nbsp[" + title + "]</I></TD></TR>\r\n";
}

class HtmlTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }
  tvtest::CardDbFixture f;
};

TEST_F(HtmlTest, EmptyDeckIsTheHeadAndBothHalvesWithNoRows) {
  EXPECT_EQ(HtmlDeckList(f.db(), true).page(""),
            kHead.arg("") + countRow("メイン", 0) + kHeaderRow + countRow("サイド", 0) + kHeaderRow + kEnd);
}

TEST_F(HtmlTest, SmallDeckWithAndWithoutCardText) {
  f.addSet(3, "Odd", "XY");
  f.addCard({"XY", "<Odd> & Co", "変な<カード>", "Q", "A", 1, "1", "R", "x < y & z", {}, 5, 5});
  f.addCard({"ZZ", "Unlisted", "", "W", "C", 1, "W", "C", {}, {}, 1, 1});  // expansion not in tbl_CardSet
  for (auto [set, name, copies] : {std::tuple{"8E", "Serra Angel", 1},
                                   {"8E", "Forest", 3},
                                   {"XY", "<Odd> & Co", 1},
                                   {"OD", "Shadowmage Infiltrator", 2},
                                   {"8E", "Llanowar Elves", 4},
                                   {"ZZ", "Unlisted", 4}})
    f.addDeckRow(kMainDeckTable, set, name, QVariant(), copies);
  f.addDeckRow(kSideDeckTable, "8E", "Shock", QVariant(), 1);

  for (bool withText : {false, true}) {
    auto text = [withText](const QString& s) {
      return withText ? "<TR BGCOLOR=#FFFFFF><TD COLSPAN = 6>" + s + "</TD></TR>\r\n" : QString();
    };
    // Rows by colour code, then name; unknown colours white; no cost: the name spans the cost's cell.
    const QString expected =
        kHead.arg("My &lt;Deck&gt; &amp; Co") + countRow("メイン", 11) + kHeaderRow +
        heading("クリーチャー") +
        "<TR BGCOLOR=#DCFFDC><TD>4</TD><TD>Llanowar "
        "Elves</TD><TD>ラノワールのエルフ</TD><TD>G</TD><TD>8E</TD>"
        "<TD>C</TD></TR>\r\n" +
        text("クリーチャー エルフ・ドルイド<br>\r\n(Ｔ)：(緑)を加える。\r\n[1/1]\r\n") +
        "<TR BGCOLOR=#FFFF78><TD>2</TD><TD>Shadowmage Infiltrator</TD><TD>影魔道士の浸透者</TD><TD>1UB</TD>"
        "<TD>OD</TD><TD>R</TD></TR>\r\n" +
        text("クリーチャー <br>\r\n畏怖\r\n[1/3]\r\n") +
        "<TR BGCOLOR=#F5F5F5><TD>1</TD><TD>Serra Angel</TD><TD>セラの天使</TD><TD>3WW</TD><TD>8E</TD>"
        "<TD>R</TD></TR>\r\n" +
        text("クリーチャー 天使<br>\r\n飛行、警戒\r\n[4/4]\r\n") + heading("アーティファクト") +
        "<TR BGCOLOR=#FFFFFF><TD>1</TD><TD>&lt;Odd&gt; &amp; Co</TD><TD>変な&lt;カード&gt;</TD><TD>1</TD>"
        "<TD>XY</TD><TD>R</TD></TR>\r\n" +
        text("アーティファクト<br>\r\nx &lt; y &amp; z\r\n") + heading("土地") +
        "<TR BGCOLOR=#F0DCA0><TD>3</TD><TD>Forest</TD><TD COLSPAN = 2>森</TD><TD>8E</TD><TD>C</TD></TR>\r\n" +
        text("土地<br>\r\n\r\n") + countRow("サイド", 1) + kHeaderRow + heading("インスタント") +
        "<TR "
        "BGCOLOR=#FFE6DC><TD>1</TD><TD>Shock</TD><TD>ショック</TD><TD>R</TD><TD>8E</TD><TD>C</TD></TR>\r\n" +
        text("インスタント<br>\r\n2点のダメージを与える。\r\n") + kEnd;
    EXPECT_EQ(HtmlDeckList(f.db(), withText).page("My <Deck> & Co"), expected) << withText;
  }
}

TEST(HtmlFile, IsShiftJisWithCharacterReferencesForWhatItCannotHold) {
  EXPECT_EQ(htmlFileBytes(u"<I>メイン Lim-Dûl 😀</I>\r\n"),
            QByteArray("<I>\x83\x81\x83\x43\x83\x93 Lim-D&#251;l &#128512;</I>\r\n"));
}

}  // namespace
}  // namespace tv

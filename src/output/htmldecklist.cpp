#include "output/htmldecklist.h"

#include "carddb/codes.h"
#include "deck/decklist.h"
#include "text/shiftjis.h"

namespace tv {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

const QString kHeaderRow = QStringLiteral(
    "<TR BGCOLOR=#FFFFAA><TD><B>Num&nbsp</TD><TD><B>English Name&nbsp</TD><TD><B>Japanese "
    "Name&nbsp</TD><TD><B>Cost&nbsp</TD><TD><B>E.P.&nbsp</TD><TD><B>Rare</TD></TR>");

// The colours of the card detail, as row tags; white for a colour code outside the seven.
QString rowTag(QStringView colour) {
  const ColorCode* c = findColor(colour);
  const QString rgb = c ? c->background.name().mid(1).toUpper() : QStringLiteral("FFFFFF");
  return QStringLiteral("<TR BGCOLOR=#") + rgb + u'>';
}

QString countRow(QStringView half, qint64 count) {
  return QStringLiteral("<TR BGCOLOR=#FFFF88><TD COLSPAN = 6><B>") + half.toString() +
         QString::number(count) + QStringLiteral("枚</B></TD></TR>") + kCrLf;
}

}  // namespace

QString htmlEscaped(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    if (c == u'&')
      out += QStringLiteral("&amp;");
    else if (c == u'<')
      out += QStringLiteral("&lt;");
    else if (c == u'>')
      out += QStringLiteral("&gt;");
    else
      out += c;
  }
  return out;
}

QString HtmlDeckList::page(const QString& rawTitle) {
  const QString title = htmlEscaped(rawTitle);
  CardCount = 0;
  SectionText.clear();
  for (const DeckSection& section : deckSections()) BuildHtmlSection(kMainDeckTable, section);

  // The encoding is declared before the first non-ASCII byte, the title's.
  QString text = kCrLf +
                 QStringLiteral(
                     "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                     "charset=Shift_JIS\"><TITLE>") +
                 title + QStringLiteral("</TITLE></HEAD>") + kCrLf;
  text += QStringLiteral("<BODY><TABLE CELLSPACING= 0 CELLPADDING= 1 BORDER= 1>") + kCrLf;
  text += QStringLiteral("<TR BGCOLOR=#FFFF33><TD COLSPAN = 6><B><FONT COLOR=#AA3333 SIZE=\"+2\"><I>『") +
          title + QStringLiteral("』</I></B></FONT></TD></TR>") + kCrLf;
  text += countRow(u"メイン", CardCount);
  text += kHeaderRow + kCrLf;
  text += SectionText;

  CardCount = 0;
  SectionText.clear();
  for (const DeckSection& section : deckSections()) BuildHtmlSection(kSideDeckTable, section);
  text += countRow(u"サイド", CardCount);
  text += kHeaderRow + kCrLf;
  text += SectionText;
  text += QStringLiteral("</TABLE>") + kCrLf;
  text += QStringLiteral("</BODY></HTML>") + kCrLf;
  return text + kCrLf;
}

void HtmlDeckList::BuildHtmlSection(const QString& table, const DeckSection& section) {
  const QString sql =
      QStringLiteral("SELECT ") + table +
      QStringLiteral(".CardMaisu, tbl_CardMst.CardSetEx, tbl_CardMst.NameE,") +
      QStringLiteral(
          " tbl_CardMst.NameN , tbl_CardMst.Color, tbl_CardMst.Cost, tbl_CardMst.TextN "
          ",tbl_CardMst.CAttack,tbl_CardMst.CDefence,tbl_CardMst.CType,") +
      QStringLiteral(" tbl_CardMst.Rare , tbl_CardMst.CardsetEx, tbl_CardMst.CardType, tbl_CardSet.Cardset") +
      QStringLiteral(" FROM (tbl_CardMst INNER JOIN ") + table +
      QStringLiteral(" ON (tbl_CardMst.CardSetEx = ") + table +
      QStringLiteral(".CardSetEx) AND (tbl_CardMst.NameE = ") + table + QStringLiteral(".NameE))") +
      QStringLiteral(" INNER JOIN tbl_CardSet ON tbl_CardMst.CardSetEx = tbl_CardSet.CardsetEx") +
      sectionWhere(section) + QStringLiteral(" ORDER BY tbl_CardMst.Color,tbl_CardMst.NameE");
  Recordset rs = db_.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
  if (rs.eof()) return;

  QString& out = SectionText;
  out += QStringLiteral("<TR BGCOLOR=#FFFFBB><TD COLSPAN = 6><I>&nbsp[") + section.title.toString() +
         QStringLiteral("]</I></TD></TR>") + kCrLf;
  auto cell = [&rs](QStringView name) { return htmlEscaped(rs.text(name)); };
  for (; !rs.eof(); rs.moveNext()) {
    out += rowTag(rs.text(u"Color"));
    out += QStringLiteral("<TD>") + cell(u"CardMaisu") + QStringLiteral("</TD>");
    out += QStringLiteral("<TD>") + cell(u"NameE") + QStringLiteral("</TD>");
    // A card without a cost (a land) gives its name the cost's cell too.
    if (rs.isNull(u"Cost"))
      out += QStringLiteral("<TD COLSPAN = 2>") + cell(u"NameN") + QStringLiteral("</TD>");
    else
      out += QStringLiteral("<TD>") + cell(u"NameN") + QStringLiteral("</TD><TD>") + cell(u"Cost") +
             QStringLiteral("</TD>");
    out += QStringLiteral("<TD>") + cell(u"CardSetEx") + QStringLiteral("</TD>");
    out += QStringLiteral("<TD>") + cell(u"Rare") + QStringLiteral("</TD></TR>") + kCrLf;

    if (withCardText_) {
      const QString type = rs.text(u"CardType");
      out += QStringLiteral("<TR BGCOLOR=#FFFFFF><TD COLSPAN = 6>");
      if (const CardTypeCode* code = findCardType(type)) {
        out += code->labelJa;
        if (isCreatureType(type)) out += cell(u"CType");
        out += QStringLiteral("<br>") + kCrLf;
      }
      out += cell(u"TextN") + kCrLf;
      if (isCreatureType(type)) out += u'[' + cell(u"CAttack") + u'/' + cell(u"CDefence") + u']' + kCrLf;
      out += QStringLiteral("</TD></TR>") + kCrLf;
    }
    CardCount = addCopies(CardCount, rs.field(u"CardMaisu").toLongLong());
  }
}

QByteArray htmlFileBytes(QStringView page) { return encodeShiftJisHtml(page); }

}  // namespace tv

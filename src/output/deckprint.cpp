#include "output/deckprint.h"

#include "deck/decklist.h"
#include "text/width.h"

namespace tv {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A field's text and length, or nothing when it is Null: a Null value fails
// every length test and so always takes the unpadded form.
struct FieldText {
  QString text;
  bool null;
  bool fits(qsizetype width) const { return !null && text.size() <= width; }
};

FieldText fieldText(const Recordset& rs, QStringView name) {
  const QVariant v = rs.field(name);
  return {v.toString(), !v.isValid()};
}

QString blanks(qsizetype n) { return QString(n > 0 ? n : 0, u' '); }

}  // namespace

QString DeckPrintText::RefreshPrintPreview() {
  PrintText.clear();
  CardCount = 0;
  PrintText = QStringLiteral(" 数 ");
  if (options_.NameE) PrintText += QStringLiteral("/ 英語名 ");
  if (options_.NameN) PrintText += QStringLiteral("/ 日本語名 ");
  if (options_.Cost) PrintText += QStringLiteral("/ コスト ");
  if (options_.Rare) PrintText += QStringLiteral("/ レアリティ ");
  if (options_.CardSetEx) PrintText += QStringLiteral("/ エキスパンション ");
  PrintText += kCrLf;
  for (const DeckSection& section : deckSections()) BuildDeckSectionText(kMainDeckTable, section);
  QString text =
      QStringLiteral("★メイン") + QString::number(CardCount) + QStringLiteral("枚") + kCrLf + PrintText;

  if (options_.Side) {
    PrintText.clear();
    CardCount = 0;
    for (const DeckSection& section : deckSections()) BuildDeckSectionText(kSideDeckTable, section);
    text += kCrLf + QStringLiteral("★サイドボード") + QString::number(CardCount) + QStringLiteral("枚") +
            kCrLf + PrintText;
  }
  if (options_.ManaCurve) {
    PrintText.clear();
    BuildManaCurveText();
    text += kCrLf + QStringLiteral("【マナカーブ】") + kCrLf + PrintText;
  }
  return text;
}

void DeckPrintText::BuildDeckSectionText(const QString& table, const DeckSection& section) {
  const QString sql = QStringLiteral("SELECT ") + table +
                      QStringLiteral(".CardMaisu, tbl_CardMst.CardSetEx, tbl_CardMst.NameE,") +
                      QStringLiteral(" tbl_CardMst.NameN , tbl_CardMst.Color, tbl_CardMst.Cost,") +
                      QStringLiteral(" tbl_CardMst.Rare , tbl_CardMst.CardsetEx, tbl_CardMst.CardType") +
                      QStringLiteral(" FROM tbl_CardMst INNER JOIN ") + table +
                      QStringLiteral(" ON (tbl_CardMst.CardSetEx = ") + table +
                      QStringLiteral(".CardSetEx) AND (tbl_CardMst.NameE = ") + table +
                      QStringLiteral(".NameE)") + sectionWhere(section) +
                      QStringLiteral(" ORDER BY tbl_CardMst.NameE");
  Recordset rs = db_.openRecordset(sql, RecordsetType::Snapshot, dbForwardOnly);
  if (rs.eof()) return;
  PrintText += QStringLiteral(" [") + section.title.toString() + u']' + kCrLf;
  for (; !rs.eof(); rs.moveNext()) {
    CardCount = addCopies(CardCount, rs.field(u"CardMaisu").toLongLong());
    appendCardLine(rs);
  }
}

void DeckPrintText::appendCardLine(const Recordset& rs) {
  QString& out = PrintText;
  const bool pad = options_.Space;

  const FieldText copies = fieldText(rs, u"CardMaisu");
  if (pad && copies.fits(2))
    out += QStringLiteral("  ") + copies.text + blanks(2 - copies.text.size()) + u' ';
  else
    out += copies.text + u' ';

  if (options_.NameE) {
    // The pad counts the name as stored; only the padded form is made half-width.
    const FieldText name = fieldText(rs, u"NameE");
    if (pad && name.fits(20))
      out += toHalfWidth(name.text) + blanks(20 - name.text.size()) + u' ';
    else
      out += name.text + u' ';
  }
  if (options_.NameE && options_.NameN) out += u'/';
  if (options_.NameN) {
    // Each Japanese character takes two columns.
    const FieldText name = fieldText(rs, u"NameN");
    if (pad && name.fits(12))
      out += name.text + blanks((12 - name.text.size()) * 2) + u' ';
    else
      out += name.text + u' ';
  }
  if (options_.Cost) {
    // A Null cost (lands) is six blanks, padded or not.
    const FieldText cost = fieldText(rs, u"Cost");
    if (pad && cost.fits(5))
      out += cost.text + blanks(5 - cost.text.size()) + u' ';
    else if (cost.null)
      out += blanks(5) + u' ';
    else
      out += cost.text + u' ';
  }
  if (options_.Rare) out += rs.text(u"Rare") + u' ';
  if (options_.CardSetEx) out += rs.text(u"CardSetEx") + u' ';
  out += kCrLf;
}

void DeckPrintText::BuildManaCurveText() {
  qint64 buckets[8] = {};
  Recordset rs = db_.openRecordset(
      QStringLiteral("SELECT wtbl_DecList.CardMaisu, tbl_CardMst.NumCost") +
          QStringLiteral(" FROM tbl_CardMst INNER JOIN wtbl_DecList ON (tbl_CardMst.CardSetEx = "
                         "wtbl_DecList.CardSetEx) AND (tbl_CardMst.NameE = wtbl_DecList.NameE)"),
      RecordsetType::Snapshot, dbForwardOnly);
  for (; !rs.eof(); rs.moveNext()) {
    const QVariant cost = rs.field(u"NumCost");
    bool number = false;
    const double value = cost.toDouble(&number);
    if (!cost.isValid() || !number) continue;
    int bucket = -1;
    for (int c = 0; c <= 6 && bucket < 0; ++c)
      if (value == c) bucket = c;
    if (bucket < 0 && value > 6) bucket = 7;
    // Negative costs and fractions below 6 have no bar.
    if (bucket >= 0) buckets[bucket] = addCopies(buckets[bucket], rs.field(u"CardMaisu").toLongLong());
  }
  static const QStringView labels[8] = {u"０=", u"１=", u"２=", u"３=", u"４=", u"５=", u"６=", u"６<"};
  for (int b = 0; b < 8; ++b) {
    PrintText += labels[b];
    const qint64 n = buckets[b];
    if (n > 0) PrintText += QString(qsizetype(qMin(n, kMaxCurveSquares)), u'□');
    if (n > kMaxCurveSquares) PrintText += u'…' + QString::number(n);
    if (b < 7) PrintText += kCrLf;
  }
}

}  // namespace tv

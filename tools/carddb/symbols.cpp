#include "carddb/symbols.h"

#include <QRegularExpression>
#include <algorithm>

namespace tvtools {
namespace {

QString fullWidthDigits(QStringView digits) {
  QString out;
  for (QChar c : digits) out += QChar(c.unicode() - u'0' + 0xFF10);
  return out;
}

// One part of a symbol ("G" of {G/P}); empty when it is none WHISPER writes.
QString symbolPart(QStringView part) {
  if (!part.isEmpty() &&
      std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
    return fullWidthDigits(part);
  if (part.size() != 1) return {};
  // WHISPER's snow symbol is 氷 alone, and Phyrexian mana Φ.
  static constexpr std::pair<char16_t, char16_t> kWords[] = {{u'W', u'白'}, {u'U', u'青'}, {u'B', u'黒'},
                                                             {u'R', u'赤'}, {u'G', u'緑'}, {u'C', u'◇'},
                                                             {u'S', u'氷'}, {u'P', u'Φ'}};
  for (const auto& [letter, word] : kWords)
    if (part.front() == letter) return QString(QChar(word));
  if (QStringView(u"TQEXYZ").contains(part.front())) return QChar(part.front().unicode() - u'A' + 0xFF21);
  return {};
}

QString symbol(QStringView inner) {
  QStringList parts;
  for (QStringView part : inner.split(u'/')) {
    const QString p = symbolPart(part);
    if (p.isEmpty()) return {};
    parts << p;
  }
  return u'(' + parts.join(u'/') + u')';
}

}  // namespace

QString inWhisperNotation(QStringView text, QSet<QString>* unknown) {
  QString out;
  out.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size()) {
    const qsizetype open = text.indexOf(u'{', i);
    const qsizetype close = open < 0 ? -1 : text.indexOf(u'}', open);
    if (close < 0) {
      out += text.mid(i);
      break;
    }
    out += text.mid(i, open - i);
    const QStringView whole = text.mid(open, close - open + 1);
    const QString s = symbol(whole.mid(1, whole.size() - 2));
    if (s.isEmpty() && unknown) unknown->insert(whole.toString());
    out += s.isEmpty() ? whole.toString() : s;
    i = close + 1;
  }
  out.replace(QChar(0x2014), QChar(0x2015));

  // Loyalty costs: "+1：", "−3：", "0:", "−Ｘ：" at the head of a line.
  static const QRegularExpression loyalty(QStringLiteral("^([+＋−－-]?)([0-9０-９]+|[XＸ])[：:]"),
                                          QRegularExpression::MultilineOption);
  static const QRegularExpression bullet(QStringLiteral("^• ?"), QRegularExpression::MultilineOption);
  QString result;
  qsizetype last = 0;
  for (auto it = loyalty.globalMatch(out); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    QString sign = m.captured(1);
    if (sign == u"−" || sign == u"－") sign = QStringLiteral("-");
    if (sign == u"＋") sign = QStringLiteral("+");
    result += QStringView(out).mid(last, m.capturedStart() - last);
    result += u'[' + sign + m.captured(2).normalized(QString::NormalizationForm_KC) + QStringLiteral("]：");
    last = m.capturedEnd();
  }
  result += QStringView(out).mid(last);
  result.replace(bullet, QStringLiteral("・"));
  return result;
}

}  // namespace tvtools

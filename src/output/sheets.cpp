#include "output/sheets.h"

#include <algorithm>

#include "text/width.h"

namespace tv {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString blanks(qsizetype n) { return QString(std::max<qsizetype>(n, 0), u' '); }

// The text, then full-width blanks up to `chars` characters; a longer text is
// cut so the line keeps its width.
QString fullWidthField(const QString& text, qsizetype chars) {
  return text.left(chars) + QString(std::max<qsizetype>(chars - text.size(), 0), kFullWidthBlank);
}

// Right-aligned in the copy's 32 columns; a longer text keeps its start.
QString rightAligned(const QString& text) {
  return text.size() > kCopyColumns ? text.left(kCopyColumns) : blanks(kCopyColumns - text.size()) + text;
}

}  // namespace

QStringList LayoutTextRows(const QVariant& text) {
  const bool null = !text.isValid();
  const QString t = null ? QString() : text.toString();
  QStringList rows;
  qsizetype start = 0;
  for (int r = 0; r < kTextRows; ++r) {
    if (null) {
      rows << QString(kRowChars, kFullWidthBlank);
      continue;
    }
    const qsizetype end = std::min(start + kRowChars, t.size());
    qsizetype lf = start;
    while (lf < end && t[lf] != u'\n') ++lf;
    QString content;
    if (lf < end) {
      // A lone LF ends the row too, without costing the character before it.
      content = t.mid(start, lf - start);
      if (content.endsWith(u'\r')) content.chop(1);
      start = lf + 1;
    } else if (end - start == kRowChars && t[end - 1] == u'\r' && end < t.size() && t[end] == u'\n') {
      // Sixteen characters ending on the CR of a break: the break ends this row.
      content = t.mid(start, kRowChars - 1);
      start = end + 1;
    } else {
      content = t.mid(start, kRowChars);
      start = end;
    }
    // Padded after the conversion, which may join a half-width kana with its
    // voicing mark, so the row stays 16 characters wide.
    rows << fullWidthField(toFullWidth(content), kRowChars);
  }
  return rows;
}

QStringList proxyCopyLines(const CurrentCard& card) {
  QStringList lines;
  // The cost ends at column 32; a name too long for it is cut, never the cost.
  const QString cost = QStringLiteral(" [") + card.Cost.toString() + u']';
  const QString name = toHalfWidth(card.NameE);
  const qsizetype gap = kCopyColumns - cost.size() - card.NameE.size();
  QString first = gap >= 0 ? name + blanks(gap) + cost : name.left(kCopyColumns - cost.size()) + cost;
  first.truncate(kCopyColumns);
  lines << first << blanks(kCopyColumns);

  constexpr qsizetype kTypeColumns = 28;
  lines << card.TypeNameE.left(kTypeColumns) + blanks(kTypeColumns - card.TypeNameE.size()) + card.CardSetEx +
               u'-' + card.Rare;

  const bool creature =
      card.TypeNameE == QLatin1String("Creature") || card.TypeNameE == QLatin1String("Artifact Creature");
  // A Null creature type reads as empty: a row of full-width blanks.
  lines << (creature ? fullWidthField(card.CType.toString(), kRowChars) : blanks(kCopyColumns));
  lines << LayoutTextRows(card.TextN);
  lines << rightAligned(card.PowerToughness);
  return lines;
}

QStringList tokenCopyLines(const CurrentToken& token) {
  QStringList lines;
  lines << fullWidthField(token.NameN, kRowChars) << blanks(kCopyColumns);
  // A long colour is cut inside the parentheses, which stay closed.
  const QString open = QStringLiteral("色（"), close = QStringLiteral("）");
  lines << fullWidthField(open + token.Color.left(kRowChars - open.size() - close.size()) + close, kRowChars);
  lines << blanks(kCopyColumns);
  lines << LayoutTextRows(token.TextN);
  lines << rightAligned(token.PowerToughness);
  return lines;
}

void PrintSheet(PrintJob& job, const QStringList& copy) {
  job.setFontName(kFixedPitchFace);
  job.setFontSize(10);
  for (int half = 0; half < 2; ++half) {
    if (half == 1) {
      job.print(QStringLiteral(" "));
      job.print(QStringLiteral(" "));
    }
    for (const QString& line : copy) job.print(line + QStringLiteral("  ") + line);
  }
  job.endDoc();
}

void PrintDeckList(PrintJob& job, const DeckPrintTexts& texts) {
  job.setLineSpacing(PrintJob::LineSpacing::Face);
  job.setFontName(kFixedPitchFace);
  job.setFontSize(10);
  // 100 blanks before the date, fewer where they would push it off the paper.
  const QString version = QStringLiteral("Talvik's Ver") + texts.version;
  qsizetype gap = 100;
  while (gap > 1 && !job.fitsOnLine(version + blanks(gap) + texts.date)) --gap;
  job.print(version + blanks(gap) + texts.date + kCrLf);
  job.setFontName(kFixedPitchFace);
  job.setFontSize(14);
  job.print(QStringLiteral("タイトル"));
  job.setFontSize(22);
  job.print(texts.title);
  job.setFontName(kFixedPitchFace);
  job.setFontSize(14);
  job.print(kCrLf + QStringLiteral("コメント"));
  job.setFontSize(12);
  job.print(texts.comment);
  job.setFontName(kFixedPitchFace);
  job.setFontSize(14);
  job.print(kCrLf + QStringLiteral("デッキ"));
  job.setFontSize(12);
  job.print(texts.deck);
  job.endDoc();
}

}  // namespace tv

#include "carddb/progress.h"

#include <algorithm>

namespace tvtools {

std::optional<qint64> secondsLeft(const ImportProgress& p, qint64 elapsedMs) {
  if (p.writing) return std::nullopt;
  if (elapsedMs < 1000 || p.bytesRead <= 0 || p.bytesTotal <= 0) return std::nullopt;
  const double share = std::min(1.0, double(p.bytesRead) / double(p.bytesTotal));
  return qint64(double(elapsedMs) * (1 - share) / share / 1000 + 0.5);
}

QString progressLine(const ImportProgress& p, qint64 elapsedMs, int width) {
  const int percent = p.bytesTotal > 0 ? int(std::min<qint64>(100, p.bytesRead * 100 / p.bytesTotal)) : 0;
  QString words = QStringLiteral(" %1%  %2 sets  %3 cards  ").arg(percent, 3).arg(p.sets).arg(p.cards);
  if (p.writing)
    words += QStringLiteral("writing");
  else if (const auto left = secondsLeft(p, elapsedMs))
    words += QStringLiteral("%1:%2 left").arg(*left / 60).arg(*left % 60, 2, 10, QChar(u'0'));
  const int bar = std::max(0, width - int(words.size()) - 2);
  const int filled = bar * percent / 100;
  QString line = bar > 0 ? u'[' + QString(filled, u'#') + QString(bar - filled, u'.') + u']' : QString();
  return (line + words).left(width);
}

}  // namespace tvtools

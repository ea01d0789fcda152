#include "carddb/typenames.h"

#include <algorithm>

namespace tvtools {
namespace {

bool isJapanese(QStringView s) {
  return !s.isEmpty() && std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x3000; });
}

// The words before the dash; English lines have " — ", Japanese ones "―"
// (WHISPER) or "—" (MTGJSON).
QStringView head(QStringView line, qsizetype* dashEnd = nullptr) {
  for (QChar dash : {QChar(0x2015), QChar(0x2014)}) {
    const qsizetype at = line.indexOf(dash);
    if (at < 0) continue;
    if (dashEnd) *dashEnd = at + 1;
    return line.left(at).trimmed();
  }
  if (dashEnd) *dashEnd = line.size();
  return line.trimmed();
}

QStringList japaneseSubtypes(QStringView line) {
  qsizetype end = 0;
  head(line, &end);
  QStringList out;
  // "･" is the half-width form some printed lines use.
  for (QStringView part : line.mid(end).split(QChar(0xFF65)))
    for (QStringView sub : part.split(u'・'))
      if (!sub.trimmed().isEmpty()) out << sub.trimmed().toString();
  return out;
}

QString mostCards(const QHash<QString, int>& counts) {
  QString best;
  int bestCount = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > bestCount || (it.value() == bestCount && it.key() < best)) {
      best = it.key();
      bestCount = it.value();
    }
  return best;
}

void choose(const QHash<QString, QHash<QString, int>> (&counts)[2], QHash<QString, QString>& out) {
  for (const auto* source : {&counts[TypeNames::Whisper], &counts[TypeNames::Mtgjson]})
    for (auto it = source->cbegin(); it != source->cend(); ++it)
      if (!out.contains(it.key())) out.insert(it.key(), mostCards(it.value()));
}

}  // namespace

void TypeNames::learn(Source source, QStringView typeLineE, const QStringList& subtypesE,
                      QStringView typeLineJa) {
  const QStringView headJa = head(typeLineJa);
  if (isJapanese(headJa)) ++headCounts_[source][head(typeLineE).toString()][headJa.toString()];
  const QStringList subs = japaneseSubtypes(typeLineJa);
  if (subs.size() != subtypesE.size()) return;
  for (qsizetype i = 0; i < subs.size(); ++i)
    if (isJapanese(subs[i])) ++subtypeCounts_[source][subtypesE[i]][subs[i]];
}

void TypeNames::finish() {
  choose(subtypeCounts_, subtypes_);
  choose(headCounts_, heads_);
}

QString TypeNames::subtypes(const QStringList& english, QSet<QString>* missing) const {
  QStringList out;
  for (const QString& e : english) {
    const QString ja = subtypes_.value(e);
    if (ja.isEmpty() && missing) missing->insert(e);
    out << (ja.isEmpty() ? e : ja);
  }
  return out.join(u'・');
}

QString TypeNames::typeLine(QStringView typeLineE, const QStringList& subtypesE,
                            QSet<QString>* missing) const {
  const QString headJa = heads_.value(head(typeLineE).toString());
  if (headJa.isEmpty()) return {};
  return subtypesE.isEmpty() ? headJa : headJa + QStringLiteral(" ― ") + subtypes(subtypesE, missing);
}

}  // namespace tvtools

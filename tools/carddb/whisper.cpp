#include "carddb/whisper.h"

#include <QXmlStreamReader>

#include "carddb/decompress.h"
#include "carddb/error.h"

namespace tvtools {

QString WhisperCards::key(QStringView englishName) {
  QString s = englishName.trimmed().toString();
  s.replace(u'Æ', QStringLiteral("Ae")).replace(u'æ', QStringLiteral("ae"));
  s = s.normalized(QString::NormalizationForm_KD);
  s.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
  return s.toCaseFolded();
}

const WhisperCard* WhisperCards::find(QStringView englishName) const {
  const auto it = cards_.constFind(key(englishName));
  return it == cards_.constEnd() ? nullptr : &*it;
}

WhisperCards WhisperCards::read(const QString& path) {
  DecompressingReader reader(path);
  QXmlStreamReader xml;
  WhisperCards out;
  auto fail = [&](const QString& message) { return errorAt(path, int(xml.lineNumber()), message); };
  for (;;) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::Invalid) {
      if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) throw fail(xml.errorString());
      const QByteArray more = reader.next();
      if (more.isEmpty()) throw fail(xml.errorString());
      xml.addData(more);
      continue;
    }
    if (token == QXmlStreamReader::EndDocument) break;
    if (token != QXmlStreamReader::StartElement || xml.name() != u"card") continue;
    const QXmlStreamAttributes a = xml.attributes();
    const QString name = a.value(QStringLiteral("name")).trimmed().toString();
    if (name.isEmpty()) throw fail(QStringLiteral("card without a name"));
    WhisperCard card{a.value(QStringLiteral("ja")).trimmed().toString(),
                     a.value(QStringLiteral("type")).trimmed().toString(),
                     {}};
    // The text may arrive in pieces while data is still coming in.
    for (;;) {
      const QXmlStreamReader::TokenType t = xml.readNext();
      if (t == QXmlStreamReader::Characters) {
        card.textJa += xml.text();
      } else if (t == QXmlStreamReader::EndElement) {
        break;
      } else if (t == QXmlStreamReader::Invalid &&
                 xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        const QByteArray more = reader.next();
        if (more.isEmpty()) throw fail(xml.errorString());
        xml.addData(more);
      } else {
        throw fail(t == QXmlStreamReader::Invalid
                       ? xml.errorString()
                       : QStringLiteral("unexpected content in card '%1'").arg(name));
      }
    }
    card.textJa = card.textJa.trimmed();
    const QString k = key(name);
    if (!out.cards_.contains(k)) out.cards_.insert(k, std::move(card));
  }
  if (out.cards_.isEmpty()) throw BuildError(path + QStringLiteral(": no cards"));
  return out;
}

}  // namespace tvtools

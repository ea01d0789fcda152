// WHISPER's Japanese card texts, as the mojp tool bundles them:
// <card name="English" ja="日本語名" type="日本語タイプ行" pt="P/T">text</card>.
#pragma once

#include <QHash>
#include <QString>

namespace tvtools {

struct WhisperCard {
  QString nameJa, typeLineJa, textJa;
};

class WhisperCards {
 public:
  // Reads the file (plain, gzip or xz). Throws BuildError naming the file and
  // line for anything malformed.
  static WhisperCards read(const QString& path);

  // The card of an English name or face name, or nullptr.
  const WhisperCard* find(QStringView englishName) const;
  qsizetype size() const { return cards_.size(); }

  // The name as the lookup compares it: WHISPER writes "Æ" as "Ae" and drops
  // accents, and its letter case may differ.
  static QString key(QStringView englishName);

 private:
  QHash<QString, WhisperCard> cards_;
};

}  // namespace tvtools

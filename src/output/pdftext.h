// The text layer of the PDF files the program writes. Qt's PDF writer maps
// each glyph back to the lowest character the face draws with it, so where a
// face shares a glyph (土 with the radical ⼟, ・ with ‧, ／ with ∕, ― with —)
// copying or searching the page finds characters it does not show. The job
// records what it printed, and the character map is mended once the document
// is written.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QSet>
#include <QString>

namespace tv {

class PrintedText {
 public:
  // The characters of `text` as printed in `font`.
  void add(const QFont& font, const QString& text);

  // The PDF with every glyph that stands for a character it did not print
  // mapped to the printed character it draws. Unchanged when nothing needs
  // mending or the file cannot be read.
  QByteArray mend(const QByteArray& pdf) const;

 private:
  struct Printed {
    QFont font;
    QSet<char32_t> characters;
  };
  QHash<QString, Printed> byFont_;  // by the font's description
};

}  // namespace tv

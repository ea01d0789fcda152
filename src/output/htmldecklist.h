// The deck as one HTML page: the title, then for each deck half its count,
// the column header and the card-type sections, one row per card coloured by
// the card's colour, optionally followed by a row with the card's text.
#pragma once

#include <QByteArray>
#include <QString>

#include "carddb/database.h"
#include "output/decksections.h"

namespace tv {

class HtmlDeckList {
 public:
  HtmlDeckList(Database& db, bool withCardText) : db_(db), withCardText_(withCardText) {}

  // The whole page as the file holds it, the final empty line included.
  QString page(const QString& title);

  // Appends one section of one deck table to SectionText (nothing when it
  // has no cards) and adds its copies to CardCount.
  void BuildHtmlSection(const QString& table, const DeckSection& section);

  QString SectionText;
  qint64 CardCount = 0;

 private:
  Database& db_;
  bool withCardText_;
};

// &, < and > as HTML references, so that no value can break the page.
QString htmlEscaped(QStringView text);

// The page's bytes: Shift-JIS, characters it cannot hold as character references.
QByteArray htmlFileBytes(QStringView page);

}  // namespace tv

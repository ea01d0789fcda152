// What the user chose that outlives a run, kept in the user's settings file
// (core/settings.h): the search's sort and expansions, the output options,
// the folder of deck files and the deck files used last. A value the file
// lacks, or one that makes no sense, reads as the window's first state.
#pragma once

#include <QList>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

#include "carddb/database.h"
#include "output/deckprint.h"

namespace tv {

struct SearchChoices {
  QString sortField = QStringLiteral("NameE");
  // By code, so that another card database selects what it still holds;
  // none: the first expansion, as at the first start.
  QStringList expansionCodes;
};

struct OutputChoices {
  PrintOptions print;
  bool htmlCardText = false;
};

// How many deck files the recent list holds.
inline constexpr int kRecentDecks = 8;

class UserChoices {
 public:
  // The user's settings file, or another (tests).
  explicit UserChoices(std::unique_ptr<QSettings> settings = nullptr);

  SearchChoices search() const;
  void setSearch(const SearchChoices& choices);
  OutputChoices output() const;
  void setOutput(const OutputChoices& choices);

  // The folder of the deck file opened or saved last; empty before any.
  QString deckFolder() const;
  // The deck files opened or saved, the newest first, at most kRecentDecks.
  QStringList recentDecks() const;
  // A deck file opened or saved: first in the list, its folder the deck folder.
  void useDeckFile(const QString& path);
  void forgetDeckFile(const QString& path);

 private:
  void setRecentDecks(const QStringList& paths);
  std::unique_ptr<QSettings> settings_;
};

// Every expansion's code, in the order the expansion list shows them.
QStringList readExpansionCodes(Database& db);

// The lines of the expansions whose codes are in `chosen` (letter case aside),
// `codes` being every expansion's code in list order.
QList<int> expansionLines(const QStringList& codes, const QStringList& chosen);

}  // namespace tv

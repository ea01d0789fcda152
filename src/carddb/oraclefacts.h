// The card facts that `talviks-carddb import` writes beside the card tables
// (names.h, cardFactsTables()), read once and held in memory, for the deck
// check, the statistics and the query language: per English name the card's
// rules, colours and colour identity, commander and copy rules, legality per
// format; and where each expansion comes from. A card database made by
// `build` or by an older tool has none: load() gives nullptr then.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "carddb/database.h"

namespace tv {

enum class Legality : quint8 { NotLegal, Legal, Banned, Restricted };

class OracleFacts {
 public:
  struct Card {
    QString NameE;
    QString Colors, ColorIdentity;       // letters of WUBRG in that order; empty for colourless
    QVariant ManaValue;                  // a number (0 for lands)
    QVariant Power, Toughness, Loyalty;  // a number, text ("*", "X"), or Null
    QString TypeLineE;                   // "Legendary Creature — Elf Warrior"; faces joined by " // "
    QString TypeLineN;       // "伝説のクリーチャー ― エルフ・戦士"; empty when unknown
    QString TextE;           // MTGJSON's notation ({T}), CR LF line breaks; faces joined by " // "
    bool Commander = false;  // a legendary creature, or its text says it can be your commander
    bool Partner = false;    // "Partner", or "Partner with …"
    QString PartnerWith;     // the name of "Partner with"
    bool AnyNumber = false;  // basic lands, "A deck can have any number of cards named …"
    int CopyLimit = 0;       // a limit of its own ("A deck can have up to seven …"); 0 for none
    // A Legality per format index (formats past its end: not legal); cards
    // alike share one array, as they share their repeated text values.
    QByteArray legalities;
  };

  struct Expansion {
    QString CardsetEx;    // tbl_CardSet's code
    QString SetCode;      // MTGJSON's ("USG" of "US")
    QString NameE;        // the English name
    QString ReleaseDate;  // YYYY-MM-DD
    QString SetType;      // "core", "expansion", …
  };

  // Does the card database hold the facts?
  static bool present(Database& db);
  // Every fact, or nullptr when the card database has none. Table contents
  // are taken as they are: a value of the wrong kind reads as none.
  static std::shared_ptr<const OracleFacts> load(Database& db);
  // The formats alone, as formats() of load() would hold them, without
  // reading the cards; nullopt when the card database has no facts.
  static std::optional<QStringList> storedFormats(Database& db);

  const std::vector<Card>& cards() const { return cards_; }
  // The card of an English name, without regard to case; nullptr if none.
  const Card* find(QStringView nameE) const;

  // The formats of the data, by MTGJSON's names ("commander", "modern", …).
  const QStringList& formats() const { return formats_; }
  int formatIndex(QStringView format) const;  // -1 if none
  static Legality legality(const Card& card, int format);
  // Not legal for a name or format the data does not hold.
  Legality legality(QStringView nameE, QStringView format) const;

  // How many copies of the card a deck may hold where `usual` is the limit
  // (4, 1 in singleton formats): any number, its own limit, or `usual`.
  static qint64 copiesAllowed(const Card& card, qint64 usual);

  const std::vector<Expansion>& expansions() const { return expansions_; }

 private:
  std::vector<Card> cards_;
  QHash<QString, int> byName_;
  QStringList formats_;
  std::vector<Expansion> expansions_;
};

}  // namespace tv

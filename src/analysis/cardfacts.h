// What the deck check needs to know of a card, per English name, from the
// card data (never from lists in the code): its legality in a format, its
// colour identity, how many copies a deck may hold, whether it may lead a
// commander deck. A source reads them for the names of one deck at a time.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "carddb/oraclefacts.h"

namespace tv {

struct CardFacts {
  Legality legality = Legality::NotLegal;  // in the format asked for
  QString colorIdentity;                   // letters of WUBRG
  bool anyNumber = false;                  // basic lands, "A deck can have any number of cards named …"
  std::optional<qint64> copyLimit;         // a limit of its own ("up to seven cards named …")
  bool commander = false;                  // a legendary creature, or says it can be your commander
  bool partner = false;
  QString partnerWith;  // the English name of its only partner ("Partner with …"); empty for any
  QString typeLine;     // English, "Legendary Creature — Elf Druid"
  QString text;         // English rules text
};

// Facts by nameKey() of the English name.
using CardFactsMap = QHash<QString, CardFacts>;

class CardFactsSource {
 public:
  virtual ~CardFactsSource() = default;
  // The formats the data names ("standard", "commander", …); empty when the
  // card data holds no facts at all.
  virtual QStringList formats() const = 0;
  // The facts of those of `namesE` the data knows, with their legality in `format`.
  virtual CardFactsMap facts(const QStringList& namesE, const QString& format) const = 0;
};

// The facts the card database holds (carddb/oraclefacts.h).
class StoredCardFacts : public CardFactsSource {
 public:
  explicit StoredCardFacts(std::shared_ptr<const OracleFacts> facts) : facts_(std::move(facts)) {}
  // nullptr when the card database holds none.
  static std::unique_ptr<StoredCardFacts> load(Database& db);
  QStringList formats() const override { return facts_->formats(); }
  CardFactsMap facts(const QStringList& namesE, const QString& format) const override;

 private:
  std::shared_ptr<const OracleFacts> facts_;
};

// Facts held in memory, as a test or a benchmark makes them.
class CardFactsTable : public CardFactsSource {
 public:
  // `legal`: the formats and the name's legality in each; the rest not legal.
  void add(const QString& nameE, CardFacts facts, const QHash<QString, Legality>& legal);
  QStringList formats() const override { return formats_; }
  CardFactsMap facts(const QStringList& namesE, const QString& format) const override;

 private:
  QHash<QString, std::pair<CardFacts, QHash<QString, Legality>>> cards_;
  QStringList formats_;
};

}  // namespace tv

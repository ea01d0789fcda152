// Small card databases for tests, made through the program's own schema code.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>

#include "carddb/database.h"
#include "carddb/error.h"
#include "session/context.h"

namespace tvtest {

struct Card {
  QString set;
  QString nameE;
  QString nameN;
  QString color;
  QString type;
  QVariant numCost;
  QVariant cost;
  QString rare = QStringLiteral("C");
  QVariant text;
  QVariant ctype;
  QVariant attack;
  QVariant defence;
};

class CardDbFixture {
 public:
  CardDbFixture();
  QString path() const { return path_; }
  QString dir() const { return dir_.path(); }
  tv::Database& db() { return *ctx.gCardDb; }

  void addSet(int no, const QString& name, const QString& code);
  void addCard(const Card& c);
  void addToken(const QString& nameN, const QString& color, const QVariant& text, const QVariant& attack,
                const QVariant& defence);
  // A deck-table row, as a deck file might bring it in.
  void addDeckRow(const QString& table, const QString& set, const QString& nameE, const QVariant& nameN,
                  int copies, const QVariant& numCost = {}, const QVariant& attack = {},
                  const QVariant& defence = {});
  qlonglong scalar(const QString& sql);

  tv::AppContext ctx;

 private:
  QTemporaryDir dir_;
  QString path_;
};

// Each row of the query, its columns joined by '|', Null as "-".
QStringList queryRows(tv::Database& db, const QString& sql);

// The columns of one tbl_CardMst row joined by '|', Null as "-"; "(none)"
// when there is no such card. A column may be an expression.
QString cardValues(tv::Database& db, const QString& set, const QString& nameE, const QStringList& columns);

// The whole file, or "(missing)" when it cannot be read.
QByteArray readFile(const QString& path);
// Replaces the file's contents; a test failure when it cannot be written.
void writeFile(const QString& path, const QByteArray& bytes);

// The message of the BuildError `run` throws; empty when it throws none.
template <typename F>
QString buildErrorOf(F run) {
  try {
    run();
  } catch (const tvtools::BuildError& e) {
    return e.message();
  }
  return {};
}

// A connection of its own (working tables in memory, as the program's) to a
// card database imported once a run from real cards of data/ with their card
// facts (tests/tools/mtgjson-facts.json).
std::unique_ptr<tv::Database> openFactsCardDb();

// A small, varied card database: three expansions, every colour and card
// type, an apostrophe, a Null creature type, an unknown rarity.
void addStandardCards(CardDbFixture& f);

}  // namespace tvtest

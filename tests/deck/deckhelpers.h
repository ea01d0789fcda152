// The fixture shared by the deck tests: the standard cards and a deck to edit.
#pragma once

#include <gtest/gtest.h>

#include "browse/cardtext.h"
#include "browse/search.h"
#include "deck/deckedit.h"
#include "support/fixtures.h"
#include "support/printers.h"
#include "text/sqlliteral.h"

class DeckTest : public ::testing::Test {
 protected:
  void SetUp() override { tvtest::addStandardCards(f); }

  static QString where(const QString& set, const QString& name) {
    return " WHERE CardSetEx=" + tv::sqlLiteral(set) + " AND NameE=" + tv::sqlLiteral(name);
  }

  // Shows the card as a click in the card list does, then adds it n times; the last view.
  std::optional<tv::DeckListView> add(const QString& table, const QString& set, const QString& name, int n) {
    f.db().execute("DELETE FROM wtbl_CardList");
    f.db().execute("INSERT INTO wtbl_CardList (CardSetEx, NameE) SELECT CardSetEx, NameE FROM tbl_CardMst" +
                   where(set, name));
    tv::chooseCard(f.ctx, tv::kCardListTable, 0);
    std::optional<tv::DeckListView> v;
    while (n-- > 0) v = tv::addCopyToDeck(f.ctx, table);
    return v;
  }

  // Copies of a card in a deck table, all its rows together; -1 when it has no row there.
  qlonglong copies(const QString& table, const QString& set, const QString& name) {
    return rows(table, set, name) == 0 ? -1
                                       : f.scalar("SELECT SUM(CardMaisu) FROM " + table + where(set, name));
  }
  qlonglong rows(const QString& table, const QString& set, const QString& name) {
    return f.scalar("SELECT COUNT(*) FROM " + table + where(set, name));
  }

  // The current card's line, as an add selects it.
  tv::DeckSelection current() const {
    return tv::DeckSelection::cardLine({f.ctx.gCurrentCard.CardSetEx, f.ctx.gCurrentCard.NameE});
  }

  qlonglong sum(const QString& table) { return f.scalar("SELECT SUM(CardMaisu) FROM " + table); }

  tvtest::CardDbFixture f;
};

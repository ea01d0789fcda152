// A long run of random clicks: the deck never gains or loses a copy except by
// an add or remove that acted, never breaks the copy limit, and keeps one row
// per card in each half.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "deck/deckedit.h"
#include "deckhelpers.h"

using namespace tv;
using tvtest::copies;

namespace {

qlonglong violations(tvtest::CardDbFixture& f, const QString& t) {
  return f.scalar("SELECT COUNT(*) FROM " + t + " WHERE CardMaisu < 1") +
         f.scalar("SELECT COUNT(*) FROM " + t + " INNER JOIN tbl_CardMst ON " + t +
                  ".CardSetEx = tbl_CardMst.CardSetEx AND " + t +
                  ".NameE = tbl_CardMst.NameE WHERE tbl_CardMst.CardType <> 'BL' AND " + t +
                  ".CardMaisu > 4") +
         f.scalar("SELECT COUNT(*) FROM (SELECT 1 FROM " + t +
                  " GROUP BY CardSetEx, NameE HAVING COUNT(*) > 1)");
}

qlonglong total(tvtest::CardDbFixture& f) {
  return tvtest::totalCopies(f, kMainDeckTable) + tvtest::totalCopies(f, kSideDeckTable);
}

}  // namespace

TEST(DeckEditProperty, RandomClicksKeepEveryCopy) {
  tvtest::CardDbFixture f;
  tvtest::addStandardCards(f);
  struct Card {
    QString set, name;
    bool free;  // type BL
  };
  std::vector<Card> cards;
  for (auto rs = f.db().openRecordset("SELECT CardSetEx, NameE, CardType FROM tbl_CardMst",
                                      RecordsetType::Snapshot, dbForwardOnly);
       !rs.eof(); rs.moveNext())
    cards.push_back({rs.text(u"CardSetEx"), rs.text(u"NameE"), rs.text(u"CardType") == "BL"});
  auto isFree = [&cards](const DeckRow& r) {
    for (const Card& c : cards)
      if (c.set == r.CardSetEx && c.name == r.NameE) return c.free;
    return false;
  };
  const QStringList sortFields = {"NameE", "NameN", "NumCost", "CAttack", "CDefence"};
  const QString tables[2] = {kMainDeckTable, kSideDeckTable};

  std::mt19937 rng(20240607);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  qlonglong expectedTotal = 0;
  int adds = 0, removes = 0, moves = 0, blocked = 0;

  for (int step = 0; step < 2000; ++step) {
    SCOPED_TRACE(step);
    const int action = pick(20), half = pick(2);
    const QString &table = tables[half], &other = tables[1 - half];
    const int rows = int(tvtest::rowCount(f, table));
    const int line = pick(rows + 2) - 1;  // no selection and one line past the end included

    if (action == 0) {
      f.ctx.gSortField = sortFields[pick(int(sortFields.size()))];
    } else if (action < 9) {
      const Card& c = cards[size_t(pick(int(cards.size())))];
      tvtest::showCard(f, c.set, c.name);
      const qlonglong had = copies(f, table, c.set, c.name);
      const auto v = AddCardToDeck(f.ctx, table);
      ASSERT_TRUE(v);
      const bool acts = had < 4 || c.free;
      EXPECT_EQ(copies(f, table, c.set, c.name), acts ? std::max(had, 0LL) + 1 : had);
      ASSERT_GE(v->selection, 0);
      EXPECT_EQ(findDeckRow(f.ctx, deckListQuery(table, f.ctx.gSortField), v->selection)->NameE, c.name);
      EXPECT_EQ(v->count, tvtest::totalCopies(f, table));
      expectedTotal += acts;
      adds += acts;
      blocked += !acts;
    } else if (action < 14) {
      const auto v = RemoveCardFromDeck(f.ctx, table, line);
      ASSERT_EQ(v.has_value(), line >= 0 && line < rows);
      if (v) {
        EXPECT_EQ(v->selection, int(tvtest::rowCount(f, table)) < rows ? line - 1 : line);
        EXPECT_EQ(v->count, tvtest::totalCopies(f, table));
        --expectedTotal;
        ++removes;
      }
    } else {
      const auto row = findDeckRow(f.ctx, deckListQuery(table, f.ctx.gSortField), line);
      const qlonglong had = row ? copies(f, table, row->CardSetEx, row->NameE) : 0;
      const qlonglong targetHad = row ? copies(f, other, row->CardSetEx, row->NameE) : 0;
      const auto r = half == 0 ? cmd_MoveSide_Click(f.ctx, line) : cmd_MoveMain_Click(f.ctx, line);
      ASSERT_EQ(r.has_value(), row.has_value());
      if (r) {
        const bool acts = targetHad < 4 || isFree(*row);
        const qlonglong now = copies(f, table, row->CardSetEx, row->NameE);
        EXPECT_EQ(now, !acts ? had : had == 1 ? -1 : had - 1);
        EXPECT_EQ(copies(f, other, row->CardSetEx, row->NameE),
                  acts ? std::max(targetHad, 0LL) + 1 : targetHad);
        const DeckListView &src = half == 0 ? r->main : r->side, &dst = half == 0 ? r->side : r->main;
        EXPECT_EQ(src.selection, now == -1 ? line - 1 : line);
        EXPECT_EQ(dst.selection, -1);
        EXPECT_EQ(src.count + dst.count, total(f));
        moves += acts;
        blocked += !acts;
      }
    }
    ASSERT_EQ(total(f), expectedTotal);
    ASSERT_EQ(violations(f, kMainDeckTable) + violations(f, kSideDeckTable), 0);
  }
  // The run must have reached the limits and the deletions, not idled.
  EXPECT_GT(adds, 200);
  EXPECT_GT(removes, 100);
  EXPECT_GT(moves, 100);
  EXPECT_GT(blocked, 20);
}

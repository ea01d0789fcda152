// A long run of random clicks: the deck never gains or loses a copy except by
// an add or remove that acted, and never breaks the copy limit.
#include <random>

#include "deckhelpers.h"

using namespace tv;

TEST_F(DeckTest, RandomClicksKeepEveryCopyAndTheLimit) {
  f.db().execute("INSERT INTO wtbl_CardList (CardSetEx, NameE) SELECT CardSetEx, NameE FROM tbl_CardMst");
  // As a deck file may bring them in: a card without a master row, a card in two rows.
  f.addDeckRow(kSideDeckTable, "ZZ", "Ghost", "幽霊", 3);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 1, 1);
  f.addDeckRow(kMainDeckTable, "8E", "Shock", "ショック", 2, 1);
  const QString sortFields[] = {"NameE", "NameN", "NumCost", "CAttack", "CDefence"};
  const QString tables[] = {kMainDeckTable, kSideDeckTable};
  std::mt19937 rng(20240607);
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  qlonglong total = 6;
  int acted[3] = {}, blocked = 0;  // adds, removes, moves
  for (int step = 0; step < 2000; ++step) {
    SCOPED_TRACE(step);
    const int action = pick(20), half = pick(2);
    const QString &t = tables[half], &other = tables[1 - half];
    const int line = pick(int(f.scalar("SELECT COUNT(*) FROM " + t)) + 2) - 1;  // none and past the end too
    if (action == 0) {
      f.ctx.gSortField = sortFields[pick(5)];
      continue;
    }
    // An add acts on the card shown, a remove or move on the card of the line.
    const bool adding = action < 9, move = action >= 14;
    if (adding) chooseCard(f.ctx, kCardListTable, pick(int(f.scalar("SELECT COUNT(*) FROM wtbl_CardList"))));
    const auto row = findDeckRow(f.db(), t, f.ctx.gSortField, line);
    const QString set = adding ? f.ctx.gCurrentCard.CardSetEx : row ? row->CardSetEx : "";
    const QString name = adding ? f.ctx.gCurrentCard.NameE : row ? row->NameE : "";
    const qlonglong had = copies(t, set, name), targetHad = copies(other, set, name);
    const qlonglong rowsHad = rows(t, set, name);
    const bool basicLand =
        f.scalar("SELECT COUNT(*) FROM tbl_CardMst" + where(set, name) + " AND CardType='BL'") > 0;

    std::optional<DeckListView> src;  // the list of the half acted on
    if (adding)
      src = addCopyToDeck(f.ctx, t);
    else if (!move)
      src = removeCopyFromDeck(f.db(), t, f.ctx.gSortField, line);
    else if (auto r = half == 0 ? moveCopyToSide(f.db(), f.ctx.gSortField, line)
                                : moveCopyToMain(f.db(), f.ctx.gSortField, line))
      src = half == 0 ? r->main : r->side;
    ASSERT_EQ(src.has_value(), adding || row.has_value());
    if (!src) continue;
    const bool acts = adding ? had < 4 || basicLand : !move || targetHad < 4 || basicLand;
    const qlonglong now = copies(t, set, name);
    EXPECT_EQ(now, !acts ? had : adding ? std::max(had, 0LL) + 1 : had == 1 ? -1 : had - 1);
    if (!adding) {  // the line, or the one above when its row went
      EXPECT_EQ(src->selection, rows(t, set, name) < rowsHad ? line - 1 : line);
    }
    EXPECT_EQ(copies(other, set, name), acts && move ? std::max(targetHad, 0LL) + 1 : targetHad);
    total += adding ? acts : move ? 0 : -1;  // a move keeps the total
    ++(acts ? acted[adding ? 0 : move ? 2 : 1] : blocked);

    ASSERT_EQ(sum(kMainDeckTable) + sum(kSideDeckTable), total);
    ASSERT_EQ(
        f.scalar(
            "SELECT COUNT(*) FROM (SELECT 'M' AS h, * FROM wtbl_DecList UNION ALL SELECT 'S', * FROM "
            "wtbl_DecSideList) AS d LEFT JOIN tbl_CardMst AS m ON d.CardSetEx = m.CardSetEx AND d.NameE = "
            "m.NameE WHERE d.CardMaisu < 1 OR (m.CardType IS NOT 'BL' AND (SELECT SUM(CardMaisu) FROM "
            "(SELECT 'M' AS h, * FROM wtbl_DecList UNION ALL SELECT 'S', * FROM wtbl_DecSideList) AS e "
            "WHERE e.h = d.h AND e.CardSetEx = d.CardSetEx AND e.NameE = d.NameE) > 4)"),
        0);
  }
  // The run must have reached the limits and the deletions, not idled.
  EXPECT_TRUE(acted[0] > 200 && acted[1] > 100 && acted[2] > 100 && blocked > 20)
      << acted[0] << " " << acted[1] << " " << acted[2] << " " << blocked;
}

// The deck-building tab: the search filters, the card list, the card detail
// and the two deck lists with their buttons.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

#include "app/listbox.h"
#include "app/printing.h"
#include "browse/search.h"
#include "choices/choices.h"
#include "deck/deckedit.h"
#include "deck/deckhistory.h"
#include "deck/decklist.h"
#include "session/context.h"

namespace tv {

// How long typing in the name box pauses before the list follows it.
inline constexpr int kNameTypingPause = 250;  // ms

class DeckBuildTab : public QWidget {
  Q_OBJECT
 public:
  explicit DeckBuildTab(AppContext& ctx, QWidget* parent = nullptr);

  // The load event's part for this tab: expansions, creature types, the
  // version text, no current card, the first search. The expansions and the
  // sort chosen in an earlier run are selected where the card data has them.
  void load(const SearchChoices& choices = {});

  void cmd_reload_Click();
  void fra_Color_DblClick();
  void fra_CardType_DblClick();
  void lst_CardList_Click();
  void lst_DecList_Click();
  void lst_DecSideList_Click();
  void ShowCardText(const QString& table, int index);
  void cmd_AddMain_Click();
  void cmd_AddSide_Click();
  void cmd_DellMain_Click();
  void cmd_DellSide_Click();
  void cmd_MoveMain_Click();
  void cmd_MoveSide_Click();
  // Proxy sheets of the current card; also the menu's 代理カード印刷.
  void cmd_ProxyPrint_Click();
  // Where a sheet goes when there is no printer.
  void setPrintUi(PrintUi ui) { printUi_ = std::move(ui); }

  // Refills a deck list (and its count label when asked) and, when a line
  // ends up selected, shows that line's card as a click would.
  void applyDeckList(const DeckListView& view, bool setLabel);

  // Both deck lists redrawn after the whole deck was replaced: no line
  // selected, both counts set.
  void showReplacedDeck() { showDeck(DeckSelection::none(), DeckSelection::none()); }
  // Both deck lists redrawn with these lines selected, as clicks select them.
  void showDeck(const DeckSelection& main, const DeckSelection& side);
  // The selected lines of the main deck and the sideboard (-1: none).
  std::array<int, 2> selectedDeckLines() const {
    return {lst_DecList->selectedRow(), lst_DecSideList->selectedRow()};
  }

  // Every change of the deck the tab makes runs through this, so that Main
  // keeps it as a step to undo.
  using DeckChangeRunner = std::function<void(DeckStep, const std::function<void()>&)>;
  void setDeckChangeRunner(DeckChangeRunner run) { runDeckChange_ = std::move(run); }
  void focusReload() { cmd_reload->setFocus(); }

  // The lines with a problem in the chosen format, in red; none without one.
  void showProblemLines(const QList<int>& main, const QList<int>& side) {
    lst_DecList->setMarkedRows(main);
    lst_DecSideList->setMarkedRows(side);
  }

  // The search's inputs as the filter controls stand.
  SearchFilter searchFilter() const;

 Q_SIGNALS:
  // The sort or the selected expansions changed.
  void searchChoicesChanged();
  // A deck list was filled anew (every change of the deck or of its order
  // ends so): the analysis follows.
  void deckListChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void setCardTextBackground(const QColor& colour);
  void connectCardClicks(ListBox* list, void (DeckBuildTab::*handler)());
  void applyDeckChange(const std::optional<DeckListView>& view);
  void applyDeckMove(const std::optional<DeckMoveResult>& result);
  // A change of the deck, through the runner, its database failures shown.
  void changeDeck(DeckStep step, const std::function<void()>& change);

  AppContext& ctx_;
  PrintUi printUi_;
  DeckChangeRunner runDeckChange_ = [](DeckStep, const std::function<void()>& change) { change(); };

  QGroupBox* Frame1;
  ListBox* lst_CardSet;
  QGroupBox* fra_Color;
  QCheckBox *chk_W, *chk_U, *chk_B, *chk_R, *chk_G, *chk_M, *chk_N;
  QGroupBox* fra_CardType;
  QCheckBox *chk_Land, *chk_Instant, *chk_Sorcery, *chk_Enchantment, *chk_Artifact, *chk_Creature,
      *chk_Planeswalker;
  std::array<QCheckBox*, 7> typeBoxes() const {
    return {chk_Land,     chk_Instant,  chk_Sorcery,     chk_Enchantment,
            chk_Artifact, chk_Creature, chk_Planeswalker};
  }
  QGroupBox* fra_CType;
  QCheckBox* chk_CType;
  QComboBox* cmb_CType;
  QGroupBox* fra_Sort;
  QRadioButton *opt_NameE, *opt_NameN, *opt_Cost, *opt_Attack, *opt_Defence;
  QPushButton* cmd_reload;
  QLabel* Label2;
  QLabel* lbl_Name;
  QLineEdit* txt_Name;
  ListBox* lst_CardList;
  QLabel* Label1;
  QPlainTextEdit* txt_CardText;
  QLabel *Label3, *lbl_Main, *lbl_Side;
  ListBox *lst_DecList, *lst_DecSideList;
  QPushButton *cmd_AddMain, *cmd_AddSide, *cmd_DellMain, *cmd_DellSide, *cmd_MoveMain, *cmd_MoveSide;
  QPushButton* cmd_ProxyPrint;

  // What the next double-click on fra_Color / fra_CardType does.
  qint16 gColorToggle = 0;
  qint16 gTypeToggle = 0;
  QHash<const ListBox*, int> rowBeforePress_;  // a list's current line when the mouse went down
  QTimer nameTyping_;                          // the search follows the name box once typing pauses
};

}  // namespace tv

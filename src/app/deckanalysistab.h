// The deck-analysis tab: the deck check in a chosen format, the statistics
// and colours, the draw odds of chosen lines, a sample hand, and the
// comparison with another version of the deck (in a window of its own). It follows every change of
// the deck: the check at once while a format is chosen (the deck lists' red
// lines need it), the rest while the tab is shown or when it is shown next.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <optional>
#include <random>

#include "analysis/deckanalysis.h"
#include "analysis/samplehand.h"
#include "app/commondialog.h"
#include "app/listbox.h"
#include "app/messagebox.h"
#include "session/context.h"

namespace tv {

class DeckAnalysisTab : public QWidget {
  Q_OBJECT
 public:
  explicit DeckAnalysisTab(AppContext& ctx, QWidget* parent = nullptr);

  // The card data's formats into the format box, the one chosen last
  // selected; run at load and after the card data changed. The card facts
  // themselves are read when a format is chosen or the tab is first shown.
  void load();
  // Was a format chosen in an earlier run (its facts are then wanted at once)?
  static bool formatRemembered();
  // Where 比較... picks its file and says what went wrong.
  void setFileUi(CommonDialog* dialog, MessageBoxFunction messageBox) {
    dialog_ = dialog;
    messageBox_ = std::move(messageBox);
  }

  // The deck or the order of its lines changed.
  void deckChanged();

  void cmb_Format_Click();
  void lst_OddsLines_Click();
  void cmd_Draw_Click();
  void cmd_Mulligan_Click();
  // Another version of the deck (a deck file or a text list, only read):
  // what the deck has more and less, shown and on the clipboard.
  void cmd_Compare_Click();

  // The format box's key: "" for none.
  QString format() const { return cmb_Format->currentData().toString(); }

 Q_SIGNALS:
  // The deck lines with a problem in the chosen format (none without one).
  void problemLinesChanged(const QList<int>& main, const QList<int>& side);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  AnalysisRequest request() const;
  // The card facts, read at their first need.
  void readFacts();
  // Everything from the deck tables, or only the check when hidden.
  void refresh();
  void refreshCheck();
  void showCheck(const std::optional<DeckCheck>& check);
  void showStats(const DeckStats& stats);
  void showOddsLines();
  void showOdds();
  void showHand();
  void showComparison(const QString& heading, const QString& list);

  AppContext& ctx_;
  CommonDialog* dialog_ = nullptr;
  MessageBoxFunction messageBox_ = execMessageBox;
  std::optional<QStringList> formats_;  // nullopt: the card data holds no facts
  std::optional<StoredCardFacts> facts_;
  bool stale_ = true;            // the deck changed since the tab last showed it
  DeckCards cards_;              // as last shown
  QSet<QString> oddsPrintings_;  // the lines chosen for the odds, by printing
  std::optional<SampleHand> hand_;
  std::mt19937_64 seeds_{std::random_device{}()};

  QGroupBox* fra_Check;
  QLabel* lbl_Format;
  QComboBox* cmb_Format;
  QLabel* lbl_Verdict;
  ListBox* lst_Problems;
  QGroupBox* fra_Stats;
  QTableWidget* tbl_Types;
  QLabel *lbl_Lands, *lbl_Average;
  QTableWidget* tbl_Curve;
  QGroupBox* fra_Colors;
  QTableWidget* tbl_Colors;
  QGroupBox* fra_Odds;
  ListBox* lst_OddsLines;
  QLabel* lbl_OddsCards;
  QTableWidget* tbl_Odds;
  QGroupBox* fra_Hand;
  ListBox* lst_Hand;
  QLabel* lbl_Hand;
  QPushButton *cmd_Draw, *cmd_Mulligan;
  QPushButton* cmd_Compare;
};

}  // namespace tv

#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include "session/context.h"
#include "app/listbox.h"
#include "browse/search.h"
#include "deck/deckedit.h"
#include "deck/decklist.h"

namespace tv {

// The program's working window. It closes only through its menu. Every
// control is public under its own name, which is also its objectName.
class Main : public QMainWindow {
  Q_OBJECT
 public:
  explicit Main(AppContext& ctx, QWidget* parent = nullptr);

  void Form_Load();
  void M_Close_Click();
  void M_Ver_Click();
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

  // Refills a deck list (and its count label when asked) and, when a line
  // ends up selected, shows that line's card as a click would.
  void applyDeckList(const DeckListView& view, bool setLabel);

  // The search's inputs as the filter controls stand.
  SearchFilter searchFilter() const;

  QTabWidget* SSTab1;

  // Tab 1: deck building.
  QGroupBox* Frame1;
  ListBox* lst_CardSet;
  QGroupBox* fra_Color;
  QCheckBox *chk_W, *chk_U, *chk_B, *chk_R, *chk_G, *chk_M, *chk_N;
  QGroupBox* fra_CardType;
  QCheckBox *chk_Land, *chk_Instant, *chk_Sorcery, *chk_Enchantment, *chk_Artifact, *chk_Creature;
  QGroupBox* fra_CType;
  QCheckBox* chk_CType;
  QComboBox* cmb_CType;
  QGroupBox* fra_Sort;
  QRadioButton *opt_NameE, *opt_NameN, *opt_Cost, *opt_Attack, *opt_Defence;
  QPushButton* cmd_reload;
  QLabel* Label2;
  ListBox* lst_CardList;
  QLabel* Label1;
  QPlainTextEdit* txt_CardText;
  QLabel *Label3, *lbl_Main, *lbl_Side;
  ListBox *lst_DecList, *lst_DecSideList;
  QPushButton *cmd_AddMain, *cmd_AddSide, *cmd_DellMain, *cmd_DellSide, *cmd_MoveMain, *cmd_MoveSide;
  QPushButton* cmd_ProxyPrint;

  // Tab 2: deck output.
  QLabel* lbl_PrintOption;
  QCheckBox *chk_NameE, *chk_NameN, *chk_Cost, *chk_Rare, *chk_CardSetEx, *chk_Space, *chk_ManaCurve,
      *chk_Side;
  QLabel* Label6;
  QCheckBox* chk_HCardText;
  QLabel* lbl_Title;
  QLineEdit* txt_PrintTitle;
  QLabel* lbl_Comment;
  QPlainTextEdit* txt_PrintComment;
  QLabel* lbl_Dec;
  QPlainTextEdit* txt_PrintDec;

  // Tab 3: token output.
  QLabel* Label5;
  ListBox* lst_TokenList;
  QLabel* Label4;
  QPlainTextEdit* txt_TokenText;
  QPushButton* cmd_TPrint;

  // Menus.
  QMenu* M_Fail;
  QAction *M_Open, *M_Kubun1, *M_Save, *M_SaveHtml, *M_Kubun2, *M_Close;
  QMenu* M_Print;
  QAction *M_PrintDec, *M_PrintProxy, *M_PrintToken;
  QMenu* M_Help;
  QAction* M_Ver;

  // What the next double-click on fra_Color / fra_CardType does.
  qint16 gColorToggle = 0;
  qint16 gTypeToggle = 0;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createDeckTab(QWidget* page, QPoint top);
  void createOutputTab(QWidget* page, QPoint top);
  void createTokenTab(QWidget* page, QPoint top);
  void createMenus();
  void setCardTextBackground(const QColor& colour);
  void connectCardClicks(ListBox* list, void (Main::*handler)());
  void applyDeckChange(const std::optional<DeckListView>& view);
  void applyDeckMove(const std::optional<DeckMoveResult>& result);
  // Runs one step of an event; a database failure is shown and the program goes on.
  template <typename F>
  void guarded(F&& step);

  AppContext& ctx_;
  bool closing_ = false;
  QHash<const ListBox*, int> rowBeforePress_;  // a list's current line when the mouse went down
};

}  // namespace tv

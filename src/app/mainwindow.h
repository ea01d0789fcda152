#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <functional>

#include "app/commondialog.h"
#include "app/messagebox.h"
#include "app/printing.h"
#include "choices/choices.h"
#include "deck/deckfile.h"
#include "deck/deckhistory.h"
#include "session/context.h"

namespace tv {

class DeckAnalysisTab;
class DeckBuildTab;
class DeckOutputTab;
class TokenTab;

// The program's working window: the menus, the tab control with one widget
// per tab, and the wiring between them. It closes only through its menu.
// Every control's objectName is its own name.
class Main : public QMainWindow {
  Q_OBJECT
 public:
  explicit Main(AppContext& ctx, QWidget* parent = nullptr);

  void Form_Load();
  void M_Open_Click();
  // A deck list pasted or read as text replaces the deck; the deck as text out.
  void M_OpenText_Click();
  void M_SaveText_Click();
  void M_Save_Click();
  // The dialog offers the deck's own file (the one it was opened from or
  // saved to last), where デッキ保存 offers the name chosen last.
  void M_SaveAs_Click();
  void M_SaveHtml_Click();
  // After the unsaved-deck question: an empty deck, title and comment.
  void M_New_Click();
  // The deck as it was before the newest change, or after the change undone last.
  void M_Undo_Click();
  void M_Redo_Click();
  // A deck file of the recent list, opened as デッキを開く opens it; one
  // that is gone leaves the list with a message.
  void openRecentDeck(const QString& path);
  // A file from outside (the command line, a second start, a drop): opened
  // as デッキを開く would open it, or for a deck list in text as
  // テキストから読み込み would read it, once no dialog or menu is open.
  void openGivenFile(const QString& path);
  // A second start handed its file over: the window comes to the front.
  void takeHandedOverFile(const QString& path);
  // Card data from a downloaded MTGJSON file in place of the card database's.
  void M_UpdateCards_Click();
  void M_Close_Click();
  void M_PrintDec_Click();
  void M_PrintProxy_Click();
  void M_PrintToken_Click();
  void M_Ver_Click();
  // The tab control got the focus: the deck-print preview follows the deck.
  void SSTab1_GotFocus();

  // The file dialog of the open, save, HTML, text and PDF commands.
  CommonDialog CommonDialog1{this};
  // The card data update's own file dialog, so that the deck commands never
  // offer a card data file's name.
  CommonDialog CardDataDialog{this};
  // Replaces the window's message boxes (a headless run answers them).
  void setMessageBox(MessageBoxFunction show) { messageBox_ = std::move(show); }

  // The one question before the deck is replaced or dropped: every command
  // that does so asks it first. A changed deck is saved (through the dialog),
  // dropped or kept as the user says; false means keep it and stop.
  bool mayDropDeck();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createMenus();
  void updateEditMenu();
  void updateRecentMenu();
  // Saving through the dialog, offering `offered` when given; false when
  // cancelled or failed.
  bool saveDeck(const QString& offered = {});
  // Opening after the question was asked; false when it failed (and said why).
  bool openDeckFile(const QString& path);
  // The text import's dialog, holding `file`'s text or the clipboard's.
  void importDeckText(const std::optional<QString>& file);
  void openPendingFile();
  // Runs `change` of the deck and keeps it as a step to undo.
  void deckStep(DeckStep step, const std::function<void()>& change, const QString& fileName = {});
  DeckMoment deckMoment(bool withText);
  void showRestored(const std::optional<DeckRestored>& restored);
  // A deck file opened or saved: the deck's own file, first in the recent list.
  void usedDeckFile(const QString& path);
  // The expansion lists' and the search's state, and what the user chose in them.
  void loadSearchLists();
  void rememberSearch();
  // After the deck was replaced: the focus moves as opening a deck file moves it.
  void focusTabControl();
  Deck currentDeck();
  // Printing through this window's message boxes and file dialog.
  PrintUi printUi(QWidget* parent);
  QMessageBox::StandardButton messageBox(QMessageBox::Icon icon, const QString& text,
                                         QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                         QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

  AppContext& ctx_;
  MessageBoxFunction messageBox_ = execMessageBox;
  DeckChangeTracker deckTracker_;
  DeckHistory history_;
  UserChoices choices_;
  QStringList expansionCodes_;  // of lst_CardSet's lines
  QTimer rememberSearchTimer_;  // a drag over many expansions is written once
  bool loadingLists_ = false;
  QString deckFile_;  // the file the deck was opened from or saved to last
  QStringList pendingFiles_;
  QTimer pendingTimer_;
  bool previewRebuilt_ = false;
  bool closing_ = false;

  QTabWidget* SSTab1;
  DeckBuildTab* deckBuildTab_;
  DeckOutputTab* deckOutputTab_;
  TokenTab* tokenTab_;
  DeckAnalysisTab* analysisTab_;

  QMenu* M_Fail;
  QAction *M_Open, *M_OpenText, *M_Kubun1, *M_Save, *M_SaveHtml, *M_SaveText, *M_Kubun2, *M_Close;
  QAction *M_Kubun3, *M_UpdateCards;
  QAction *M_New, *M_SaveAs;
  QMenu* M_Recent;
  QMenu* M_Edit;
  QAction *M_Undo, *M_Redo;
  QMenu* M_Print;
  QAction *M_PrintDec, *M_PrintProxy, *M_PrintToken;
  QMenu* M_Help;
  QAction* M_Ver;
};

}  // namespace tv

#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QTabWidget>

#include "app/commondialog.h"
#include "app/messagebox.h"
#include "app/printing.h"
#include "deck/deckfile.h"
#include "session/context.h"

namespace tv {

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
  void M_SaveHtml_Click();
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
  // Saving through the dialog; false when cancelled or failed.
  bool saveDeck();
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
  bool previewRebuilt_ = false;
  bool closing_ = false;

  QTabWidget* SSTab1;
  DeckBuildTab* deckBuildTab_;
  DeckOutputTab* deckOutputTab_;
  TokenTab* tokenTab_;

  QMenu* M_Fail;
  QAction *M_Open, *M_OpenText, *M_Kubun1, *M_Save, *M_SaveHtml, *M_SaveText, *M_Kubun2, *M_Close;
  QAction *M_Kubun3, *M_UpdateCards;
  QMenu* M_Print;
  QAction *M_PrintDec, *M_PrintProxy, *M_PrintToken;
  QMenu* M_Help;
  QAction* M_Ver;
};

}  // namespace tv

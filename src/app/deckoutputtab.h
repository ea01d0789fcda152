// The deck-output tab: the print options, the title and comment that go
// with the deck, and the deck-print preview.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>

#include "output/deckprint.h"
#include "session/context.h"

namespace tv {

class DeckOutputTab : public QWidget {
  Q_OBJECT
 public:
  explicit DeckOutputTab(AppContext& ctx, QWidget* parent = nullptr);

  // Rebuilds txt_PrintDec from the deck tables and the print options; run
  // by every option box's click and whenever the tab control gets the focus.
  void RefreshPrintPreview();

  // The eight print options as their boxes stand now.
  PrintOptions printOptions() const;
  bool htmlCardText() const { return chk_HCardText->isChecked(); }
  // The boxes as an earlier run left them; the preview is not rebuilt.
  void setOptions(const PrintOptions& options, bool htmlCardText);

  QString printTitle() const { return txt_PrintTitle->text(); }
  QString printComment() const { return txt_PrintComment->toPlainText(); }
  // The preview as it stands: printing never rebuilds it.
  QString printDeck() const { return txt_PrintDec->toPlainText(); }
  void setPrintTitle(const QString& title) { txt_PrintTitle->setText(title); }
  void setPrintComment(const QString& comment) { txt_PrintComment->setPlainText(comment); }

 Q_SIGNALS:
  // A print option or the HTML option changed.
  void optionsChanged();

 private:
  std::array<QCheckBox*, 9> optionBoxes() const {
    return {chk_NameE, chk_NameN, chk_Cost,      chk_Rare,     chk_CardSetEx,
            chk_Space, chk_Side,  chk_ManaCurve, chk_HCardText};
  }

  AppContext& ctx_;

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
};

}  // namespace tv

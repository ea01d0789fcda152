#include "app/deckoutputtab.h"

#include "app/controls.h"
#include "app/guarded.h"
#include "output/deckprint.h"

namespace tv {

DeckOutputTab::DeckOutputTab(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  QWidget* page = this;
  lbl_PrintOption = named(new QLabel(QStringLiteral("印刷出力ｵﾌﾟｼｮﾝ"), page), "lbl_PrintOption");
  place(lbl_PrintOption, 120, 480, 2055, 255);
  chk_NameE = newCheck(page, "chk_NameE", QStringLiteral("英語名"), true);
  chk_NameN = newCheck(page, "chk_NameN", QStringLiteral("日本語名"), true);
  chk_Cost = newCheck(page, "chk_Cost", QStringLiteral("コスト"), true);
  chk_Rare = newCheck(page, "chk_Rare", QStringLiteral("レアリティ"), true);
  chk_CardSetEx = newCheck(page, "chk_CardSetEx", QStringLiteral("ｴｷｽﾊﾟﾝｼｮﾝ"), true);
  chk_Space = newCheck(page, "chk_Space", QStringLiteral("空白"), true);
  chk_ManaCurve = newCheck(page, "chk_ManaCurve", QStringLiteral("マナカーブ"), true);
  chk_Side = newCheck(page, "chk_Side", QStringLiteral("サイド"), true);
  int left = 240;
  for (QCheckBox* box :
       {chk_NameE, chk_NameN, chk_Cost, chk_Rare, chk_CardSetEx, chk_Side, chk_Space, chk_ManaCurve}) {
    place(box, left, 720, 1035, 255);
    left += 1080;
  }

  Label6 = named(new QLabel(QStringLiteral("HTML出力ｵﾌﾟｼｮﾝ"), page), "Label6");
  place(Label6, 120, 1080, 2055, 255);
  chk_HCardText = newCheck(page, "chk_HCardText", QStringLiteral("ｶｰﾄﾞﾃｷｽﾄ"), false);
  place(chk_HCardText, 240, 1320, 1455, 255);

  lbl_Title = named(new QLabel(QStringLiteral("タイトル："), page), "lbl_Title");
  place(lbl_Title, 120, 1860, 855, 255);
  txt_PrintTitle = named(new QLineEdit(page), "txt_PrintTitle");
  place(txt_PrintTitle, 960, 1800, 8775, 375);

  lbl_Comment = named(new QLabel(QStringLiteral("コメント"), page), "lbl_Comment");
  place(lbl_Comment, 120, 2160, 1575, 255);
  txt_PrintComment = named(new QPlainTextEdit(page), "txt_PrintComment");
  place(txt_PrintComment, 120, 2400, 9615, 615);

  lbl_Dec = named(new QLabel(QStringLiteral("デッキリスト"), page), "lbl_Dec");
  place(lbl_Dec, 120, 3120, 1575, 255);
  const QFont printFont(QStringLiteral("ＭＳ ゴシック"), 9);
  txt_PrintDec = newTextBox(page, "txt_PrintDec", &printFont);
  txt_PrintDec->setLineWrapMode(QPlainTextEdit::NoWrap);
  place(txt_PrintDec, 120, 3360, 9615, 4335);

  for (QCheckBox* box :
       {chk_NameE, chk_NameN, chk_Cost, chk_Rare, chk_CardSetEx, chk_Side, chk_Space, chk_ManaCurve})
    connect(box, &QCheckBox::clicked, this, &DeckOutputTab::RefreshPrintPreview);
  for (QCheckBox* box : optionBoxes())
    connect(box, &QCheckBox::toggled, this, &DeckOutputTab::optionsChanged);
}

void DeckOutputTab::setOptions(const PrintOptions& o, bool htmlCardText) {
  const bool on[] = {o.NameE, o.NameN, o.Cost,      o.Rare,      o.CardSetEx,
                     o.Space, o.Side,  o.ManaCurve, htmlCardText};
  for (size_t i = 0; i < optionBoxes().size(); ++i) optionBoxes()[i]->setChecked(on[i]);
}

PrintOptions DeckOutputTab::printOptions() const {
  return {chk_NameE->isChecked(), chk_NameN->isChecked(),     chk_Cost->isChecked(),
          chk_Rare->isChecked(),  chk_CardSetEx->isChecked(), chk_Space->isChecked(),
          chk_Side->isChecked(),  chk_ManaCurve->isChecked()};
}

void DeckOutputTab::RefreshPrintPreview() {
  guarded(this, [&] {
    txt_PrintDec->setPlainText(DeckPrintText(*ctx_.gCardDb, printOptions()).RefreshPrintPreview());
  });
}

}  // namespace tv

// Every control of the main window as a user meets it: caption, place,
// starting state, shortcut; every caption whole, no control over another.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>
#include <span>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "core/fonts.h"
#include "support/printers.h"
#include "support/window.h"

using namespace tv;
using tvtest::findControl;

namespace {

enum State { Off, On, Any };

struct Control {
  const char* name;
  const char* caption;           // "" for none
  int left, top, width, height;  // twips in the tab page, or in the frame; -1: not fixed
  State checked = Any;
};

// The controls of each tab; a frame's boxes follow it.
// clang-format off
const Control kDeckTab[] = {
    {"Frame1", "エキスパンション", 120, 480, 2055, 1335},
    {"lst_CardSet", "", 120, 240, 1815, 960},
    {"fra_Color", "色", 120, 1800, 2055, 1335},
    {"chk_W", "白", 240, -1, -1, -1, On},   {"chk_U", "青", 240, -1, -1, -1, On},
    {"chk_B", "黒", 240, -1, -1, -1, On},   {"chk_M", "マルチ", 240, -1, -1, -1, On},
    {"chk_R", "赤", 1080, -1, -1, -1, On},  {"chk_G", "緑", 1080, -1, -1, -1, On},
    {"chk_N", "無色", 1080, -1, -1, -1, On},
    {"fra_CardType", "タイプ", 120, 3120, 2055, 1815},
    {"chk_Land", "土地", -1, -1, -1, -1, On},                {"chk_Instant", "インスタント", -1, -1, -1, -1, On},
    {"chk_Sorcery", "ソーサリー", -1, -1, -1, -1, On},       {"chk_Enchantment", "エンチャント", -1, -1, -1, -1, On},
    {"chk_Artifact", "アーティファクト", -1, -1, -1, -1, On}, {"chk_Creature", "クリーチャー", -1, -1, -1, -1, On},
    {"chk_Planeswalker", "プレインズウォーカー", -1, -1, -1, -1, On},
    {"fra_CType", "種族", 120, 4920, 2055, 735},
    {"chk_CType", "", 120, 240, -1, -1, Off},  {"cmb_CType", "", -1, -1, -1, -1},
    {"fra_Sort", "ソート", 120, 5640, 2055, 1575},
    {"opt_NameE", "英語名", -1, -1, -1, -1, On},  {"opt_NameN", "日本語名", -1, -1, -1, -1, Off},
    {"opt_Cost", "コスト", -1, -1, -1, -1, Off},  {"opt_Attack", "パワー", -1, -1, -1, -1, Off},
    {"opt_Defence", "タフネス", -1, -1, -1, -1, Off},
    {"cmd_reload", "再検索", 120, 7320, 2055, 375},
    {"Label1", "カード内容", 2280, 480, 1575, 255},
    {"txt_CardText", "", 2280, 720, 7455, 2775},
    {"Label2", "カードリスト", 2280, 3600, -1, -1},
    {"lst_CardList", "", 2280, 3840, 3135, 3840},
    {"lbl_Name", "カード名", 3870, 3600, 735, 255},
    {"txt_Name", "", 4620, 3510, 1875, 315},
    {"cmd_AddMain", "→追加", 5520, 4200, 975, 375},
    {"cmd_DellMain", "←削除", 5520, 4680, 975, 375},
    {"Label3", "デッキリスト", 6600, 3600, -1, -1},
    {"lbl_Main", "-メイン- 0枚", -1, 3960, -1, -1},
    {"lst_DecList", "", 6600, 3840, 3135, 1860},
    {"cmd_MoveSide", "↓", 7680, 5780, 375, 375},
    {"cmd_MoveMain", "↑", 8160, 5780, 375, 375},
    {"lbl_Side", "-サイド- 0枚", -1, 6240, -1, -1},
    {"lst_DecSideList", "", 6600, 6240, 3135, 1320},
    {"cmd_AddSide", "→追加", 5520, 6480, 975, 375},
    {"cmd_DellSide", "←削除", 5520, 6960, 975, 375},
    {"cmd_ProxyPrint", "代理カード印刷", 8040, 360, 1455, -1},
};

const Control kOutputTab[] = {
    {"lbl_PrintOption", "印刷出力ｵﾌﾟｼｮﾝ", -1, -1, -1, -1},
    {"chk_NameE", "英語名", 240, 720, -1, -1, On},        {"chk_NameN", "日本語名", 1320, 720, -1, -1, On},
    {"chk_Cost", "コスト", 2400, 720, -1, -1, On},        {"chk_Rare", "レアリティ", 3480, 720, -1, -1, On},
    {"chk_CardSetEx", "ｴｷｽﾊﾟﾝｼｮﾝ", 4560, 720, -1, -1, On}, {"chk_Side", "サイド", 5640, 720, -1, -1, On},
    {"chk_Space", "空白", 6720, 720, -1, -1, On},          {"chk_ManaCurve", "マナカーブ", 7800, 720, -1, -1, On},
    {"Label6", "HTML出力ｵﾌﾟｼｮﾝ", -1, -1, -1, -1},
    {"chk_HCardText", "ｶｰﾄﾞﾃｷｽﾄ", 240, 1320, -1, -1, Off},
    {"lbl_Title", "タイトル：", -1, -1, -1, -1},    {"txt_PrintTitle", "", 960, 1800, 8775, -1},
    {"lbl_Comment", "コメント", -1, -1, -1, -1},    {"txt_PrintComment", "", 120, 2400, 9615, 615},
    {"lbl_Dec", "デッキリスト", -1, -1, -1, -1},    {"txt_PrintDec", "", 120, 3360, 9615, 4335},
};

const Control kTokenTab[] = {
    {"Label5", "トークンリスト", -1, -1, -1, -1},   {"lst_TokenList", "", 360, 720, 3135, 2580},
    {"Label4", "トークン内容", -1, -1, -1, -1},     {"txt_TokenText", "", 3840, 720, 2895, 2580},
    {"cmd_TPrint", "印刷(&P)", 5520, 3600, -1, -1},
};
// clang-format on

QString captionOf(const QWidget* w) {
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  return {};
}

// The width the caption needs, or 0 for a control without one.
int captionWidth(const QWidget* w) {
  if (auto* b = qobject_cast<const QPushButton*>(w))  // the style's minimum width aside
    return b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) +
           2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
  if (qobject_cast<const QAbstractButton*>(w)) return w->sizeHint().width();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->fontMetrics().horizontalAdvance(l->text());
  if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel;
    opt.textAlignment = g->alignment();
    opt.lineWidth = 1;
    return g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g).right() + 1;
  }
  return 0;
}

// The inked pixels of a label's text, in `to`'s coordinates; empty for other controls.
QRect captionRect(const QWidget* w, const QWidget* to) {
  auto* l = qobject_cast<const QLabel*>(w);
  if (!l) return {};
  const QFontMetrics fm = l->fontMetrics();
  const QRect line = l->style()->itemTextRect(fm, l->contentsRect(), int(l->alignment()), true, l->text());
  const int baseline = line.top() + fm.ascent();
  return fm.tightBoundingRect(l->text()).translated(line.left(), baseline).translated(l->mapTo(to, QPoint()));
}

// Controls laid out edge to edge may share a line of pixels, as frames do,
// but none may lie over another or over a caption.
bool covers(const QWidget* a, const QWidget* b, const QWidget* in) {
  const QRect both = QRect(a->mapTo(in, QPoint()), a->size()) & QRect(b->mapTo(in, QPoint()), b->size());
  if (both.isEmpty()) return false;
  return (both.width() > 1 && both.height() > 1) || both.intersects(captionRect(a, in)) ||
         both.intersects(captionRect(b, in));
}

class LayoutTest : public tvtest::WindowTest {
 protected:
  void fill() override {
    installFontSubstitutions();  // the faces the program measures its captions in
    tvtest::addStandardCards(f);
  }
};

}  // namespace

TEST_F(LayoutTest, EveryControlsCaptionPlaceAndStartingState) {
  auto* tabs = findControl<QTabWidget>(w.get(), "SSTab1");
  ASSERT_TRUE(tabs);
  EXPECT_EQ(w->windowTitle(), "Talvik's");
  EXPECT_EQ(tabs->size(), QSize(twips(9870), twips(7815)));
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  EXPECT_EQ(tabs->currentIndex(), 0);
  const std::pair<const char*, std::span<const Control>> tabList[] = {
      {"デッキ作成", kDeckTab}, {"デッキ出力編集", kOutputTab}, {"トークン出力編集", kTokenTab}};
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(tabs->tabText(t), tabList[t].first);
    tabs->setCurrentIndex(t);
    for (const Control& c : tabList[t].second) {
      SCOPED_TRACE(c.name);
      auto* control = findControl<QWidget>(w.get(), c.name);
      ASSERT_TRUE(control);
      EXPECT_TRUE(control->isVisible());
      EXPECT_EQ(captionOf(control), c.caption);
      // In a frame: from the frame's corner; otherwise from the tab control's.
      QWidget* frame = qobject_cast<QGroupBox*>(control->parentWidget());
      const QPoint at = control->mapTo(frame ? frame : static_cast<QWidget*>(tabs), QPoint());
      const int expected[] = {c.left, c.top, c.width, c.height};
      const int actual[] = {at.x(), at.y(), control->width(), control->height()};
      for (int k = 0; k < 4; ++k) {
        if (expected[k] >= 0) {
          EXPECT_EQ(actual[k], twips(expected[k])) << k;
        }
      }
      // Whole, not cut off by the page it stands on.
      EXPECT_EQ(control->visibleRegion().boundingRect().top(), 0);
      if (c.checked != Any) {
        EXPECT_EQ(qobject_cast<QAbstractButton*>(control)->isChecked(), c.checked == On);
      }
    }
  }
  // The deck analysis beside them, laid out by Qt (EveryCaptionFits… checks it).
  EXPECT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(3), "デッキ分析");
  tabs->setCurrentIndex(0);

  QStringList menus;
  for (const QAction* menu : w->menuBar()->actions()) {
    menus << menu->menu()->objectName() + u' ' + menu->text();
    for (const QAction* a : menu->menu()->actions())
      menus << (a->isSeparator() ? a->objectName() + " -"
                                 : a->objectName() + u' ' + a->text() + u' ' + a->shortcut().toString());
  }
  EXPECT_EQ(menus, (QStringList{"M_Fail ファイル(&F)",
                                "M_Open デッキを開く(&O) Ctrl+O",
                                "M_OpenText テキストから読み込み(&T)... ",
                                "M_New 新規作成 Ctrl+N",
                                "M_Recent 最近使ったデッキ ",
                                "M_Kubun1 -",
                                "M_Save デッキ保存(&S) Ctrl+S",
                                "M_SaveHtml デッキHTML出力(&H) Ctrl+H",
                                "M_SaveText テキストで保存(&X)... ",
                                "M_SaveAs 名前を付けて保存 Ctrl+Shift+S",
                                "M_Kubun3 -",
                                "M_UpdateCards カードデータの更新(&U)... ",
                                "M_Kubun2 -",
                                "M_Close 終了(&E) Ctrl+E",
                                "M_Edit 編集(&E)",
                                "M_Undo 元に戻す Ctrl+Z",
                                "M_Redo やり直し Ctrl+Y",
                                "M_Print 印刷(&P)",
                                "M_PrintDec デッキ印刷(&D) Ctrl+D",
                                "M_PrintProxy 代理カード印刷(&P) Ctrl+P",
                                "M_PrintToken トークン印刷(&T) Ctrl+T",
                                "M_Help ヘルプ(&H)",
                                "M_Ver バージョン情報(&V) Ctrl+V"}));
  // What assistive technology reads of the items that are not in the menus from the start.
  QStringList read;
  for (const auto& [menu, item] : {std::pair{"M_Fail", "M_New"},
                                   {"M_Fail", "M_Recent"},
                                   {"M_Fail", "M_SaveAs"},
                                   {"M_Edit", "M_Undo"},
                                   {"M_Edit", "M_Redo"}}) {
    QMenu* m = findControl<QMenu>(w.get(), menu);
    read << QAccessible::queryAccessibleInterface(m)
                ->child(int(m->actions().indexOf(findControl<QAction>(m, item))))
                ->text(QAccessible::Name);
  }
  EXPECT_EQ(read, (QStringList{"新規作成", "最近使ったデッキ", "名前を付けて保存", "元に戻す", "やり直し"}));
  EXPECT_FALSE(findControl<QAction>(w.get(), "M_Undo")->isEnabled() ||
               findControl<QAction>(w.get(), "M_Redo")->isEnabled() ||
               findControl<QAction>(w.get(), "M_Recent")->isEnabled());
}

TEST_F(LayoutTest, EveryCaptionFitsAndNoControlCoversAnother) {
  auto* tabs = findControl<QTabWidget>(w.get(), "SSTab1");
  for (int t = 0; t < tabs->count(); ++t) {
    tabs->setCurrentIndex(t);
    QApplication::processEvents();
    // A page that Qt lays out has room for all it holds.
    if (QWidget* page = tabs->currentWidget(); page->layout()) {
      EXPECT_LE(page->minimumSizeHint().width(), page->width());
      EXPECT_LE(page->minimumSizeHint().height(), page->height());
    }
    for (QWidget* c : w->findChildren<QWidget*>()) {
      if (c->objectName().isEmpty() || !c->isVisible() || captionWidth(c) == 0) continue;
      EXPECT_LE(captionWidth(c), c->width()) << c->objectName().toStdString();
      EXPECT_LE(c->fontMetrics().height(), c->height()) << c->objectName().toStdString();
    }
    // The controls of the page with the tab row and what stands beside it,
    // then the controls of each frame.
    QList<QList<QWidget*>> groups(1);
    groups[0] << tabs->tabBar();
    for (QWidget* k : tabs->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (!k->objectName().startsWith("qt_")) groups[0] << k;
    for (QWidget* k : tabs->currentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      groups[0] << k;
      if (qobject_cast<QGroupBox*>(k)) groups << k->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    }
    for (const QList<QWidget*>& group : groups)
      for (int i = 0; i < group.size(); ++i)
        for (int j = i + 1; j < group.size(); ++j)
          if (group[i]->isVisible() && group[j]->isVisible()) {
            EXPECT_FALSE(covers(group[i], group[j], tabs))
                << group[i]->objectName().toStdString() << " and " << group[j]->objectName().toStdString();
          }
  }
}

// The fixed-pitch layouts count a full-width character as two columns.
TEST(Fonts, FixedPitchFaceIsAnInstalledCjkFaceWithDoubleWidthKanji) {
  tv::installFontSubstitutions();
  for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック"}) {
    const QString family = QFontInfo(QFont(QString::fromUtf8(face))).family();
    EXPECT_TRUE(family.contains("CJK") || family.contains("Gothic")) << family.toStdString();
  }
  QFont fixed(QStringLiteral("ＭＳ ゴシック"));
  fixed.setPointSize(9);
  const QFontMetrics m(fixed);
  EXPECT_EQ(m.horizontalAdvance(QStringLiteral("山")), 2 * m.horizontalAdvance(QStringLiteral("a")));
}

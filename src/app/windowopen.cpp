#include "app/windowopen.h"

#include <QGuiApplication>
#include <QScreen>
#include <utility>

#include "app/twips.h"

namespace tv {

WindowOpen::WindowOpen(const QString& versionLabel, std::function<void()> onTimer, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), onTimer_(std::move(onTimer)) {
  setObjectName(QStringLiteral("WindowOpen"));
  setFixedSize(twips(4815), twips(1575));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 255));
  setPalette(pal);

  Label1 = new QLabel(versionLabel, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(twips(120), twips(120), twips(4575), twips(1335));
  Label1->setAutoFillBackground(true);
  QPalette lp = Label1->palette();
  lp.setColor(QPalette::Window, QColor(192, 192, 255));
  lp.setColor(QPalette::WindowText, QColor(64, 64, 64));
  Label1->setPalette(lp);
  QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
  font.setPointSizeF(21.75);
  font.setBold(true);
  Label1->setFont(font);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  // Two seconds, not the few per cent more a coarse timer allows itself.
  Timer1->setTimerType(Qt::PreciseTimer);
  connect(Timer1, &QTimer::timeout, this, &WindowOpen::Timer1_Timer);
  Timer1->start(2000);
}

void WindowOpen::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (afterShown_) QTimer::singleShot(0, std::exchange(afterShown_, nullptr));
}

void WindowOpen::Timer1_Timer() {
  close();
  if (onTimer_) onTimer_();
  deleteLater();
}

}  // namespace tv

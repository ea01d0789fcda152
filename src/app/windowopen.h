#pragma once

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tv {

// The start-up window: the version texts on blue for two seconds, then it
// closes and hands over to the main window.
class WindowOpen : public QWidget {
  Q_OBJECT
 public:
  WindowOpen(const QString& versionLabel, std::function<void()> onTimer, QWidget* parent = nullptr);

  QLabel* Label1;
  QTimer* Timer1;

  // The first tick: close and show the main window.
  void Timer1_Timer();

  // Runs `work` once the window has painted, when the program is next idle:
  // the work of the two seconds it stays.
  void afterShown(std::function<void()> work) { afterShown_ = std::move(work); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::function<void()> onTimer_;
  std::function<void()> afterShown_;
};

}  // namespace tv

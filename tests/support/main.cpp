#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "core/translations.h"

int main(int argc, char** argv) {
  // Headless unless the caller chose a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The user's configuration and data folders are the run's own: no TV.ini,
  // card database or remembered option of whoever runs the tests counts.
  const QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.filePath("config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", home.filePath("data").toLocal8Bit());
  QApplication app(argc, argv);
  tv::installQtTranslations();  // Qt's own dialogs as the program shows them
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

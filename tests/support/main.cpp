#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "core/translations.h"

int main(int argc, char** argv) {
  // Headless unless the caller chose a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Remembered options go to a folder of the run's own, never the user's.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  QApplication app(argc, argv);
  tv::installQtTranslations();  // Qt's own dialogs as the program shows them
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

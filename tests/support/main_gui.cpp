#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "app/DebugLines.h"
#include "app/LeakSuppressions.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
  // Widget tests never need a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // As the program does: the windows' batch log shows why a command failed.
  installDebugLineTap();
  // The folders the file dialogs remember go to a file of the test's own,
  // never the user's settings.
  QTemporaryDir settingsDir;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "app/Settings.h"
#include "app/Startup.h"
#include "body/Body.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

// The start-up path shows the main window titled "Lumacresta", and the
// event loop ends cleanly when the window emits finishing().
TEST(Startup, MainWindowShowsAndFinishingEndsTheLoop)
{
  QString title;
  bool sawBody = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* body = qobject_cast<Body*>(w)) {
        sawBody = body->isVisible();
        title = body->windowTitle();
        emit body->finishing();
      }
    }
  });
  const int rc = runMainWindow(StartupOptions());
  EXPECT_TRUE(sawBody);
  EXPECT_EQ(title, "Lumacresta");
  EXPECT_EQ(rc, 0);
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_EQ(qobject_cast<Body*>(w), nullptr); // destroyed after the loop
}

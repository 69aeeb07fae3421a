#include "gui/display/BringToFront.h"

#include <QWidget>

void bringToFront(QWidget* window)
{
  if (!window)
    return;
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

#include "gui/display/BringToFront.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

void fitToScreen(QWidget* window)
{
  if (!window)
    return;
  const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
  const QScreen* screen = parent ? parent->screen() : window->screen();
  if (!screen)
    screen = QGuiApplication::primaryScreen();
  if (!screen)
    return;
  // Room for the frame the window manager adds around the window.
  const QMargins frame(8, 8, 8, 48); // the title bar counts below the top-left corner
  const QRect room = screen->availableGeometry().marginsRemoved(frame);
  const QSize now = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
  const QSize size = now.boundedTo(room.size()).expandedTo(window->minimumSize());
  window->resize(size);
  // Left to itself the window manager may put a window partly off the
  // screen; one not placed yet opens beside the top of its parent.
  QPoint at = window->pos();
  if (!window->testAttribute(Qt::WA_Moved))
    at = parent ? parent->geometry().topLeft() + QPoint(40, 40) : room.topLeft();
  const int x =
    std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width() + 1));
  const int y =
    std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - size.height() + 1));
  window->move(x, y);
}

void bringToFront(QWidget* window)
{
  if (!window)
    return;
  // A window that opens now fits the screen it opens on; one already open
  // stays where the user put it.
  if (!window->isVisible())
    fitToScreen(window);
  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();
}

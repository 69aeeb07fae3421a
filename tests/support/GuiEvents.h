#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

// Mouse moves and wheel notches sent straight to a widget: QTest moves the
// cursor for a move, which carries no buttons and does nothing offscreen.
namespace lctest {

inline void moveMouse(QWidget* w,
                      QPoint pos,
                      Qt::MouseButtons buttons = Qt::NoButton,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  QMouseEvent e(QEvent::MouseMove, pos, w->mapToGlobal(pos), Qt::NoButton, buttons, modifiers);
  QApplication::sendEvent(w, &e);
}

// A left-button drag from `from` to `to` through their midpoint.
inline void drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
  QTest::mousePress(w, Qt::LeftButton, mods, from);
  moveMouse(w, (from + to) / 2, Qt::LeftButton, mods);
  moveMouse(w, to, Qt::LeftButton, mods);
  QTest::mouseRelease(w, Qt::LeftButton, mods, to);
}

// notches > 0 turns the wheel away from the user.
inline void turnWheel(QWidget* w, QPoint pos, int notches)
{
  const QPoint delta(0, 120 * notches);
  QWheelEvent e(pos,
                w->mapToGlobal(pos),
                QPoint(),
                delta,
                Qt::NoButton,
                Qt::NoModifier,
                Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(w, &e);
}

} // namespace lctest

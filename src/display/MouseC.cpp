#include "display/MouseC.h"

#include <cmath>

MouseC::MouseC(QObject* parent)
  : QObject(parent)
{
}

QPoint MouseC::rounded(const QPointF& pos)
{
  return QPoint(static_cast<int>(std::floor(pos.x() + 0.5)),
                static_cast<int>(std::floor(pos.y() + 0.5)));
}

int MouseC::modeOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
  int row;
  if (buttons & Qt::LeftButton)
    row = 0;
  else if (buttons & Qt::RightButton)
    row = 8;
  else
    return 16;
  const bool shift = modifiers & Qt::ShiftModifier;
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool alt = modifiers & Qt::AltModifier;
  // Columns: none, Shift, Ctrl, Alt, Shift+Ctrl, Shift+Alt, Ctrl+Alt, all.
  int column = 0;
  if (shift && ctrl && alt)
    column = 7;
  else if (ctrl && alt)
    column = 6;
  else if (shift && alt)
    column = 5;
  else if (shift && ctrl)
    column = 4;
  else if (alt)
    column = 3;
  else if (ctrl)
    column = 2;
  else if (shift)
    column = 1;
  return row + column;
}

void MouseC::record(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
  m_previous = m_pos;
  m_pos = rounded(pos);
  m_buttons = buttons;
  m_modifiers = modifiers;
}

void MouseC::moved(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
  record(pos, buttons, modifiers);
}

void MouseC::pressed(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
  record(pos, buttons, modifiers);
  m_pressPos = m_pos;
  m_pressed = true;
}

void MouseC::released(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
  record(pos, buttons, modifiers);
  m_releasePos = m_pos;
  m_pressed = false;
}

void MouseC::doubleClicked(const QPointF& pos,
                           Qt::MouseButtons buttons,
                           Qt::KeyboardModifiers modifiers)
{
  record(pos, buttons, modifiers);
  m_pressPos = m_pos;
  m_pressed = true;
}

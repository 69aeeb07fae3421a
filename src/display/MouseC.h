#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>

// The mouse state of a drawing area: current, previous, pressed and released
// positions (rounded to whole pixels, halves up), the buttons and modifiers
// of the last event, and whether a button is held.
class MouseC : public QObject
{
  Q_OBJECT

public:
  explicit MouseC(QObject* parent = nullptr);

  // For a move, `buttons` are the buttons held; for a press, release or
  // double click, the button that changed.
  void moved(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void pressed(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void released(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  void doubleClicked(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  // The gesture code of the last event's button and modifiers (see modeOf).
  int mode() const { return modeOf(m_buttons, m_modifiers); }
  // Left button 0..7 (none, Shift 1, Ctrl 2, Alt 3, Shift+Ctrl 4,
  // Shift+Alt 5, Ctrl+Alt 6, all three 7), right button the same plus 8,
  // anything else 16. The left button wins when both are held.
  static int modeOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
  static QPoint rounded(const QPointF& pos);

  QPoint pos() const { return m_pos; }
  QPoint previousPos() const { return m_previous; }
  QPoint pressPos() const { return m_pressPos; }
  QPoint releasePos() const { return m_releasePos; }
  Qt::MouseButtons buttons() const { return m_buttons; }
  Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
  bool isPressed() const { return m_pressed; }

private:
  void record(const QPointF& pos, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

  QPoint m_pos;
  QPoint m_previous;
  QPoint m_pressPos;
  QPoint m_releasePos;
  Qt::MouseButtons m_buttons = Qt::NoButton;
  Qt::KeyboardModifiers m_modifiers = Qt::NoModifier;
  bool m_pressed = false;
};

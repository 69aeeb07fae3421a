#include "gui/display/DispA.h"

#include "display/ChCoord.h"
#include "display/MouseC.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

DispA::DispA(QWidget* parent)
  : QWidget(parent)
  , m_coord(new ChCoord(this))
  , m_mouse(new MouseC(this))
{
  setMouseTracking(true);
}

DispA::~DispA() = default;

void DispA::setBackground(const QColor& colour)
{
  m_background = colour;
  update();
}

void DispA::paintEvent(QPaintEvent*)
{
  QPainter p(this);
  p.fillRect(rect(), m_background);
  emit drawImage1(&p);
  emit drawImage2(&p);
}

void DispA::mouseMoveEvent(QMouseEvent* event)
{
  m_mouse->moved(event->localPos(), event->buttons(), event->modifiers());
  m_screenMousePos = m_mouse->pos();
  emit mouseMoved0();
  update();
}

void DispA::mousePressEvent(QMouseEvent* event)
{
  m_mouse->pressed(event->localPos(), event->button(), event->modifiers());
  m_screenMousePos = m_mouse->pos();
  m_mousePressed = true;
  emit mousePressed0();
}

void DispA::mouseReleaseEvent(QMouseEvent* event)
{
  m_mouse->released(event->localPos(), event->button(), event->modifiers());
  m_screenMousePos = m_mouse->pos();
  m_mousePressed = false;
  emit mouseReleased0();
}

void DispA::mouseDoubleClickEvent(QMouseEvent* event)
{
  m_mouse->doubleClicked(event->localPos(), event->button(), event->modifiers());
  m_screenMousePos = m_mouse->pos();
  m_mousePressed = true;
  emit mouseDoubleClicked0();
}

void DispA::wheelEvent(QWheelEvent* event)
{
  // 120 eighths of a degree make one notch of an ordinary wheel.
  m_wheelSteps = event->angleDelta().y() * 0.125 / 15.0;
  m_mouse->moved(event->position(), event->buttons(), event->modifiers());
  m_screenMousePos = m_mouse->pos();
  event->accept();
  // A sideways scroll has no vertical steps and must not zoom.
  if (m_wheelSteps == 0.0)
    return;
  m_zoomFactor = std::pow(1.1, -m_wheelSteps);
  emit wheelMoved0();
}

void DispA::setScreenMousePos(int x, int y)
{
  m_screenMousePos = QPoint(x, y);
  emit mouseMoved0();
  update();
}

void DispA::setRealMousePos(double x, double y)
{
  const double sx = m_coord->sx(x);
  const double sy = m_coord->sy(y);
  // Positions far outside the widget are kept representable as int.
  auto toInt = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
  if (std::isfinite(sx) && std::isfinite(sy))
    m_screenMousePos = QPoint(toInt(sx), toInt(sy));
  emit mouseMoved0();
  update();
}

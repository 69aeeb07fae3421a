#pragma once

#include "display/DrawText.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

class ChCoord;
class MouseC;

// Base of every drawing area: owns the coordinate transformation, the mouse
// state and the text drawer, paints its background and hands the painter
// to drawImage1 then drawImage2, and reports mouse and wheel events as
// signals after recording them.
class DispA : public QWidget
{
  Q_OBJECT

public:
  explicit DispA(QWidget* parent = nullptr);
  ~DispA() override;

  ChCoord* coord() const { return m_coord; }
  MouseC* mouse() const { return m_mouse; }
  const DrawText& drawText() const { return m_drawText; }
  QPoint screenMousePos() const { return m_screenMousePos; }
  // Notches of the last wheel event (negative towards the user) and the
  // view scale they ask for: 1.1 per notch outwards, 1/1.1 per notch inwards.
  double wheelSteps() const { return m_wheelSteps; }
  double zoomFactor() const { return m_zoomFactor; }
  bool isMousePressed() const { return m_mousePressed; }
  void setBackground(const QColor& colour);
  QColor background() const { return m_background; }

signals:
  void drawImage1(QPainter* p);
  void drawImage2(QPainter* p);
  void mouseMoved0();
  void mousePressed0();
  void mouseReleased0();
  void mouseDoubleClicked0();
  void wheelMoved0();

public slots:
  void setScreenMousePos(int x, int y);
  void setRealMousePos(double x, double y);

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

private:
  ChCoord* m_coord;
  MouseC* m_mouse;
  DrawText m_drawText;
  QColor m_background = QColor(0, 0, 0);
  QPoint m_screenMousePos;
  double m_wheelSteps = 0.0;
  double m_zoomFactor = 1.0;
  bool m_mousePressed = false;
};

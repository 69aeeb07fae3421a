#pragma once

#include <QObject>
#include <QVector>

// The ticks of one axis: every multiple of `step` from `first` to `last`.
struct NiceAxis
{
  double first = 0.0;
  double last = 1.0;
  double step = 1.0;
};

// Screen <-> data transformation of a drawing area. The full area is the
// widget, the drawing area the full area less the margins, and the real range
// the data shown across the drawing area (for images: frame pixels).
// Every function is finite for degenerate areas and ranges: a zero-sized
// range maps everything to its start instead of dividing by zero.
class ChCoord : public QObject
{
  Q_OBJECT

public:
  explicit ChCoord(QObject* parent = nullptr);

  // Sets both the full area and the drawing area.
  void setFullArea(double x0, double y0, double x1, double y1);
  void setDrawArea(double sx0, double sy0, double sx1, double sy1);
  void setRealRange(double rx0, double ry0, double rx1, double ry1);
  // Margin fractions of the full area's width (left, right) and height
  // (bottom, top); applied by applyMargins().
  void setMargins(double left, double right, double bottom, double top);
  void applyMargins();
  void setEdgeTolerances(double full, double draw);

  double sx(double rx) const;
  double sy(double ry) const;
  double sdx(double d) const; // a distance only
  double sdy(double d) const;
  double rx(double sx) const;
  double ry(double sy) const;
  double rxClamped(double sx) const; // clamped to the real range
  double ryClamped(double sy) const;
  double rdx(double d) const; // a distance only
  double rdy(double d) const;
  double rxFromOffset(double d) const; // d counted from sx0
  double ryFromOffset(double d) const;

  // True when v lies within |end - start| * tolerance of either end of the
  // drawing area (or of the full area).
  bool nearXEdge(double v, bool fullArea = false) const;
  bool nearYEdge(double v, bool fullArea = false) const;

  // The first of s, 2s, 5s (s = base * 10^k, k = 0..7) whose screen length
  // exceeds minPixels; base * 10^8 after that. Always positive and finite.
  double tickStepX(double base, double minPixels) const;
  double tickStepY(double base, double minPixels) const;

  double x0() const { return m_x0; }
  double x1() const { return m_x1; }
  double y0() const { return m_y0; }
  double y1() const { return m_y1; }
  double sx0() const { return m_sx0; }
  double sx1() const { return m_sx1; }
  double sy0() const { return m_sy0; }
  double sy1() const { return m_sy1; }
  double rx0() const { return m_rx0; }
  double rx1() const { return m_rx1; }
  double ry0() const { return m_ry0; }
  double ry1() const { return m_ry1; }

private:
  double m_x0 = 0, m_x1 = 1, m_y0 = 0, m_y1 = 1;
  double m_sx0 = 0, m_sx1 = 1, m_sy0 = 0, m_sy1 = 1;
  double m_rx0 = 0, m_rx1 = 1, m_ry0 = 0, m_ry1 = 1;
  double m_fullTolerance = 0.02, m_drawTolerance = 0.02;
  double m_left = 0, m_right = 0, m_bottom = 0, m_top = 0;
};

// [min, max] made drawable: ordered, a zero range widened around its value
// (by 5 %, or by 0.5 around 0); false when either end is not finite or the
// range overflows.
bool drawableRange(double& min, double& max);

// Ticks for the range [min, max]: a power of ten scaled by the nine-entry
// multiplier table. A zero range is widened around its value and a
// non-finite one becomes [0, 1], so the result is always finite with a
// positive step.
NiceAxis niceAxis(double min, double max);
// The tick values of an axis, at most maxTicks of them.
QVector<double> tickValues(const NiceAxis& axis, int maxTicks = 1000);
// The tick multiplier table of niceAxis(), indexed 0..8.
double niceAxisMultiplier(int n);

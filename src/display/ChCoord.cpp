#include "display/ChCoord.h"

#include <algorithm>
#include <cmath>

namespace {

// (b1 - b0) / (a1 - a0) * (v - a0) + b0, or b0 when [a0, a1] is empty.
double mapLinear(double v, double a0, double a1, double b0, double b1)
{
  const double span = a1 - a0;
  if (span == 0.0 || !std::isfinite(span))
    return b0;
  return (b1 - b0) / span * (v - a0) + b0;
}

double scaleDistance(double d, double a0, double a1, double b0, double b1)
{
  const double span = a1 - a0;
  if (span == 0.0 || !std::isfinite(span))
    return 0.0;
  return (b1 - b0) / span * d;
}

double clampTo(double v, double a, double b)
{
  return std::clamp(v, std::min(a, b), std::max(a, b));
}

bool nearEnds(double v, double a, double b, double tolerance)
{
  const double t = std::fabs(b - a) * tolerance;
  return std::fabs(v - a) <= t || std::fabs(v - b) <= t;
}

double tickStep(double base, double minPixels, double screenPerReal)
{
  base = std::fabs(base);
  if (!std::isfinite(base) || base == 0.0)
    base = 1.0;
  const double perReal = std::fabs(screenPerReal);
  double s = base;
  for (int k = 0; k < 8; ++k, s *= 10.0) {
    for (double m : { 1.0, 2.0, 5.0 }) {
      if (m * s * perReal > minPixels)
        return m * s;
    }
  }
  return base * 1e8;
}

// Multipliers of the axis unit for n = int(range / unit) - 1, that is for
// ranges of 1..2, 2..3, ... 9..10 units: five to ten ticks in every case.
constexpr double kMultipliers[9] = { 0.2, 0.5, 0.5, 0.5, 1.0, 1.0, 1.0, 2.0, 2.0 };

} // namespace

ChCoord::ChCoord(QObject* parent)
  : QObject(parent)
{
}

void ChCoord::setFullArea(double x0, double y0, double x1, double y1)
{
  m_x0 = x0;
  m_y0 = y0;
  m_x1 = x1;
  m_y1 = y1;
  setDrawArea(x0, y0, x1, y1);
}

void ChCoord::setDrawArea(double sx0, double sy0, double sx1, double sy1)
{
  m_sx0 = sx0;
  m_sy0 = sy0;
  m_sx1 = sx1;
  m_sy1 = sy1;
}

void ChCoord::setRealRange(double rx0, double ry0, double rx1, double ry1)
{
  m_rx0 = rx0;
  m_ry0 = ry0;
  m_rx1 = rx1;
  m_ry1 = ry1;
}

void ChCoord::setMargins(double left, double right, double bottom, double top)
{
  m_left = left;
  m_right = right;
  m_bottom = bottom;
  m_top = top;
}

void ChCoord::applyMargins()
{
  const double w = m_x1 - m_x0;
  const double h = m_y1 - m_y0;
  m_sx0 = static_cast<int>(m_left * w) + m_x0;
  m_sx1 = m_x1 - static_cast<int>(m_right * w);
  m_sy0 = static_cast<int>(m_top * h) + m_y0;
  m_sy1 = m_y1 - static_cast<int>(m_bottom * h);
}

void ChCoord::setEdgeTolerances(double full, double draw)
{
  m_fullTolerance = full;
  m_drawTolerance = draw;
}

double ChCoord::sx(double rx) const
{
  return mapLinear(rx, m_rx0, m_rx1, m_sx0, m_sx1);
}
double ChCoord::sy(double ry) const
{
  return mapLinear(ry, m_ry0, m_ry1, m_sy0, m_sy1);
}
double ChCoord::sdx(double d) const
{
  return scaleDistance(d, m_rx0, m_rx1, m_sx0, m_sx1);
}
double ChCoord::sdy(double d) const
{
  return scaleDistance(d, m_ry0, m_ry1, m_sy0, m_sy1);
}
double ChCoord::rx(double sx) const
{
  return mapLinear(sx, m_sx0, m_sx1, m_rx0, m_rx1);
}
double ChCoord::ry(double sy) const
{
  return mapLinear(sy, m_sy0, m_sy1, m_ry0, m_ry1);
}
double ChCoord::rxClamped(double sx) const
{
  return clampTo(rx(sx), m_rx0, m_rx1);
}
double ChCoord::ryClamped(double sy) const
{
  return clampTo(ry(sy), m_ry0, m_ry1);
}
double ChCoord::rdx(double d) const
{
  return scaleDistance(d, m_sx0, m_sx1, m_rx0, m_rx1);
}
double ChCoord::rdy(double d) const
{
  return scaleDistance(d, m_sy0, m_sy1, m_ry0, m_ry1);
}
double ChCoord::rxFromOffset(double d) const
{
  return rx(d + m_sx0);
}
double ChCoord::ryFromOffset(double d) const
{
  return ry(d + m_sy0);
}

bool ChCoord::nearXEdge(double v, bool fullArea) const
{
  return fullArea ? nearEnds(v, m_x0, m_x1, m_fullTolerance)
                  : nearEnds(v, m_sx0, m_sx1, m_drawTolerance);
}

bool ChCoord::nearYEdge(double v, bool fullArea) const
{
  return fullArea ? nearEnds(v, m_y0, m_y1, m_fullTolerance)
                  : nearEnds(v, m_sy0, m_sy1, m_drawTolerance);
}

double ChCoord::tickStepX(double base, double minPixels) const
{
  return tickStep(base, minPixels, sdx(1.0));
}

double ChCoord::tickStepY(double base, double minPixels) const
{
  return tickStep(base, minPixels, sdy(1.0));
}

double niceAxisMultiplier(int n)
{
  return kMultipliers[std::clamp(n, 0, 8)];
}

bool drawableRange(double& min, double& max)
{
  if (!std::isfinite(min) || !std::isfinite(max))
    return false;
  if (max < min)
    std::swap(min, max);
  if (max == min) {
    // A flat curve still gets an axis around its value.
    const double half = min == 0.0 ? 0.5 : std::fabs(min) * 0.05;
    min -= half;
    max += half;
  }
  const double range = max - min;
  return std::isfinite(range) && range > 0.0;
}

NiceAxis niceAxis(double min, double max)
{
  const NiceAxis fallback{ 0.0, 1.0, 0.2 };
  if (!drawableRange(min, max))
    return fallback;
  const double range = max - min;
  const double unit = std::pow(10.0, std::floor(std::log10(range)));
  // Rounding in log10 can put range / unit just outside [1, 10).
  const int n = static_cast<int>(std::clamp(range / unit, 0.0, 100.0)) - 1;
  const double step = n < 9 ? unit * niceAxisMultiplier(n) : unit;
  const NiceAxis axis{ std::ceil(min / step) * step, std::floor(max / step) * step, step };
  if (!(step > 0.0) || !std::isfinite(axis.first) || !std::isfinite(axis.last))
    return fallback; // ranges at the ends of the double scale
  return axis;
}

QVector<double> tickValues(const NiceAxis& axis, int maxTicks)
{
  QVector<double> ticks;
  if (!(axis.step > 0.0) || !std::isfinite(axis.first) || !std::isfinite(axis.last))
    return ticks;
  const double count = std::floor((axis.last - axis.first) / axis.step + 1e-9) + 1.0;
  const int n = static_cast<int>(std::clamp(count, 0.0, static_cast<double>(maxTicks)));
  ticks.reserve(n);
  for (int i = 0; i < n; ++i)
    ticks.append(axis.first + i * axis.step);
  return ticks;
}

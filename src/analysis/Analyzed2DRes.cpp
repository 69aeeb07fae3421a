#include "analysis/Analyzed2DRes.h"

#include <QDebug>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kUnsetMin = 1e300;
constexpr double kUnsetMax = -1e300;

double pixel(const QVector<double>& a, int width, int height, int x, int y)
{
  if (x < 0 || y < 0 || x >= width || y >= height || a.size() < width * height)
    return 0.0;
  return a[y * width + x];
}

} // namespace

Analyzed2DRes::Analyzed2DRes(const QString& name, QObject* parent)
  : QObject(parent)
  , m_name(name)
{
}

Analyzed2DRes& Analyzed2DRes::operator=(const Analyzed2DRes& other)
{
  if (this == &other)
    return *this;
  m_no = other.m_no;
  m_name = other.m_name;
  m_label = other.m_label;
  m_source = other.m_source;
  m_cond = other.m_cond;
  m_data = other.m_data;
  m_processed = other.m_processed;
  m_min = other.m_min;
  m_max = other.m_max;
  m_minPos = other.m_minPos;
  m_maxPos = other.m_maxPos;
  m_procMin = other.m_procMin;
  m_procMax = other.m_procMax;
  m_fixedScale = other.m_fixedScale;
  m_scaleMin = other.m_scaleMin;
  m_scaleMax = other.m_scaleMax;
  m_deglitchFactor = other.m_deglitchFactor;
  m_deglitchRatio = other.m_deglitchRatio;
  m_selectProcImg = other.m_selectProcImg;
  m_savedCount = other.m_savedCount;
  ++m_generation;
  return *this;
}

double Analyzed2DRes::valueAt(int x, int y) const
{
  return pixel(m_data, m_cond.width, m_cond.height, x, y);
}

double Analyzed2DRes::shownValueAt(int x, int y) const
{
  return pixel(selectedValues(), m_cond.width, m_cond.height, x, y);
}

void Analyzed2DRes::reset(const AnalyzeCond& cond)
{
  m_cond = cond;
  m_cond.reset();
  const int n = std::max(0, cond.width) * std::max(0, cond.height);
  m_data = QVector<double>(n, 0.0);
  m_processed = QVector<double>(n, 0.0);
  m_min = kUnsetMin;
  m_max = kUnsetMax;
  m_minPos = m_maxPos = QPoint();
  resetProcRange();
  m_deglitchFactor = 1.0;
  ++m_generation;
}

void Analyzed2DRes::clear()
{
  m_data.clear();
  m_processed.clear();
  m_min = kUnsetMin;
  m_max = kUnsetMax;
  m_minPos = m_maxPos = QPoint();
  resetProcRange();
  ++m_generation;
}

void Analyzed2DRes::resetProcRange()
{
  m_procMin = kUnsetMin;
  m_procMax = kUnsetMax;
}

void Analyzed2DRes::setData(int ix, int iy, int xw, int yw, double t)
{
  // A value equal to the current extreme keeps the first position. A point
  // without a value (NaN, an infinity) does not stretch the automatic scale.
  if (!std::isfinite(t)) {
    fillBlock(m_data, m_cond.width, m_cond.height, ix, iy, xw, yw, t);
    return;
  }
  if (t > m_max) {
    m_max = t;
    m_maxPos = QPoint(ix, iy);
  }
  if (t < m_min) {
    m_min = t;
    m_minPos = QPoint(ix, iy);
  }
  fillBlock(m_data, m_cond.width, m_cond.height, ix, iy, xw, yw, t);
}

void Analyzed2DRes::selectedRange(double& lo, double& hi) const
{
  if (m_selectProcImg) {
    lo = m_procMin;
    hi = m_procMax;
  } else {
    lo = m_min;
    hi = m_max;
  }
}

template<class F>
void Analyzed2DRes::forEachPoint(F f) const
{
  AnalyzeCond c = m_cond;
  c.reset();
  do {
    f(c);
  } while (c.next());
}

bool Analyzed2DRes::canProcess() const
{
  const int n = m_cond.width * m_cond.height;
  return n > 0 && m_data.size() >= n && m_processed.size() >= n;
}

void Analyzed2DRes::recordProcessed(const AnalyzeCond& at, double v)
{
  at.fill(m_processed, v);
  if (!std::isfinite(v))
    return;
  if (v < m_procMin)
    m_procMin = v;
  if (v > m_procMax)
    m_procMax = v;
}

void Analyzed2DRes::setDeglitchConds(double f, double r)
{
  m_deglitchFactor = f;
  m_deglitchRatio = r;
}

void Analyzed2DRes::deglitch()
{
  if (!canProcess())
    return;
  const int w = m_cond.width, h = m_cond.height;
  const int sx = m_cond.stepX, sy = m_cond.stepY;
  auto inside = [w, h](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h; };

  // First pass: the second difference across each point, horizontally and
  // vertically, where both neighbours lie on the map.
  QVector<double> glitch;
  double sum = 0.0;
  int count = 0;
  forEachPoint([&](const AnalyzeCond& c) {
    double g = 0.0;
    if (inside(c.cx, c.cy)) {
      const double v = valueAt(c.cx, c.cy);
      const bool hasH = inside(c.cx - sx, c.cy) && inside(c.cx + sx, c.cy);
      const bool hasV = inside(c.cx, c.cy - sy) && inside(c.cx, c.cy + sy);
      const double hv =
        hasH ? std::fabs(2 * v - valueAt(c.cx - sx, c.cy) - valueAt(c.cx + sx, c.cy)) : 0.0;
      const double vv =
        hasV ? std::fabs(2 * v - valueAt(c.cx, c.cy - sy) - valueAt(c.cx, c.cy + sy)) : 0.0;
      g = hasH && hasV ? (hv + vv) / 2 : hv + vv;
      sum += g;
      ++count;
    }
    glitch.append(g);
  });
  const double threshold = count > 0 ? sum / count * m_deglitchFactor : 0.0;
  resetProcRange();

  const double span = m_max - m_min;
  const double lo = m_min + span * m_deglitchRatio;
  const double hi = m_max - span * m_deglitchRatio;
  int i = 0;
  forEachPoint([&](const AnalyzeCond& c) {
    const double g = glitch[i++];
    if (!inside(c.cx, c.cy))
      return;
    double v = valueAt(c.cx, c.cy);
    if (g > threshold && (v < lo || v > hi)) {
      double s = 0.0;
      int n = 0;
      const int nx[4] = { c.cx - sx, c.cx + sx, c.cx, c.cx };
      const int ny[4] = { c.cy, c.cy, c.cy - sy, c.cy + sy };
      for (int k = 0; k < 4; ++k) {
        if (inside(nx[k], ny[k])) {
          s += valueAt(nx[k], ny[k]);
          ++n;
        }
      }
      if (n > 0)
        v = s / n;
    }
    recordProcessed(c, v);
  });
}

void Analyzed2DRes::deglitch2(double limit)
{
  if (!canProcess())
    return;
  const int w = m_cond.width, h = m_cond.height;
  const int sx = m_cond.stepX, sy = m_cond.stepY;
  auto inside = [w, h](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h; };

  double sum = 0.0;
  int count = 0;
  forEachPoint([&](const AnalyzeCond& c) {
    const double v = valueAt(c.cx, c.cy);
    if (inside(c.cx, c.cy) && std::fabs(v) < limit) {
      sum += v;
      ++count;
    }
  });
  const double mean = count > 0 ? sum / count : 0.0;
  resetProcRange();
  forEachPoint([&](const AnalyzeCond& c) {
    if (!inside(c.cx, c.cy))
      return;
    double v = valueAt(c.cx, c.cy);
    if (std::fabs(v - mean) > limit) {
      double s = 0.0;
      int n = 0;
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const int x = c.cx + dx * sx, y = c.cy + dy * sy;
          if ((dx == 0 && dy == 0) || !inside(x, y))
            continue;
          const double nv = valueAt(x, y);
          if (std::fabs(nv - mean) < limit) {
            s += nv;
            ++n;
          }
        }
      }
      v = n > 0 ? s / n : 0.0;
    }
    recordProcessed(c, v);
  });
}

void Analyzed2DRes::copyProc2Data()
{
  m_data = m_processed;
  m_min = m_procMin;
  m_max = m_procMax;
}

void Analyzed2DRes::setScale(double min, double max)
{
  m_scaleMin = min;
  m_scaleMax = max;
}

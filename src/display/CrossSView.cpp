#include "display/CrossSView.h"

#include "app/TextItems.h"
#include "display/ChCoord.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
}

CrossSView::CrossSView(QWidget* parent)
  : DispA(parent)
  , m_from(kNone)
  , m_to(kNone)
  , m_marker(kNone)
{
  setBackground(QColor(255, 255, 255));
  coord()->setMargins(0.03, 0.03, 0.05, 0.05);
  connect(this, &DispA::drawImage1, this, &CrossSView::drawImage);
}

void CrossSView::setOrientation(Qt::Orientation orientation)
{
  m_orientation = orientation;
  update();
}

void CrossSView::setProfiles(const QVector<QVector<double>>& profiles)
{
  m_profiles = profiles;
  update();
}

void CrossSView::setProfile(const QVector<double>& values)
{
  setProfiles({ values });
}

void CrossSView::clearProfiles()
{
  setProfiles({});
}

void CrossSView::setPositionRange(double from, double to)
{
  m_from = from;
  m_to = to;
  update();
}

void CrossSView::resetPositionRange()
{
  setPositionRange(kNone, kNone);
}

void CrossSView::setMarker(double position)
{
  m_marker = position;
  update();
}

void CrossSView::positionRange(double& from, double& to) const
{
  from = m_from;
  to = m_to;
  if (std::isfinite(from) && std::isfinite(to) && from != to)
    return;
  int longest = 0;
  for (const QVector<double>& p : m_profiles)
    longest = std::max(longest, p.size());
  from = 0.0;
  to = std::max(longest, 1);
}

bool CrossSView::valueRange(double& min, double& max) const
{
  double from, to;
  positionRange(from, to);
  if (from > to)
    std::swap(from, to);
  min = std::numeric_limits<double>::infinity();
  max = -min;
  for (const QVector<double>& profile : m_profiles) {
    const int first = static_cast<int>(std::clamp(std::floor(from), 0.0, double(profile.size())));
    const int last = static_cast<int>(std::clamp(std::ceil(to), 0.0, double(profile.size())));
    for (int i = first; i < last; ++i) {
      if (std::isfinite(profile[i])) {
        min = std::min(min, profile[i]);
        max = std::max(max, profile[i]);
      }
    }
  }
  return drawableRange(min, max);
}

void CrossSView::drawImage(QPainter* p)
{
  ChCoord* c = coord();
  c->setFullArea(0, 0, width(), height());
  c->applyMargins();
  double from, to, vmin, vmax;
  positionRange(from, to);
  if (!valueRange(vmin, vmax))
    return;
  const bool horizontal = m_orientation == Qt::Horizontal;
  if (horizontal)
    c->setRealRange(from, vmax, to, vmin); // larger values higher up
  else
    c->setRealRange(vmin, from, vmax, to); // positions downwards like the image
  auto toScreen = [&](double position, double value) {
    return horizontal ? QPointF(c->sx(position), c->sy(value))
                      : QPointF(c->sx(value), c->sy(position));
  };

  p->save();
  p->setRenderHint(QPainter::Antialiasing, true);
  p->setClipRect(QRectF(QPointF(c->sx0(), c->sy0()), QPointF(c->sx1(), c->sy1())).normalized());
  for (int k = 0; k < m_profiles.size(); ++k) {
    QPainterPath path;
    bool inLine = false;
    const QVector<double>& profile = m_profiles[k];
    for (int i = 0; i < profile.size(); ++i) {
      if (!std::isfinite(profile[i])) {
        inLine = false;
        continue;
      }
      const QPointF pt = toScreen(i + 0.5, profile[i]);
      if (inLine)
        path.lineTo(pt);
      else
        path.moveTo(pt);
      inLine = true;
    }
    p->setPen(QPen(standardColour(k), 1));
    p->drawPath(path);
  }
  if (std::isfinite(m_marker)) {
    p->setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    p->drawLine(toScreen(m_marker, vmin), toScreen(m_marker, vmax));
  }
  p->restore();
}

#include "gui/display/CrossSView.h"

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
  setOrientation(Qt::Horizontal);
  connect(this, &DispA::drawImage1, this, &CrossSView::drawImage);
}

void CrossSView::setOrientation(Qt::Orientation orientation)
{
  m_orientation = orientation;
  // Margins only on the value axis: the position axis spans the widget as
  // the image spans its own. A row profile keeps room above for the labels;
  // a column profile writes them over its top on a light backing.
  if (orientation == Qt::Horizontal)
    coord()->setMargins(0.0, 0.0, 0.05, 0.22);
  else
    coord()->setMargins(0.05, 0.05, 0.0, 0.0);
  update();
}

void CrossSView::setCaption(const QString& caption)
{
  m_caption = caption;
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
    c->setRealRange(vmax, from, vmin, to); // rows downwards, values towards the image
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
    p->setPen(QPen(readableColour(k), 1));
    p->drawPath(path);
  }
  if (std::isfinite(m_marker)) {
    p->setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    p->drawLine(toScreen(m_marker, vmin), toScreen(m_marker, vmax));
  }
  p->restore();
  drawLabels(p, vmin, vmax);
}

void CrossSView::drawLabels(QPainter* p, double vmin, double vmax)
{
  p->save();
  QFont font = p->font();
  font.setPixelSize(10);
  p->setFont(font);
  p->setPen(QColor(60, 60, 60));
  const QString hi = QString::number(vmax, 'g', 4);
  const QString lo = QString::number(vmin, 'g', 4);
  const QRect all = rect().adjusted(2, 1, -2, -1);
  if (m_orientation == Qt::Horizontal) {
    // Top strip: caption on the left, the highest value on the right; the
    // lowest at the bottom right.
    p->drawText(all, Qt::AlignLeft | Qt::AlignTop, m_caption);
    p->drawText(all, Qt::AlignRight | Qt::AlignTop, hi);
    p->drawText(all, Qt::AlignRight | Qt::AlignBottom, lo);
  } else {
    // Values grow to the left: highest at the left, lowest at the right,
    // with the caption under them.
    p->fillRect(QRect(0, 0, width(), 26), QColor(255, 255, 255, 200));
    p->drawText(all, Qt::AlignLeft | Qt::AlignTop, hi);
    p->drawText(all, Qt::AlignRight | Qt::AlignTop, lo);
    p->drawText(all.adjusted(0, 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop, m_caption);
  }
  p->restore();
}

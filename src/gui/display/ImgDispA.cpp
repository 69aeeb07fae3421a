#include "gui/display/ImgDispA.h"

#include "display/ChCoord.h"
#include "display/MouseC.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool isUsableView(const QRectF& r)
{
  return std::isfinite(r.left()) && std::isfinite(r.top()) && std::isfinite(r.width()) &&
         std::isfinite(r.height()) && r.width() > 0.0 && r.height() > 0.0;
}

} // namespace

ImgDispA::ImgDispA(QWidget* parent)
  : DispA(parent)
{
  connect(this, &DispA::drawImage1, this, &ImgDispA::drawImage);
  connect(this, &DispA::mousePressed0, this, &ImgDispA::onMousePressed);
  connect(this, &DispA::mouseReleased0, this, &ImgDispA::onMouseReleased);
  connect(this, &DispA::mouseMoved0, this, &ImgDispA::onMouseMoved);
  connect(this, &DispA::wheelMoved0, this, &ImgDispA::onWheelMoved);
}

ImgDispA::~ImgDispA() = default;

void ImgDispA::setImage(const QImage& image)
{
  // A deep copy: frame images wrap their frame's buffer, and the frame may
  // be deleted while this widget still shows it.
  const QSize before = m_image.size();
  m_image = image.copy();
  if (m_image.size() != before && hasImage())
    emit imageSizeChanged(m_image.size());
  // A zoom belongs to images of one size: an image of another size (a new
  // stack) is shown whole.
  if (hasImage() && (m_view.isEmpty() || m_image.size() != m_viewSize)) {
    m_viewSize = m_image.size();
    m_view = QRectF(0, 0, m_image.width(), m_image.height());
    updateCoord();
    emit viewWindowChanged();
  }
  update();
}

void ImgDispA::clearImage()
{
  m_image = QImage();
  update();
}

void ImgDispA::setViewWindow(const QRectF& view)
{
  if (!isUsableView(view))
    return;
  m_view = view;
  updateCoord();
  emit viewWindowChanged();
  update();
}

QImage ImgDispA::viewImage() const
{
  if (!hasImage() || !isUsableView(m_view))
    return QImage();
  return m_image.copy(m_view.toAlignedRect());
}

QRect ImgDispA::selectedPixels() const
{
  if (!m_areaSelected)
    return QRect();
  const QRectF s = m_selection.normalized();
  const int left = static_cast<int>(std::floor(std::clamp(s.left(), -1e9, 1e9)));
  const int top = static_cast<int>(std::floor(std::clamp(s.top(), -1e9, 1e9)));
  const int right = static_cast<int>(std::ceil(std::clamp(s.right(), -1e9, 1e9))) - 1;
  const int bottom = static_cast<int>(std::ceil(std::clamp(s.bottom(), -1e9, 1e9))) - 1;
  const QRect r(QPoint(left, top), QPoint(right, bottom));
  return hasImage() ? r.intersected(m_image.rect()) : r;
}

QPointF ImgDispA::toImage(const QPointF& screen) const
{
  const double w = width() > 0 ? width() : 1;
  const double h = height() > 0 ? height() : 1;
  return QPointF(screen.x() / w * m_view.width() + m_view.left(),
                 screen.y() / h * m_view.height() + m_view.top());
}

QPointF ImgDispA::pointerPos() const
{
  return toImage(screenMousePos());
}

QPoint ImgDispA::pointerPixel() const
{
  const QPointF p = pointerPos();
  return QPoint(static_cast<int>(std::floor(std::clamp(p.x(), -1e9, 1e9))),
                static_cast<int>(std::floor(std::clamp(p.y(), -1e9, 1e9))));
}

void ImgDispA::updateCoord()
{
  coord()->setFullArea(0, 0, width(), height());
  coord()->setRealRange(m_view.left(), m_view.top(), m_view.right(), m_view.bottom());
}

void ImgDispA::resizeEvent(QResizeEvent* event)
{
  DispA::resizeEvent(event);
  updateCoord();
}

void ImgDispA::drawImage(QPainter* p)
{
  updateCoord();
  if (hasImage() && isUsableView(m_view))
    p->drawImage(QRectF(rect()), m_image, m_view);
  drawSelection(p);
  if (m_showOverlayer)
    drawOverlayer(p);
}

QImage ImgDispA::viewPicture()
{
  QImage out(size(), QImage::Format_RGB32);
  out.fill(background());
  updateCoord();
  if (hasImage() && isUsableView(m_view)) {
    QPainter p(&out);
    p.drawImage(QRectF(out.rect()), m_image, m_view);
  }
  return out;
}

void ImgDispA::drawSelection(QPainter* p)
{
  if (!m_selecting && !m_areaSelected)
    return;
  const QRectF s = m_selection.normalized();
  const QRectF onScreen(QPointF(coord()->sx(s.left()), coord()->sy(s.top())),
                        QPointF(coord()->sx(s.right()), coord()->sy(s.bottom())));
  p->save();
  p->setPen(QPen(QColor(255, 200, 0), 1, m_selecting ? Qt::DashLine : Qt::SolidLine));
  p->setBrush(Qt::NoBrush);
  p->drawRect(onScreen);
  p->restore();
}

void ImgDispA::drawOverlayer(QPainter* p)
{
  // A cross hair through the centre of the pointed pixel.
  const QPoint px = pointerPixel();
  const double x = coord()->sx(px.x() + 0.5);
  const double y = coord()->sy(px.y() + 0.5);
  p->save();
  p->setPen(QPen(QColor(0, 255, 255), 1));
  p->drawLine(QPointF(x, 0), QPointF(x, height()));
  p->drawLine(QPointF(0, y), QPointF(width(), y));
  p->restore();
}

void ImgDispA::onMousePressed()
{
  const int mode = mouse()->mode();
  m_gesture = Gesture::None;
  if (mode == 8) {
    clearSelectedArea();
    return;
  }
  if (!hasImage())
    return;
  if (mode == 0 || mode == 2) {
    m_gesture = mode == 0 ? Gesture::Select : Gesture::SelectAndZoom;
    m_selection = QRectF(toImage(mouse()->pos()), QSizeF(0, 0));
    m_selecting = true;
    m_areaSelected = false;
  } else if (mode == 1) {
    m_gesture = Gesture::Pan;
    m_viewAtPress = m_view;
  }
  update();
}

void ImgDispA::onMouseMoved()
{
  const QPointF real = pointerPos();
  // After a release the last event still names the released button.
  const bool held =
    mouse()->isPressed() && (mouse()->buttons() & (Qt::LeftButton | Qt::RightButton));
  if (!held) {
    emit mouseMoved(real.x(), real.y());
    return;
  }
  emit mouseDragged(real.x(), real.y());
  if (!hasImage())
    return;
  if ((m_gesture == Gesture::Select || m_gesture == Gesture::SelectAndZoom) && m_selecting) {
    m_selection.setWidth(real.x() - m_selection.left());
    m_selection.setHeight(real.y() - m_selection.top());
  } else if (m_gesture == Gesture::Pan && width() > 0 && height() > 0) {
    // The image point under the press position follows the pointer; the
    // shift is measured from the view at the press, not added up per move.
    const QPoint press = mouse()->pressPos();
    const QPoint now = mouse()->pos();
    QRectF v = m_viewAtPress;
    v.moveLeft(v.left() + double(press.x() - now.x()) / width() * v.width());
    v.moveTop(v.top() + double(press.y() - now.y()) / height() * v.height());
    setViewWindow(v);
  }
}

void ImgDispA::onMouseReleased()
{
  const Gesture gesture = m_gesture;
  m_gesture = Gesture::None;
  if ((gesture != Gesture::Select && gesture != Gesture::SelectAndZoom) || !m_selecting)
    return;
  m_selecting = false;
  if (m_selection.width() != 0.0 && m_selection.height() != 0.0) {
    m_selection = m_selection.normalized();
    m_areaSelected = true;
    if (gesture == Gesture::SelectAndZoom)
      setViewWindow(m_selection);
  }
  emit selectedAreaChanged();
  update();
}

void ImgDispA::onWheelMoved()
{
  if (!hasImage() || !isUsableView(m_view))
    return;
  const double f = zoomFactor();
  const QPointF screen = screenMousePos();
  const QPointF fixed = toImage(screen);
  const double w = width() > 0 ? width() : 1;
  const double h = height() > 0 ? height() : 1;
  const double vw = m_view.width() * f;
  const double vh = m_view.height() * f;
  setViewWindow(QRectF(fixed.x() - screen.x() / w * vw, fixed.y() - screen.y() / h * vh, vw, vh));
}

void ImgDispA::resetImageViewWindow()
{
  if (hasImage())
    setViewWindow(QRectF(0, 0, m_image.width(), m_image.height()));
}

void ImgDispA::setShowOverlayer(bool f)
{
  m_showOverlayer = f;
  update();
}

void ImgDispA::setSelectedArea(int x1, int y1, int x2, int y2)
{
  m_selection = QRectF(QPointF(x1, y1), QPointF(x2, y2)).normalized();
  m_selecting = false;
  m_areaSelected = m_selection.width() > 0.0 && m_selection.height() > 0.0;
  emit selectedAreaChanged();
  update();
}

void ImgDispA::setViewWAsSelectedArea()
{
  if (m_areaSelected)
    setViewWindow(m_selection);
}

void ImgDispA::clearSelectedArea()
{
  m_selection = QRectF();
  m_selecting = false;
  m_areaSelected = false;
  m_gesture = Gesture::None;
  emit selectedAreaChanged();
  update();
}

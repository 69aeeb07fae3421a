#include "gui/display/ImageAreaLayout.h"

#include <QWidget>

namespace {
// The image's side at the smallest window, and the side it asks for.
constexpr int kMinimumImage = 240;
constexpr int kPreferredImage = 600;
} // namespace

ImageAreaLayout::ImageAreaLayout(QWidget* image,
                                 QWidget* vProfile,
                                 QWidget* colourBar,
                                 QWidget* hProfile,
                                 QWidget* parent)
  : QLayout(parent)
{
  setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : { image, vProfile, colourBar, hProfile }) {
    // Sizes come from here alone: the form's limits would fight the shape.
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    addWidget(w);
  }
}

ImageAreaLayout::~ImageAreaLayout()
{
  while (QLayoutItem* item = takeAt(0))
    delete item;
}

void ImageAreaLayout::setAspect(const QSize& aspect)
{
  if (aspect == m_aspect)
    return;
  m_aspect = aspect;
  invalidate();
  if (geometry().isValid())
    setGeometry(geometry());
}

void ImageAreaLayout::addItem(QLayoutItem* item)
{
  m_items.append(item);
}

QLayoutItem* ImageAreaLayout::itemAt(int index) const
{
  return m_items.value(index, nullptr);
}

QLayoutItem* ImageAreaLayout::takeAt(int index)
{
  if (index < 0 || index >= m_items.size())
    return nullptr;
  return m_items.takeAt(index);
}

int ImageAreaLayout::count() const
{
  return m_items.size();
}

QSize ImageAreaLayout::around(const QSize& image) const
{
  return QSize(image.width() + m_sizes.profile + m_sizes.colourBar + 2 * m_sizes.spacing,
               image.height() + m_sizes.profile + m_sizes.spacing);
}

QSize ImageAreaLayout::sizeHint() const
{
  QSize image(kPreferredImage, kPreferredImage);
  if (!m_aspect.isEmpty())
    image = m_aspect.scaled(image, Qt::KeepAspectRatio);
  return around(image);
}

QSize ImageAreaLayout::minimumSize() const
{
  return around(QSize(kMinimumImage, kMinimumImage));
}

void ImageAreaLayout::setGeometry(const QRect& rect)
{
  QLayout::setGeometry(rect);
  if (m_items.size() < 4)
    return;
  const ImageAreaRects r = imageAreaRects(rect, m_aspect, m_sizes);
  m_items[0]->setGeometry(r.image);
  m_items[1]->setGeometry(r.vProfile);
  m_items[2]->setGeometry(r.colourBar);
  m_items[3]->setGeometry(r.hProfile);
}

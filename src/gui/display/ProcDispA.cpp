#include "gui/display/ProcDispA.h"

#include "display/ChCoord.h"

#include <QPainter>

ProcDispA::ProcDispA(QWidget* parent)
  : DispA(parent)
{
  connect(this, &DispA::drawImage1, this, &ProcDispA::drawImage);
}

void ProcDispA::setImage(const QImage& image)
{
  m_image = image.copy();
  update();
}

void ProcDispA::clearImage()
{
  m_image = QImage();
  update();
}

void ProcDispA::drawImage(QPainter* p)
{
  coord()->setFullArea(0, 0, width(), height());
  if (m_image.isNull())
    return;
  coord()->setRealRange(0, 0, m_image.width(), m_image.height());
  p->drawImage(QRectF(rect()), m_image);
}

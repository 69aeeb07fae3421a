#pragma once

#include "display/ImageAreaGeometry.h"

#include <QLayout>
#include <QVector>

// Lays out the image area by imageAreaRects(): the image keeps the shape
// of what it shows however the window is sized; the room left over stays
// empty at the right and the bottom.
class ImageAreaLayout : public QLayout
{
  Q_OBJECT

public:
  ImageAreaLayout(QWidget* image,
                  QWidget* vProfile,
                  QWidget* colourBar,
                  QWidget* hProfile,
                  QWidget* parent);
  ~ImageAreaLayout() override;

  // The size of the image shown; an empty size fills the room.
  void setAspect(const QSize& aspect);
  QSize aspect() const { return m_aspect; }

  void addItem(QLayoutItem* item) override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  int count() const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

private:
  QSize around(const QSize& image) const;

  QVector<QLayoutItem*> m_items; // image, vertical profile, colour bar, horizontal profile
  QSize m_aspect;
  ImageAreaSizes m_sizes;
};

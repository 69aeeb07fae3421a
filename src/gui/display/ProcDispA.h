#pragma once

#include "gui/display/DispA.h"

#include <QImage>

// The image processor's drawing area: one image scaled into the whole
// widget, with the same mouse and wheel signals as every drawing area.
class ProcDispA : public DispA
{
  Q_OBJECT

public:
  explicit ProcDispA(QWidget* parent = nullptr);

  void setImage(const QImage& image); // keeps a copy
  void clearImage();
  const QImage& image() const { return m_image; }

public slots:
  void drawImage(QPainter* p);

private:
  QImage m_image;
};

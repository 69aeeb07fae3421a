#pragma once

#include "gui/display/DispA.h"

#include <QImage>
#include <QRectF>

// The main window's image area: shows the view window of an image (a
// frame's or a map's rendered image, one image pixel per frame pixel)
// scaled into the whole widget. Wheel zooms about the pointer, Shift+drag
// pans, a drag selects an area, Ctrl+drag selects and zooms to it, a right
// click clears the selection. Positions are in image pixels.
class ImgDispA : public DispA
{
  Q_OBJECT

public:
  explicit ImgDispA(QWidget* parent = nullptr);
  ~ImgDispA() override;

  // Shows a copy of `image`; the view window, when still empty, becomes the
  // whole image. The view and the selection survive image changes.
  void setImage(const QImage& image);
  void clearImage();
  bool hasImage() const { return !m_image.isNull(); }
  const QImage& image() const { return m_image; }

  // Left, top, width, height in image pixels.
  QRectF viewWindow() const { return m_view; }
  // Ignored unless the width and height are positive and finite.
  void setViewWindow(const QRectF& view);
  // The part of the image in the view window (outside the image: zeros).
  QImage viewImage() const;

  // While selecting, the area as dragged (width and height may be
  // negative); once selected, normalised.
  QRectF selectedArea() const { return m_selection; }
  bool isAreaSelected() const { return m_areaSelected; }
  bool isSelecting() const { return m_selecting; }
  // The image pixels the selected area touches, clipped to the image;
  // empty when nothing is selected.
  QRect selectedPixels() const;

  // Image position of a widget position and of the pointer.
  QPointF toImage(const QPointF& screen) const;
  QPointF pointerPos() const;
  QPoint pointerPixel() const; // pointerPos rounded down
  bool showOverlayer() const { return m_showOverlayer; }

signals:
  void mouseMoved(double x, double y);   // pointer moved with no button held
  void mouseDragged(double x, double y); // pointer moved with a button held
  void selectedAreaChanged();            // a selection ended, was set or cleared
  void viewWindowChanged();
  void imageSizeChanged(const QSize& size); // an image of another size is shown

public slots:
  void drawImage(QPainter* p);
  void onMousePressed();
  void onMouseReleased();
  void onMouseMoved();
  void onWheelMoved();
  void resetImageViewWindow();
  void setShowOverlayer(bool f);
  // The image as the view window shows it, at the widget's size, without
  // what is drawn over it (selection frame, the owner's marks).
  QImage viewPicture();
  void setSelectedArea(int x1, int y1, int x2, int y2);
  void setViewWAsSelectedArea();
  void clearSelectedArea();

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  enum class Gesture
  {
    None,
    Select,
    SelectAndZoom,
    Pan
  };

  void updateCoord();
  void drawSelection(QPainter* p);
  void drawOverlayer(QPainter* p);

  QImage m_image;
  QRectF m_view;
  QSize m_viewSize; // size of the images m_view was made for
  QRectF m_selection;
  bool m_selecting = false;
  bool m_areaSelected = false;
  bool m_showOverlayer = false;
  Gesture m_gesture = Gesture::None;
  QRectF m_viewAtPress; // panning moves the view relative to this
};

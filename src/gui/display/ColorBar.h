#pragma once

#include "gui/display/DispA.h"

#include <memory>

#include <QImage>
#include <QPixmap>

struct ColorMapping;

// The colour bar beside an image: the colour ramp from the lowest entry at
// the bottom to the top entry, two limit lines the user drags, and the
// values at the ends of the bar. The limits and the format live in a
// ColorMapping (by default the bar's own; the main window hands it the one
// its map pictures are drawn with), so the bar and the renderers read one
// state. Dragging emits cBarUpdating() at
// every move and cBarUpdated() at the release.
class ColorBar : public DispA
{
  Q_OBJECT

public:
  enum class Limit
  {
    None,
    Lower,
    Upper
  };

  explicit ColorBar(QWidget* parent = nullptr);
  ~ColorBar() override;

  // The mapping the bar shows and edits; not owned, must outlive the bar.
  // nullptr selects the bar's own.
  void setMapping(ColorMapping* mapping);
  ColorMapping& mapping() const { return *m_mapping; }

  // Limits as fractions of the bar height. Setting them repaints the bar
  // without emitting a signal; the caller re-renders what it shows.
  void setLimits(double lower, double upper);
  double lower() const;
  double upper() const;
  // Format_Grayscale8 (grey) or Format_RGB888 (heat).
  void setFormat(QImage::Format format);
  QImage::Format format() const;
  // The values written at the bottom and the top of the bar, set by the
  // owner of the image shown.
  void setMinMax(double min, double max);
  double minValue() const { return m_min; }
  double maxValue() const { return m_max; }

  bool isDragging() const { return m_dragged != Limit::None; }
  Limit draggedLimit() const { return m_dragged; }
  const QPixmap& pixmap() const { return m_pixmap; }
  // The bar's picture as pixmap() draws it, but with `min` and `max`
  // written at its ends: the scale of a file saved beside it.
  QImage pictureWithScale(double min, double max) const;

signals:
  void cBarUpdated();
  void cBarUpdating();

public slots:
  void paintCBar();
  void draw1(QPainter* p);
  void onMouseMoved();
  void onMousePressed();
  void onMouseReleased();
  QColor colorOfH(int h) const;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  int barHeight() const;
  double fractionAtPointer() const;
  // The end values (and the dragged limit's) written into a picture of
  // the bar's own pixmap size.
  void putPixmapLabels(QPainter& p, double min, double max) const;
  // The same values on the widget at its own scale, on a dark backing so
  // they read on any colour of the ramp.
  void putWidgetLabels(QPainter* p) const;

  std::unique_ptr<ColorMapping> m_ownMapping;
  ColorMapping* m_mapping;
  QPixmap m_pixmap;
  QPixmap m_ramp; // the ramp and limit lines without values
  double m_min = 0.0;
  double m_max = 1.0;
  Limit m_dragged = Limit::None;
};

#pragma once

#include "gui/display/DispA.h"

#include <QString>
#include <QVector>

// A cross-section view beside the image: profiles of values along a row
// (horizontal view below the image, values upwards) or a column (vertical
// view right of the image, rows downwards, values growing to the left,
// towards the image). Value i sits at position i + 0.5, the centre of
// pixel i, and the position axis has no margins, so the view lines up with
// the image's view window when given the same position range. A caption
// says what the values are, with the lowest and highest value drawn.
class CrossSView : public DispA
{
  Q_OBJECT

public:
  explicit CrossSView(QWidget* parent = nullptr);

  void setOrientation(Qt::Orientation orientation);
  Qt::Orientation orientation() const { return m_orientation; }
  // Each profile is drawn in its standard colour; non-finite values leave gaps.
  void setProfiles(const QVector<QVector<double>>& profiles);
  void setProfile(const QVector<double>& values);
  void clearProfiles();
  const QVector<QVector<double>>& profiles() const { return m_profiles; }
  // The positions shown (e.g. the image view window's extent); by default
  // the whole of the longest profile.
  void setPositionRange(double from, double to);
  void resetPositionRange();
  // What the values are, e.g. "absorption"; written in a corner.
  void setCaption(const QString& caption);
  const QString& caption() const { return m_caption; }
  // A line at this position; NaN for none.
  void setMarker(double position);
  // The value range drawn, from the finite values in the position range;
  // false when there are none.
  bool valueRange(double& min, double& max) const;

public slots:
  void drawImage(QPainter* p);

private:
  void positionRange(double& from, double& to) const;
  void drawLabels(QPainter* p, double vmin, double vmax);

  Qt::Orientation m_orientation = Qt::Horizontal;
  QVector<QVector<double>> m_profiles;
  double m_from;
  double m_to;
  double m_marker;
  QString m_caption;
};

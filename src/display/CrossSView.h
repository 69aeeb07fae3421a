#pragma once

#include "display/DispA.h"

#include <QVector>

// A cross-section view beside the image: profiles of values along a row
// (horizontal view, values upwards) or a column (vertical view, values to
// the right, positions downwards). Value i sits at position i + 0.5, the
// centre of pixel i, so the view lines up with the image's view window
// when given the same position range.
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
  // A line at this position; NaN for none.
  void setMarker(double position);
  // The value range drawn, from the finite values in the position range;
  // false when there are none.
  bool valueRange(double& min, double& max) const;

public slots:
  void drawImage(QPainter* p);

private:
  void positionRange(double& from, double& to) const;

  Qt::Orientation m_orientation = Qt::Horizontal;
  QVector<QVector<double>> m_profiles;
  double m_from;
  double m_to;
  double m_marker;
};

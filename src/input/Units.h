#pragma once

#include <QObject>
#include <QString>

// The monochromator crystal of one energy setup and the formats energies
// and angles are printed with.
class Units : public QObject
{
  Q_OBJECT

public:
  explicit Units(QObject* parent = nullptr);

  // Lattice spacing d in Å.
  double d() const { return m_d; }

  // printf format of a unit ("eV", "keV", "A", "deg"); empty for others.
  static const char* format(const QString& unit);
  // `value` printed in the format of `unit` ("%g" for an unknown unit).
  static QString print(double value, const QString& unit);

public slots:
  void setD(double D);

private:
  double m_d;
};

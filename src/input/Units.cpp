#include "input/Units.h"

#include "input/EnergyAssignment.h"

#include <QDebug>

#include <cmath>

namespace {

struct UnitFormat
{
  const char* name;
  const char* format;
};

const UnitFormat kUnits[] = { { "eV", "% 8.2f" },
                              { "keV", "% 8.5f" },
                              { "A", "% 8.5f" },
                              { "deg", "% 8.5f" } };

} // namespace

Units::Units(QObject* parent)
  : QObject(parent)
  , m_d(energy::kDefaultD)
{
}

void Units::setD(double D)
{
  // A spacing of 0 or below would turn every angle into an infinite or
  // negative energy.
  if (!(std::isfinite(D) && D > 0)) {
    qDebug().noquote() << "Crystal spacing must be above 0:" << D;
    return;
  }
  m_d = D;
}

const char* Units::format(const QString& unit)
{
  for (const UnitFormat& u : kUnits)
    if (unit == QLatin1String(u.name))
      return u.format;
  return "";
}

QString Units::print(double value, const QString& unit)
{
  const char* f = format(unit);
  return QString::asprintf(*f ? f : "%g", value);
}

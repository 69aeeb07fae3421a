#include "input/EnergyAssignment.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace energy {

QStringList patternPresets()
{
  return { QStringLiteral("(\\d|)\\d\\d\\d\\d_\\d\\d\\d\\d"),
           QStringLiteral("\\d\\d\\d\\d_\\d\\d\\d\\d"),
           QStringLiteral("\\d\\d\\d\\d_\\d\\d"),
           QStringLiteral("\\d\\d\\d\\d_\\d\\deV"),
           QStringLiteral("\\d\\d\\d\\d\\.\\d\\d\\d\\d"),
           QStringLiteral("\\d\\d\\d\\d\\.\\d\\d"),
           QStringLiteral("\\d\\d\\d\\d\\.\\d\\deV"),
           QStringLiteral("\\d\\d_\\d\\d\\d\\d\\d\\dKeV"),
           QStringLiteral("\\d_\\d\\d\\d\\d\\d\\dKeV") };
}

double fromFileName(const QString& fileName,
                    const QString& pattern,
                    const QString& factorText,
                    int fNo)
{
  const QRegularExpressionMatch m = QRegularExpression(pattern).match(fileName);
  if (!m.hasMatch())
    return fNo;
  QString text = m.captured(0).toUpper();
  text.replace(QLatin1Char('_'), QLatin1Char('.'));
  text.remove(QStringLiteral("KEV"));
  text.remove(QStringLiteral("EV"));
  bool ok = false;
  double e = text.toDouble(&ok);
  if (!ok) // a pattern that matched no number must not make the energy 0
    return fNo;
  const double factor = factorText.toDouble(&ok);
  if (ok && factor > 0)
    e *= factor;
  return e;
}

QString factorForPattern(const QString& pattern)
{
  const QString upper = pattern.toUpper();
  if (upper.contains(QStringLiteral("KEV")))
    return QStringLiteral("1000");
  if (!upper.contains(QStringLiteral("EV")))
    return QStringLiteral("1");
  return QString();
}

double energyOfAngle(double deg, double d)
{
  return kHc / (2 * d * std::sin(deg * kPi / 180));
}

double angleOfEnergy(double eV, double d)
{
  const double s = kHc / eV / (2 * d);
  if (!std::isfinite(s) || std::fabs(s) > 1)
    return -1;
  return std::asin(s) * 180 / kPi;
}

bool isValidEnergy(double eV)
{
  return std::isfinite(eV) && eV > 0;
}

double EnergyCalc::energyOf(int n) const
{
  const double value = Start + n * Delta;
  switch (unit) {
    case int(CalcUnit::eV):
    case int(CalcUnit::keV): {
      const double scale = unit == int(CalcUnit::keV) ? 1000.0 : 1.0;
      if (!evenInAngle)
        return value * scale;
      const double ts = angleOfEnergy(Start * scale, d);
      const double te = angleOfEnergy(End * scale, d);
      // An end that selects no angle (the -1 marker) or no step count would
      // turn every energy into a wrong or infinite value.
      if (ts < 0 || te < 0 || Num <= 0)
        return std::nan("");
      return energyOfAngle(ts + n * (te - ts) / Num, d);
    }
    case int(CalcUnit::deg):
      return energyOfAngle(value, d);
    default:
      return value;
  }
}

double fromReferenceList(const QVector<double>& energies, int fNo)
{
  if (energies.isEmpty())
    return kDefaultBase + fNo;
  if (fNo < 0)
    return energies.first();
  if (fNo >= energies.size())
    return energies.last();
  return energies.at(fNo);
}

namespace {

QStringList itemsOf(const QString& line)
{
  return line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// True when the first two items (or the only one) are numbers, so a header
// line that lacks the "#" is not read as an angle of 0.
bool leadsWithNumbers(const QStringList& items)
{
  bool ok = !items.isEmpty();
  for (int i = 0; ok && i < std::min(2, int(items.size())); ++i)
    items.at(i).toDouble(&ok);
  return ok;
}

void appendAngle(const QString& item, double d, QVector<double>& out)
{
  const double e = energyOfAngle(item.toDouble(), d);
  if (isValidEnergy(e))
    out.append(e);
}

} // namespace

bool readReferenceEnergies(const QString& fileName, double d, QVector<double>& energies)
{
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    qDebug().noquote() << "Can't open ref file" << fileName;
    return false;
  }
  QTextStream in(&file);
  QVector<double> read;
  const QString first = in.readLine();
  const QStringList firstItems = itemsOf(first);
  if (!firstItems.isEmpty() && firstItems.first() == QLatin1String("9809")) {
    while (!in.atEnd() && !in.readLine().trimmed().startsWith(QLatin1String("Offset"))) {
    }
    while (!in.atEnd()) {
      const QString line = in.readLine();
      const QStringList items = itemsOf(line);
      if (!line.startsWith(QLatin1Char('#')) && items.size() > 1 && leadsWithNumbers(items))
        appendAngle(items.at(1), d, read);
    }
  } else {
    for (QString line = first;; line = in.readLine()) {
      const QStringList items = itemsOf(line);
      if (!line.startsWith(QLatin1Char('#')) && leadsWithNumbers(items))
        appendAngle(items.at(0), d, read);
      if (in.atEnd())
        break;
    }
  }
  energies = read;
  return true;
}

double EnergyRule::energyOf(const QString& fileName, int fNo) const
{
  double e;
  if (fromFileName)
    e = energy::fromFileName(fileName, pattern, factor, fNo);
  else if (!fromFileNum && fromRefFile)
    e = fromReferenceList(refEnergies, fNo);
  else
    e = calc.energyOf(fNo);
  if (isValidEnergy(e))
    return e;
  const double fallback = kDefaultBase + std::max(fNo, 0);
  qDebug().noquote()
    << QStringLiteral("No valid energy for %1 (%2), use %3").arg(fileName).arg(e).arg(fallback);
  return fallback;
}

} // namespace energy

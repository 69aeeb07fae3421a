#include "input/EnergyAssignment.h"

#include "app/TextLines.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
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

namespace {

// The number a matched text stands for; false when it is none.
bool numberOfText(QString text, double& e)
{
  text = text.toUpper();
  text.replace(QLatin1Char('_'), QLatin1Char('.'));
  text.remove(QStringLiteral("KEV"));
  text.remove(QStringLiteral("EV"));
  bool ok = false;
  e = text.toDouble(&ok);
  return ok;
}

} // namespace

NameMatch matchFileName(const QString& fileName,
                        const QRegularExpression& pattern,
                        const QString& factorText,
                        double& energy,
                        QString& matched)
{
  const QRegularExpressionMatch m = pattern.match(fileName);
  if (!m.hasMatch())
    return NameMatch::None;
  matched = m.captured(0);
  double e = 0.0;
  bool ok = numberOfText(matched, e);
  if (!ok && m.lastCapturedIndex() >= 1) {
    QStringList groups;
    for (int g = 1; g <= m.lastCapturedIndex(); ++g)
      if (!m.captured(g).isEmpty())
        groups << m.captured(g);
    const QString joined = groups.join(QLatin1Char('.'));
    if (numberOfText(joined, e)) {
      ok = true;
      matched = joined;
    }
  }
  if (!ok)
    return NameMatch::NotNumber;
  const double factor = factorText.toDouble(&ok);
  if (ok && factor > 0)
    e *= factor;
  energy = e;
  return NameMatch::Number;
}

double fromFileName(const QString& fileName,
                    const QString& pattern,
                    const QString& factorText,
                    int fNo)
{
  double e = 0.0;
  QString matched;
  if (matchFileName(fileName, QRegularExpression(pattern), factorText, e, matched) ==
      NameMatch::Number)
    return e;
  return fNo;
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
  // Bounded lines: a file without line breaks is refused after one of them
  // instead of being read whole.
  TextLines in(file);
  QVector<double> read;
  QString first;
  in.next(first);
  const QStringList firstItems = itemsOf(first);
  QString line;
  if (!firstItems.isEmpty() && firstItems.first() == QLatin1String("9809")) {
    while (in.next(line) && !line.trimmed().startsWith(QLatin1String("Offset"))) {
    }
    while (in.next(line)) {
      const QStringList items = itemsOf(line);
      if (!line.startsWith(QLatin1Char('#')) && items.size() > 1 && leadsWithNumbers(items))
        appendAngle(items.at(1), d, read);
    }
  } else {
    for (line = first;;) {
      const QStringList items = itemsOf(line);
      if (!line.startsWith(QLatin1Char('#')) && leadsWithNumbers(items))
        appendAngle(items.at(0), d, read);
      if (!in.next(line))
        break;
    }
  }
  if (in.overlong()) {
    qDebug().noquote() << "Can't read ref file (a line longer than" << kMaxTextLineBytes << "bytes)"
                       << fileName;
    return false;
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

QString EnergyRule::refusal(const QStringList& files, int skip, int cutFirst, int cutLast) const
{
  if (!fromFileName)
    return QString();
  const QRegularExpression re(pattern);
  if (!re.isValid())
    return QStringLiteral("Files not loaded: the energy pattern %1 is no regular expression (%2)")
      .arg(pattern, re.errorString());
  // The files the loader reads, as it picks them.
  const int step = std::max(1, skip);
  const int end = int(files.size()) - std::max(0, cutLast);
  for (qint64 i = std::max(0, cutFirst); i < end; i += step) {
    double e = 0.0;
    QString matched;
    const QString& file = files.at(int(i));
    if (matchFileName(file, re, factor, e, matched) == NameMatch::NotNumber)
      return QStringLiteral("Files not loaded: the energy pattern %1 matches \"%2\" in %3, "
                            "which is no number")
        .arg(pattern, matched, file);
  }
  return QString();
}

bool EnergyRule::sameEnergies(const EnergyRule& o) const
{
  if (fromFileName != o.fromFileName)
    return false;
  if (fromFileName)
    return pattern == o.pattern && factor == o.factor;
  const bool byRef = !fromFileNum && fromRefFile;
  if (byRef != (!o.fromFileNum && o.fromRefFile))
    return false;
  return byRef ? refEnergies == o.refEnergies : calc == o.calc;
}

QString setupChangedLine(int files)
{
  return QStringLiteral("Energy set-up changed after loading: the %1 files loaded keep their "
                        "energies; load them again to apply it")
    .arg(files);
}

} // namespace energy

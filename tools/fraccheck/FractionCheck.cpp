#include "FractionCheck.h"

#include "analysis/AnalyzeCond.h"
#include "calibration/EmpFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace fraccheck {

namespace {

bool openText(const QString& path, QFile& file, QString& error)
{
  file.setFileName(path);
  if (file.open(QIODevice::ReadOnly | QIODevice::Text))
    return true;
  error = QStringLiteral("can not read %1").arg(path);
  return false;
}

QStringList items(const QString& line)
{
  static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
  return line.trimmed().split(separators, Qt::SkipEmptyParts);
}

} // namespace

bool readTruthGrid(const QString& path, Grid& grid, QString& error)
{
  QFile file;
  if (!openText(path, file, error))
    return false;
  grid = Grid();
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
      continue;
    const QStringList row = items(line);
    if (grid.height > 0 && row.size() != grid.width) {
      error = QStringLiteral("%1: row %2 has %3 values, the first has %4")
                .arg(path)
                .arg(grid.height)
                .arg(row.size())
                .arg(grid.width);
      return false;
    }
    grid.width = row.size();
    for (const QString& v : row)
      grid.values << v.toDouble();
    ++grid.height;
  }
  if (grid.width == 0) {
    error = QStringLiteral("%1 holds no grid").arg(path);
    return false;
  }
  return true;
}

namespace {

// The values of an energy-shift map file at the points of the run that made
// it (block centres of its area), as shifts in eV.
bool readEmpPoints(const QString& path, QVector<MapValue>& points, QString& error)
{
  QFile file;
  if (!openText(path, file, error))
    return false;
  QTextStream in(&file);
  const EMPHeader h = readEmpHeader(in);
  QVector<double> values;
  if (!h.valid || !readEmpValues(in, h, h.stdEdgeEnergy, values)) {
    error = QStringLiteral("%1 is no energy-shift map").arg(path);
    return false;
  }
  AnalyzeCond scan = empRaster(h);
  points.clear();
  do {
    if (scan.pointInside())
      points.append({ scan.cx, scan.cy, values[scan.cy * h.width + scan.cx] });
  } while (scan.next());
  return true;
}

} // namespace

bool readMapPoints(const QString& path, QVector<MapValue>& points, QString& error)
{
  if (path.endsWith(QLatin1String(".emp")))
    return readEmpPoints(path, points, error);
  QFile file;
  if (!openText(path, file, error))
    return false;
  points.clear();
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QStringList it = items(in.readLine());
    if (it.size() != 3)
      continue;
    bool okX = false, okY = false, okV = false;
    MapValue p{ it[0].toInt(&okX), it[1].toInt(&okY), it[2].toDouble(&okV) };
    if (okX && okY && okV)
      points << p;
  }
  if (points.isEmpty()) {
    error = QStringLiteral("%1 holds no \"x y value\" line").arg(path);
    return false;
  }
  return true;
}

Summary compare(const Grid& truth, const QVector<MapValue>& map)
{
  Summary s;
  for (const MapValue& p : map) {
    if (p.x < 0 || p.y < 0 || p.x >= truth.width || p.y >= truth.height)
      continue;
    const double t = truth.values[p.y * truth.width + p.x];
    const double e = std::abs(p.value - t);
    s.meanAbs += e;
    s.maxAbs = std::max(s.maxAbs, e);
    s.meanMap += p.value;
    s.meanTruth += t;
    ++s.points;
  }
  if (s.points > 0) {
    s.meanAbs /= s.points;
    s.meanMap /= s.points;
    s.meanTruth /= s.points;
  }
  return s;
}

QString describe(const Summary& s)
{
  return QStringLiteral("%1 points: mean |error| %2, max %3 (mean %4 against %5)")
    .arg(s.points)
    .arg(s.meanAbs, 0, 'f', 4)
    .arg(s.maxAbs, 0, 'f', 4)
    .arg(s.meanMap, 0, 'f', 3)
    .arg(s.meanTruth, 0, 'f', 3);
}

} // namespace fraccheck

#pragma once

// Compares a fraction map saved by the program (text, one "x,y,value" or
// "x y value" line per analysed point) with the generator's truth grid
// ("#" header lines, then one line of blank-separated values per image row).

#include <QString>
#include <QVector>

namespace fraccheck {

struct Grid
{
  int width = 0;
  int height = 0;
  QVector<double> values; // row 0 first
};

struct MapValue
{
  int x = 0;
  int y = 0;
  double value = 0.0;
};

struct Summary
{
  int points = 0;     // map points compared (those on the truth grid)
  double meanAbs = 0; // mean |map - truth|
  double maxAbs = 0;  // largest |map - truth|
  double meanMap = 0; // mean of the map values compared
  double meanTruth = 0;
};

// False with `error` set when the file cannot be read or is not a grid.
bool readTruthGrid(const QString& path, Grid& grid, QString& error);
// False when the file cannot be read or holds no "x y value" line. A file
// ending in ".emp" is read as an energy-shift map: its shifts (eV) at the
// points of the run that made it.
bool readMapPoints(const QString& path, QVector<MapValue>& points, QString& error);
Summary compare(const Grid& truth, const QVector<MapValue>& map);
// "<n> points: mean |error| 0.0123, max 0.0456 (mean 0.501 against 0.500)"
QString describe(const Summary& s);

} // namespace fraccheck

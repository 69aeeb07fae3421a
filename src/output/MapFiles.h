#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>
#include <QtGlobal>

// Writers of result maps and stack images. Plain functions on values, so
// they can be called from anywhere and tested without windows. Every file
// goes through QSaveFile: a save that fails half-way leaves the file that
// was there before untouched.

// Name insertion: absolute folder of `fname`, its complete base name, "-",
// `inserted`, "." and its suffix ("C:/out/map.tif", "2" ->
// "C:/out/map-2.tif").
QString insertIntoFileName(const QString& fname, const QString& inserted);
// "%1-%2.%3" in the folder of `fname`: its complete base name, `index` and
// `suffix` ("C:/out/map.tif", 2, "dat" -> "C:/out/map-2.dat").
QString numberedFileName(const QString& fname, int index, const QString& suffix);

// `tag` joined to the base name with "-", before the suffix ("/d/a.dat",
// "T" -> "/d/a-T.dat"; "/a.b/curve" -> "/a.b/curve-T").
QString taggedFileName(const QString& fname, const QString& tag);

// Replaces `fileName` by `bytes` in one step; false (and the old file kept)
// when it cannot be written.
bool saveBytes(const QString& fileName, const QByteArray& bytes);

// width x height 16-bit samples, row 0 first, as a 16-bit grey TIFF (the
// input reader's layout). False for a size that does not match the values.
bool writeMapTiff(const QString& fileName, int width, int height, const QVector<quint16>& values);
// The bytes such a file holds; empty on failure.
QByteArray tiff16Bytes(int width, int height, const QVector<quint16>& values);

// One point of a map on its analysis grid: block centre and value.
struct MapPoint
{
  int x = 0;
  int y = 0;
  double value = 0.0;
};
// The grid row by row, each row left to right.
using MapRows = QVector<QVector<MapPoint>>;

struct MapTextLayout
{
  bool commaSeparated = true; // "," between items, else one blank
  bool xyValue = true;        // one "x y value" line per point, else one line per row
};

// The text of a map: numbers like printf "%g", coordinates as integers.
// x-y-value: "x,y,v" (or "x y v") and a newline per point. Rows: the values
// of each grid row joined by the separator, a newline before every row but
// the first and one after the last.
QByteArray mapText(const MapRows& rows, const MapTextLayout& layout);
// Writes mapText; on failure writes "Can't open <file>" and returns false.
bool writeMapText(const QString& fileName, const MapRows& rows, const MapTextLayout& layout);

// A picture in the format its file name's suffix names ("tif"/"tiff" as an
// 8-bit RGB TIFF, anything else through Qt's image writers); false with a
// debug line when it cannot be written.
bool saveImageFile(const QImage& image, const QString& fileName);
// The colour bar's picture beside the TIFF save `fname` of map number
// `index`: "<base>-<index>-cBar.<suffix>"; a suffix no picture format has
// (a base name "map.dat") becomes ".png" instead of losing the picture.
QString colourBarFileName(const QString& fname, int index);

// "flat.dat" (every sample 1) and "dark.dat" (every sample 0) in `dir`, as
// width x height 16-bit TIFF despite their extension. With no stack (a size
// of 0) nothing is written and a debug line says so.
bool writeFlatDark(const QString& dir, int width, int height);

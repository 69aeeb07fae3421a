#pragma once

#include "output/MapFiles.h"

class Analyzed2DRes;

// The points of `map` on the grid of the run that produced it, row by row:
// block centres from the area's corner plus the half width, one block apart,
// with the processed values when the map shows those, else the recorded
// ones. Points off the image are left out.
MapRows mapGridRows(const Analyzed2DRes& map);

// Text file of the map's values at its raster points: one "cx,cy,v" line per
// point (xyValue) or one line of values per raster row; blank instead of
// comma unless commaSeparated. Writes "Can't open <name>" and returns false
// when the file cannot be written.
bool writeMapText(const Analyzed2DRes& map,
                  const QString& fileName,
                  bool commaSeparated,
                  bool xyValue);

// A map converted to 16-bit samples for a TIFF file: width x height values,
// row by row.
struct MapSamples16
{
  int width = 0;
  int height = 0;
  QVector<quint16> values;
  // The map values written as 0 and 65535: the scale a picture of the
  // colour bar beside the file is labelled with.
  double scaleMin = 0.0;
  double scaleMax = 0.0;
};

// 16-bit samples of the map's selected array: round((clamp(v) - lo) / (hi -
// lo) * 65535) with (scaleMin, scaleMax) when fixedScale, else the array's
// own range. asAnalyzed gives one sample per raster point (the raster's
// columns x rows, in raster order), else the whole map. Non-finite values and
// an empty or non-finite scale give 0; a map without values of its size
// gives no samples.
MapSamples16 tiffDataForSave(const Analyzed2DRes& map,
                             bool fixedScale,
                             double scaleMin,
                             double scaleMax,
                             bool asAnalyzed);

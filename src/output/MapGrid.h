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

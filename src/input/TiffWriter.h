#pragma once

#include <QString>
#include <QtGlobal>

// Writes width x height 16-bit grey samples (row 0 first) as an
// uncompressed TIFF. False when the file cannot be created, a tag is refused
// or a strip cannot be written.
bool writeTiff16(const QString& fileName, int width, int height, const quint16* data);

// A width x height TIFF in which every sample is `value` (1 for a flat
// image, 0 for a dark image).
bool writeConstantTiff16(const QString& fileName, int width, int height, quint16 value);

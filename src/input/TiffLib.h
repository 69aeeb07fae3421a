#pragma once

#include <QString>

typedef struct tiff TIFF;

// Routes libtiff's process-wide messages to the debug output once per
// process: warnings about unknown private tags are dropped, errors become
// debug lines. Used by the writers.
void installTiffHandlers();

// What libtiff said about one file while it was read.
struct TiffMessages
{
  QString firstError;
  QString firstWarning;
  // The reason a reader names when it refuses the file: libtiff's first
  // error, else its first warning, else `fallback`.
  QString reason(const QString& fallback) const;
};

// Opens `fileName` for reading with libtiff's errors and warnings about it
// collected in `messages` (which must outlive the handle) instead of
// printed without the file's name, and with libtiff's own allocations
// capped. Null when libtiff cannot open the file.
TIFF* openTiffForReading(const QString& fileName, TiffMessages* messages);

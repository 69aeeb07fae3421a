#pragma once

#include <QString>
#include <QStringList>

// Batch files as both programs read and write them. Lines are bounded: a
// file without line breaks is refused instead of being read whole.
enum class BatchFileRead
{
  Done,
  CannotOpen,
  Overlong, // a line longer than kMaxTextLineBytes; nothing is returned
};

// The lines of `file`, empty ones kept so that numbers match the file's.
BatchFileRead readBatchFile(const QString& file, QStringList& lines);
// Writes `text` whole or not at all; false with its one debug line.
bool writeBatchFile(const QString& file, const QString& text);

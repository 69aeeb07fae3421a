#pragma once

#include <QString>

class QFileDialog;

// The kinds of file a dialog asks for; each kind keeps its own folder.
enum class FileKind
{
  Images,    // image stacks, dark images, HDF5 stacks
  Spectra,   // references, standards, spectra written
  Maps,      // maps and pictures written
  Batch,     // batch files
  ShiftMaps, // energy-shift map files
};

// A file dialog opens in the folder last used for its kind of file, in this
// run or an earlier one (kept in the user's settings file,
// "Lumacresta/Lumacresta.ini" in the user's configuration folder), else in
// the configured folder: BatchRoot for batch files, DataRoot for the rest.
// A remembered folder that no longer exists is not offered.
QString dialogFolder(FileKind kind);
// Remembers the folder of `chosenFile` for `kind`.
void rememberFolder(FileKind kind, const QString& chosenFile);
// `dialog` opens in dialogFolder(kind) every time it is shown and remembers
// the folder of the files chosen in it.
void followFolder(QFileDialog* dialog, FileKind kind);

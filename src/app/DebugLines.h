#pragma once

#include <QString>
#include <QtGlobal>

// The lines the calling thread wrote to the debug output. A step that fails
// says why in one debug line; whoever ran the step on this thread reads that
// line afterwards to show it where the user acted (the windows' batch log).
struct DebugLineMark
{
  quint64 count = 0; // lines this thread has written so far
  QString last;
};

// Puts the tap in front of the debug output's handler, which still writes
// every line. Once, at start-up, before a second thread exists; without it
// no line is noted.
void installDebugLineTap();
DebugLineMark threadDebugLines();
// The last line this thread wrote after `before` was taken; empty when none.
QString debugLineSince(const DebugLineMark& before);

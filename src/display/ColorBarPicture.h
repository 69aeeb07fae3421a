#pragma once

#include <QImage>

struct ColorMapping;

// The colour bar as a saved file shows it: the ramp of `mapping` from the
// bottom (lowest entry) to the top, the two limits as lines, and `min` at
// the foot and `max` at the head written at 90 degrees. A fixed size
// (20 x 600), so a picture does not depend on the window it came from and
// the windows and the batch runner write the same bytes. Without a
// QGuiApplication (no fonts) the values are left out, with a debug line.
QImage colorBarPicture(const ColorMapping& mapping, double min, double max);

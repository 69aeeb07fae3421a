#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// Small text helpers shared by the configuration reader, the batch
// interpreter, the calibration tables and the image-header readers.

// Splits off the first item of `line` (a double-quoted item may hold blanks)
// and returns the text after it.
QString takeItem(const QString& line, QString& item);

// Every item of `line`, as repeated takeItem calls would give them, in one
// pass: calling takeItem on the rest again and again copies the rest each
// time, which a long line with many items turns into minutes. Each of the
// two quote complaints is written at most once per line.
QStringList splitItems(const QString& line);

// The number `text` holds, or `fallback` when it holds none (a field left
// empty or mistyped keeps the default).
double numberOr(const QString& text, double fallback);

// Cuts `line` at the first '#' that stands outside single or double quotes.
QString stripComment(const QString& line);

// Writes "<message> yyMMdd hh:mm:ss.zzz" to the debug output.
void logWithTime(const QString& message);

// "1234567.89" -> "1,234,567.89"; a leading sign counts as a character.
QString withThousandsSeparators(const QString& numberText);

// Entry i (modulo 9) of the standard line colours of the spectrum plots.
QColor standardColour(int i);
// standardColour(i) darkened, keeping its hue, until it stands out on a
// white plot (contrast against white at least 3:1): the plain list's
// yellows, greens and cyans are hard to see on white.
QColor readableColour(int i);

#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <climits>

// One `:for` variable of a running batch.
struct LoopRecord
{
  QString name;
  int forLine = 0; // index of the (last) line of its `:for`
  QString form;    // the text later lines use for the variable
  QString start;
  QString end;
  QString current;
  QString step; // may be empty
};

// The outcome of a `:next`: whether the loop goes round again, and the new
// value text when it does.
struct LoopStep
{
  bool again = false;
  QString value;
};

// Advances `loop` by one step without changing it. Counts down when start >=
// end, up otherwise; the step counts by its absolute value (an empty or zero
// step text counts by 1), so every loop reaches its end. A start text with a
// leading "0" and at least two characters gives values zero-padded to its
// length ("001" -> "002").
LoopStep nextLoopValue(const LoopRecord& loop);

// A loop counts whole numbers only: a start or end text that is not a
// whole number reads as 0 (":for b %b a z" runs once, with "a" only). The
// line that says so, naming them; empty when both are whole numbers.
QString loopNumbersNote(const LoopRecord& loop);

// Replaces, in one left-to-right pass, every written form of `loops` in
// `text` by its current value. Inserted values are never searched again, and
// empty forms are ignored, so a value that contains its own form cannot make
// the substitution run away. At one position the first record in table order
// wins.
//
// Stops as soon as the result would exceed `limit` characters; `tooLong`
// (when given) then becomes true and the partial text is returned.
QString substituteLoopVariables(const QString& text,
                                const QVector<LoopRecord>& loops,
                                int limit = INT_MAX,
                                bool* tooLong = nullptr);

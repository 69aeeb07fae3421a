#pragma once

class QLabel;
class QStatusBar;
class QWidget;

// Makes `window` show the refusals (see app/Refusal.h) offered to it or to
// any of its children: in `line` (a label of the window, e.g. its progress
// label) or in a status bar. The text also becomes the line's tool tip, as
// a long refusal may not fit. An empty text clears the line.
void showRefusalsIn(QWidget* window, QLabel* line);
void showRefusalsIn(QWidget* window, QStatusBar* line);
// For a window without a status line: a label below its controls (empty
// until the first refusal) that shows its refusals.
QLabel* addRefusalLine(QWidget* window);

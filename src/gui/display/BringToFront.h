#pragma once

class QWidget;

// Sizes (and, when it was placed, moves) a top-level window so that it and
// its frame lie within the available area of its screen (the screen of its
// parent window when it has one).
void fitToScreen(QWidget* window);

// Shows `window` as a user who asks for it expects: a minimised window
// comes back, and it is raised above the others and takes the keyboard; a
// window not open yet is first fitted to the screen (fitToScreen).
void bringToFront(QWidget* window);

#pragma once

class QWidget;

// Shows `window` as a user who asks for it expects: a minimised window
// comes back, and it is raised above the others and takes the keyboard.
void bringToFront(QWidget* window);

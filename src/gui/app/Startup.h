#pragma once

struct StartupOptions;

// The program's start-up: settings, translation, main window, optional
// batch, event loop. Returns the event loop's exit code.
int runLumacresta(int& argc, char** argv);

// Steps that need the application object: creates the main window, shows
// it, runs the event loop until the window closes (or finishing() closes
// every window) and destroys the window again.
int runMainWindow(const StartupOptions& opt);

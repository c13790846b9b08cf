#pragma once
// The program's start, run and end: the application with its title, the main window on the
// Hamlib rig server, and the event loop until the window has closed.

#include <functional>

class TForm1;

// `shown` is called once the window is shown, before the event loop runs (for a caller that
// watches the start-up); returns the process's exit code.
int ProgramMain(int argc, char** argv, const std::function<void(TForm1&)>& shown = {});

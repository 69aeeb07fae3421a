#pragma once

// Default leak suppressions for the sanitizer build, included once by each
// program's main file (the program and every test program; a library member
// nobody references would be dropped by the linker), so they also apply when
// CTest lists tests or a test starts the program. Only allocations that Qt's
// platform plugins and fontconfig keep for the life of the process are
// suppressed; our own code is always checked.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libqoffscreen\n"
         "leak:libQt5XcbQpa\n"
         "leak:libfontconfig\n"
         "leak:libdbus\n"
         "leak:libglib\n";
}

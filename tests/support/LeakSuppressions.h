#pragma once

// Included by the test mains only (a static-library member nobody references
// would be dropped by the linker).
// Default leak suppressions for the sanitizer build, compiled into every
// test program so they also apply when CTest lists the tests. Only
// allocations that Qt's platform plugins and fontconfig keep for the life of
// the process are suppressed; our own code is always checked.
extern "C" const char* __lsan_default_suppressions()
{
  return "leak:libqoffscreen\n"
         "leak:libQt5XcbQpa\n"
         "leak:libfontconfig\n"
         "leak:libdbus\n"
         "leak:libglib\n";
}

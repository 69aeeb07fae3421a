#pragma once

// Routes libtiff's messages to the debug output once per process: warnings
// about unknown private tags are dropped, errors become debug lines.
void installTiffHandlers();

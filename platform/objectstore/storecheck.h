#pragma once

#include <string>

// Whether a file can be the phone's store: missing (it will be made), the program's own store, or
// a dialler's history (GNOME Calls, Plasma Dialer). Anything else is refused before anything is
// written to it. The file is only read. 0, or -1 with a message for the user in *error.
int CheckStoreFile(const std::string& path, std::string* error);

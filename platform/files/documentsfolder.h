#pragma once

#include <string>

// The user's documents folder as the desktop names it: XDG_DOCUMENTS_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when the variable is unset or relative), else
// ~/Documents. The file is the user's to edit and may be anything; a line it cannot use is passed
// over, and a file it cannot use at all leaves the default.

// The folder XDG_DOCUMENTS_DIR names in the text of a user-dirs.dirs file, with "$HOME" replaced
// by home: 0 and the folder without a trailing slash, or -1 when no line names a usable one. A line
// is `XDG_DOCUMENTS_DIR="$HOME/sub"` or `XDG_DOCUMENTS_DIR="/abs"`, with backslash escapes inside
// the quotes; comments start with '#'; the last usable line wins.
int ParseDocumentsDir(const std::string& text, const std::string& home, std::string* folder);

// The text of the user-dirs.dirs file at path: 0, or -1 when it is missing, unreadable, not a
// regular file (a link to a pipe or a device included) or larger than any real one.
int ReadUserDirsFile(const std::string& path, std::string* text);

// 0 and the documents folder from the environment ($HOME, $XDG_CONFIG_HOME) and the file; -1 when
// $HOME is not an absolute path and the file names no absolute folder.
int DocumentsFolder(std::string* folder);

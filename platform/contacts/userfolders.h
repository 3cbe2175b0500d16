#pragma once

#include <cstdlib>
#include <string>

// The user's data and configuration folders, as the XDG base directories name them: the variable
// when it holds an absolute path, else the folder under $HOME.
inline std::string UserFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value == '/') {
        return value;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/" + underHome;
}

// $XDG_DATA_HOME, or ~/.local/share.
inline std::string UserDataFolder() {
    return UserFolder("XDG_DATA_HOME", ".local/share");
}

// $XDG_CONFIG_HOME, or ~/.config.
inline std::string UserConfigFolder() {
    return UserFolder("XDG_CONFIG_HOME", ".config");
}

#pragma once

#include <string>

// The program names its files as on the phone ("\Program Files\Zonrik\Zonrik.dll"). Here
// "\Program Files\" is the install's share/ folder, found from the executable's location
// (<prefix>/bin/exe -> <prefix>/share/), with folder names in lower case:
// "\Program Files\Zonrik\Zonrik.dll" -> <prefix>/share/zonrik/Zonrik.dll.

// Makes the city database's program path map to path instead (empty restores the default).
void SetCityDatabaseOverride(const std::string& path);

// The file path of a program path, or the empty text when it names no place we know.
std::string MapProgramPath(const char16_t* programPath);

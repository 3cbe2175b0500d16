#include "platform/files/programfiles.h"

#include "platform/text/utf8.h"

#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

namespace {

constexpr char16_t kProgramFolder[] = u"\\Program Files\\";
constexpr char16_t kCityDatabasePath[] = u"\\Program Files\\Zonrik\\Zonrik.dll";

std::string cityDatabaseOverride;

char16_t LowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Program paths are compared as the phone does: ASCII letters in any case.
bool StartsWithNoCase(const char16_t* text, const char16_t* prefix, size_t& matched) {
    matched = 0;
    for (; prefix[matched] != u'\0'; ++matched) {
        if (LowerAscii(text[matched]) != LowerAscii(prefix[matched])) {
            return false;
        }
    }
    return true;
}

bool EqualsNoCase(const char16_t* a, const char16_t* b) {
    size_t matched = 0;
    return StartsWithNoCase(a, b, matched) && a[matched] == u'\0';
}

// <prefix>/share/ of the running executable at <prefix>/bin/exe, or empty when unknown.
std::string ShareFolder() {
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(exe, static_cast<size_t>(n));
    for (int up = 0; up < 2; ++up) {
        const size_t slash = path.rfind('/');
        if (slash == std::string::npos) {
            return {};
        }
        path.resize(slash);
    }
    return path + "/share/";
}

} // namespace

void SetCityDatabaseOverride(const std::string& path) {
    cityDatabaseOverride = path;
}

std::string MapProgramPath(const char16_t* programPath) {
    if (programPath == nullptr) {
        return {};
    }
    if (!cityDatabaseOverride.empty() && EqualsNoCase(programPath, kCityDatabasePath)) {
        return cityDatabaseOverride;
    }
    size_t matched = 0;
    if (!StartsWithNoCase(programPath, kProgramFolder, matched)) {
        return {};
    }
    std::string path = ShareFolder();
    if (path.empty()) {
        return {};
    }
    std::vector<std::u16string> parts(1);
    for (const char16_t* p = programPath + matched; *p != u'\0'; ++p) {
        if (*p == u'\\' || *p == u'/') {
            parts.emplace_back();
        } else if (*p >= 0xD800 && *p < 0xE000) {
            return {}; // no surrogates in our own file names
        } else {
            parts.back() += *p;
        }
    }
    // Folders are lower case on an installed system; the file keeps its name.
    for (size_t i = 0; i < parts.size(); ++i) {
        if (parts[i] == u"." || parts[i] == u"..") {
            return {};
        }
        for (char16_t c : parts[i]) {
            AppendUtf8(path, i + 1 < parts.size() ? LowerAscii(c) : c);
        }
        if (i + 1 < parts.size()) {
            path += '/';
        }
    }
    return path;
}

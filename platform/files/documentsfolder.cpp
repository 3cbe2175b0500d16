#include "platform/files/documentsfolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

// A real user-dirs.dirs holds a dozen short lines; anything larger is not one.
constexpr size_t kMaxUserDirsBytes = 64 * 1024;
constexpr size_t kMaxPathBytes = 4096;
constexpr char kKey[] = "XDG_DOCUMENTS_DIR";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The folder one line names, or "" when the line is not a usable XDG_DOCUMENTS_DIR line.
std::string FolderOfLine(const std::string& line, const std::string& home) {
    size_t at = 0;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (line.compare(at, sizeof(kKey) - 1, kKey) != 0) {
        return std::string();
    }
    at += sizeof(kKey) - 1;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at >= line.size() || line[at] != '=') {
        return std::string();
    }
    ++at;
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    if (at >= line.size() || line[at] != '"') {
        return std::string();
    }
    ++at;
    std::string value;
    bool closed = false;
    while (at < line.size()) {
        char c = line[at++];
        if (c == '"') {
            closed = true;
            break;
        }
        if (c == '\\') {
            if (at >= line.size()) {
                break;
            }
            c = line[at++];
        }
        if (c == '\0' || value.size() >= kMaxPathBytes) {
            return std::string();
        }
        value += c;
    }
    if (!closed) {
        return std::string();
    }
    std::string folder;
    if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
        if (home.empty() || home[0] != '/') {
            return std::string();
        }
        folder = (home == "/" ? std::string() : home) + value.substr(5);
        if (folder.empty()) {
            folder = "/";
        }
    } else if (!value.empty() && value[0] == '/') {
        folder = value;
    } else {
        // Relative paths and other variables mean nothing to us; the desktop ignores them too.
        return std::string();
    }
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder.size() <= kMaxPathBytes ? folder : std::string();
}

} // namespace

int ParseDocumentsDir(const std::string& text, const std::string& home, std::string* folder) {
    std::string found;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        const std::string named = FolderOfLine(line, home);
        if (!named.empty()) {
            found = named;
        }
        start = end + 1;
    }
    if (found.empty()) {
        return -1;
    }
    *folder = found;
    return 0;
}

int ReadUserDirsFile(const std::string& path, std::string* text) {
    // Non-blocking: a pipe put in the file's place must not hold the program at open or read.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<uint64_t>(info.st_size) > kMaxUserDirsBytes) {
        close(fd);
        return -1;
    }
    // Read no more than the limit even when the file grows meanwhile.
    std::string bytes(kMaxUserDirsBytes + 1, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            close(fd);
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    close(fd);
    if (done > kMaxUserDirsBytes) {
        return -1;
    }
    bytes.resize(done);
    *text = std::move(bytes);
    return 0;
}

int DocumentsFolder(std::string* folder) {
    const char* homeValue = std::getenv("HOME");
    std::string home = homeValue != nullptr ? homeValue : "";
    while (home.size() > 1 && home.back() == '/') {
        home.pop_back();
    }
    const bool homeUsable = !home.empty() && home[0] == '/';
    const char* configValue = std::getenv("XDG_CONFIG_HOME");
    std::string config;
    if (configValue != nullptr && configValue[0] == '/') {
        config = configValue;
    } else if (homeUsable) {
        config = home + "/.config";
    }
    std::string text;
    if (!config.empty() && ReadUserDirsFile(config + "/user-dirs.dirs", &text) == 0 &&
        ParseDocumentsDir(text, homeUsable ? home : std::string(), folder) == 0) {
        return 0;
    }
    if (!homeUsable) {
        return -1;
    }
    *folder = (home == "/" ? std::string() : home) + "/Documents";
    return 0;
}

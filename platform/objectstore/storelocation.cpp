#include "platform/objectstore/storelocation.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex pathLock;
std::string overridePath;
std::atomic<int> busyTimeout{5000};

} // namespace

void SetStorePath(const std::string& path) {
    std::lock_guard<std::mutex> guard(pathLock);
    overridePath = path;
}

std::string StorePath() {
    {
        std::lock_guard<std::mutex> guard(pathLock);
        if (!overridePath.empty()) {
            return overridePath;
        }
    }
    // An XDG variable that is not an absolute path is to be ignored.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome) + "/zonrik/phone.db";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/zonrik/phone.db";
}

void SetStoreBusyTimeout(int milliseconds) {
    busyTimeout.store(milliseconds < 0 ? 0 : milliseconds);
}

int StoreBusyTimeout() {
    return busyTimeout.load();
}

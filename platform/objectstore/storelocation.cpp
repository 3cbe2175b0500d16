#include "platform/objectstore/storelocation.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

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
    const char* home = std::getenv("HOME");
    const std::string data = dataHome != nullptr && dataHome[0] == '/'
                                 ? std::string(dataHome)
                                 : std::string(home != nullptr ? home : "") + "/.local/share";
    // On a Linux phone the dialler already keeps the calls: its history is the phone's call log.
    for (const char* history : {"/calls/records.db", "/plasmaphonedialer/calls.sqlite"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(data + history, ec)) {
            return data + history;
        }
    }
    return data + "/zonrik/phone.db";
}

void SetStoreBusyTimeout(int milliseconds) {
    busyTimeout.store(milliseconds < 0 ? 0 : milliseconds);
}

int StoreBusyTimeout() {
    return busyTimeout.load();
}

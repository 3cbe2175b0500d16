#include "platform/time/clock.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

namespace {

std::atomic<bool> overridden{false};
std::atomic<int64_t> overrideSeconds{0};

// The zone file the C library reads for the TZ variable's value (null: unset).
std::string ZoneFile(const char* zone) {
    if (zone == nullptr) {
        return "/etc/localtime";
    }
    std::string name = zone[0] == ':' ? zone + 1 : zone;
    if (!name.empty() && name[0] == '/') {
        return name;
    }
    const char* folder = std::getenv("TZDIR");
    return std::string(folder != nullptr && folder[0] != '\0' ? folder : "/usr/share/zoneinfo") + "/" + name;
}

} // namespace

int64_t CurrentUnixSeconds() {
    if (overridden.load()) {
        return overrideSeconds.load();
    }
    return static_cast<int64_t>(std::time(nullptr));
}

void GetLocalTime(SystemTime* fields) {
    *fields = SystemTime{};
    UnixSecondsToLocalTime(CurrentUnixSeconds(), fields);
}

uint64_t LocalZoneStamp() {
    static std::mutex lock;
    static std::string lastKey;
    static uint64_t stamp = 0;
    const char* zone = std::getenv("TZ");
    std::string key = zone != nullptr ? std::string("=") + zone : std::string("unset");
    // A file replaced or rewritten in place (a new zone chosen, the zone data updated).
    struct stat info {};
    if (stat(ZoneFile(zone).c_str(), &info) == 0) {
        for (const auto value :
             {static_cast<int64_t>(info.st_dev), static_cast<int64_t>(info.st_ino), static_cast<int64_t>(info.st_size),
              static_cast<int64_t>(info.st_mtim.tv_sec), static_cast<int64_t>(info.st_mtim.tv_nsec)}) {
            key += ' ' + std::to_string(value);
        }
    }
    std::lock_guard<std::mutex> guard(lock);
    if (key != lastKey) {
        lastKey = std::move(key);
        ++stamp;
        // The C library reads the zone only on tzset: without it a phone that travels would keep
        // the old zone's times and the old "today" until the program restarts. (With TZ set, it
        // reads the named file again only for a new value of TZ.)
        tzset();
    }
    return stamp;
}

void SetCurrentTimeOverride(int64_t seconds) {
    overrideSeconds.store(seconds);
    overridden.store(true);
}

void ClearCurrentTimeOverride() {
    overridden.store(false);
}

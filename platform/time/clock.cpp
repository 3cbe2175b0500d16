#include "platform/time/clock.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

std::atomic<bool> overridden{false};
std::atomic<int64_t> overrideSeconds{0};

} // namespace

int64_t CurrentUnixSeconds() {
    if (overridden.load()) {
        return overrideSeconds.load();
    }
    return static_cast<int64_t>(std::time(nullptr));
}

void GetLocalTime(SystemTime* fields) {
    // Asked once per loaded call: the conversion is kept for the rest of the second, as long as
    // the zone is the same.
    thread_local int64_t lastSeconds = INT64_MIN;
    thread_local std::string lastZone;
    thread_local SystemTime lastFields{};
    const int64_t seconds = CurrentUnixSeconds();
    const char* zone = std::getenv("TZ");
    if (seconds != lastSeconds || lastZone != (zone != nullptr ? zone : "")) {
        lastFields = SystemTime{};
        UnixSecondsToLocalTime(seconds, &lastFields);
        lastSeconds = seconds;
        lastZone = zone != nullptr ? zone : "";
    }
    *fields = lastFields;
}

void SetCurrentTimeOverride(int64_t seconds) {
    overrideSeconds.store(seconds);
    overridden.store(true);
}

void ClearCurrentTimeOverride() {
    overridden.store(false);
}

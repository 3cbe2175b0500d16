#include "platform/time/clock.h"

#include <atomic>
#include <ctime>

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
    *fields = SystemTime{};
    UnixSecondsToLocalTime(CurrentUnixSeconds(), fields);
}

void SetCurrentTimeOverride(int64_t seconds) {
    overrideSeconds.store(seconds);
    overridden.store(true);
}

void ClearCurrentTimeOverride() {
    overridden.store(false);
}

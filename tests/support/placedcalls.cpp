#include "tests/support/placedcalls.h"

#include <mutex>

namespace {

std::mutex lock;
std::vector<PlacedCall> placed;

void Record(const PlacedCall& call) {
    std::lock_guard<std::mutex> guard(lock);
    placed.push_back(call);
}

} // namespace

void ClearPlacedCalls() {
    SetPlaceCallHandler(Record);
    std::lock_guard<std::mutex> guard(lock);
    placed.clear();
}

std::vector<PlacedCall> PlacedCalls() {
    std::lock_guard<std::mutex> guard(lock);
    return placed;
}

#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A point on another thread where that thread stops until the test opens the gate, and the test can
// wait until the thread has got there or through. An open gate only counts the threads that pass.
class Gate {
public:
    explicit Gate(bool open = false) : opened(open) {}

    // On the other thread: notes the arrival, waits until the gate is open, notes the passage.
    void Pass() {
        std::unique_lock<std::mutex> guard(lock);
        ++arrived;
        changed.notify_all();
        changed.wait(guard, [this] { return opened; });
        ++passed;
        changed.notify_all();
    }

    void Open() {
        std::lock_guard<std::mutex> guard(lock);
        opened = true;
        changed.notify_all();
    }

    // Whether count threads have arrived, or passed, within ten seconds.
    bool WaitArrived(int count = 1) { return WaitFor(arrived, count); }
    bool WaitPassed(int count = 1) { return WaitFor(passed, count); }

    int Passed() {
        std::lock_guard<std::mutex> guard(lock);
        return passed;
    }

private:
    bool WaitFor(const int& counter, int count) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return counter >= count; });
    }

    std::mutex lock;
    std::condition_variable changed;
    bool opened;
    int arrived = 0;
    int passed = 0;
};

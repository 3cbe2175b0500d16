#include "platform/ui/noticereceiver.h"

#include <QSocketNotifier>

#include <cstdint>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The posting thread only writes to a descriptor that the receiver's event loop watches: nothing of
// the toolkit is made or touched on that thread, so an application that is going meanwhile is safe.
struct Mailbox {
    std::mutex lock;
    // Made once and never closed, so that a post never writes to a descriptor closed and reused.
    int wakeFd = -1;
    bool receiving = false;
    std::vector<std::function<void()>> notices;
    // The descriptor has been written since the receiver last read it.
    bool woken = false;
};

Mailbox& TheMailbox() {
    // Never destroyed: a reading thread may post while the program ends.
    static Mailbox* mailbox = [] {
        auto* made = new Mailbox;
        made->wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        return made;
    }();
    return *mailbox;
}

// The lock is held.
void Drain(Mailbox& mailbox) {
    if (mailbox.wakeFd >= 0) {
        // Non-blocking: when nothing was written there is nothing to read.
        uint64_t count = 0;
        static_cast<void>(read(mailbox.wakeFd, &count, sizeof count));
    }
    mailbox.woken = false;
}

void TakeNotices() {
    Mailbox& mailbox = TheMailbox();
    std::vector<std::function<void()>> notices;
    {
        std::lock_guard<std::mutex> guard(mailbox.lock);
        Drain(mailbox);
        notices.swap(mailbox.notices);
    }
    // Outside the lock: a notice may post again.
    for (const std::function<void()>& notice : notices) {
        notice();
    }
}

} // namespace

NoticeReceiver::NoticeReceiver() {
    Mailbox& mailbox = TheMailbox();
    if (mailbox.wakeFd < 0) {
        return;
    }
    wake = std::make_unique<QSocketNotifier>(mailbox.wakeFd, QSocketNotifier::Read);
    QObject::connect(wake.get(), &QSocketNotifier::activated, [] { TakeNotices(); });
    std::vector<std::function<void()>> dropped;
    std::lock_guard<std::mutex> guard(mailbox.lock);
    Drain(mailbox);
    dropped.swap(mailbox.notices);
    mailbox.receiving = true;
}

NoticeReceiver::~NoticeReceiver() {
    Mailbox& mailbox = TheMailbox();
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> guard(mailbox.lock);
        mailbox.receiving = false;
        Drain(mailbox);
        dropped.swap(mailbox.notices);
    }
    wake.reset();
}

int NoticeReceiver::Post(std::function<void()> notice) {
    Mailbox& mailbox = TheMailbox();
    std::lock_guard<std::mutex> guard(mailbox.lock);
    if (!mailbox.receiving) {
        return -1;
    }
    mailbox.notices.push_back(std::move(notice));
    if (!mailbox.woken) {
        const uint64_t one = 1;
        mailbox.woken = write(mailbox.wakeFd, &one, sizeof one) == sizeof one;
    }
    return 0;
}

#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

// Carries notices from other threads (the address books' reader saying that names arrived) to the
// program's thread, through a mailbox that is never destroyed and is locked for each notice: one
// posted while a receiver lives is carried out on its thread, one posted while none lives is
// dropped, and once the receiver's destructor has returned no notice is reaching it or will. The
// program keeps one from just after the window system's application is made until just before it
// goes; one lives at a time.
class NoticeReceiver {
public:
    // Receives from now on, on the calling thread.
    NoticeReceiver();
    ~NoticeReceiver();
    NoticeReceiver(const NoticeReceiver&) = delete;
    NoticeReceiver& operator=(const NoticeReceiver&) = delete;

    // Carries notice out on the receiver's thread after what is already queued there; any thread.
    // 0, or -1 when no receiver lives (the notice is dropped).
    static int Post(std::function<void()> notice);

private:
    std::unique_ptr<QSocketNotifier> wake;
};

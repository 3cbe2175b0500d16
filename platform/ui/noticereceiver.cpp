#include "platform/ui/noticereceiver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <mutex>
#include <utility>
#include <vector>

namespace {

// Only a wake-up goes through the toolkit's queue; the notices themselves stay in the mailbox.
QEvent::Type NoticesWaiting() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct Mailbox {
    std::mutex lock;
    // The living receiver's object, on the receiver's thread; null when none lives.
    QObject* target = nullptr;
    std::vector<std::function<void()>> notices;
    // A wake-up is queued for target.
    bool woken = false;
};

Mailbox& TheMailbox() {
    // Never destroyed: a reading thread may post while the program ends.
    static Mailbox* mailbox = new Mailbox;
    return *mailbox;
}

class Target : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != NoticesWaiting()) {
            return QObject::event(event);
        }
        Mailbox& mailbox = TheMailbox();
        std::vector<std::function<void()>> notices;
        {
            std::lock_guard<std::mutex> guard(mailbox.lock);
            if (mailbox.target == this) {
                notices.swap(mailbox.notices);
                mailbox.woken = false;
            }
        }
        // Outside the lock: a notice may post again.
        for (const std::function<void()>& notice : notices) {
            notice();
        }
        return true;
    }
};

} // namespace

NoticeReceiver::NoticeReceiver() : target(std::make_unique<Target>()) {
    Mailbox& mailbox = TheMailbox();
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> guard(mailbox.lock);
        mailbox.target = target.get();
        dropped.swap(mailbox.notices);
        mailbox.woken = false;
    }
}

NoticeReceiver::~NoticeReceiver() {
    Mailbox& mailbox = TheMailbox();
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> guard(mailbox.lock);
        if (mailbox.target == target.get()) {
            mailbox.target = nullptr;
            dropped.swap(mailbox.notices);
            mailbox.woken = false;
        }
    }
    // Its queued wake-up goes with it.
    target.reset();
}

int NoticeReceiver::Post(std::function<void()> notice) {
    Mailbox& mailbox = TheMailbox();
    std::lock_guard<std::mutex> guard(mailbox.lock);
    if (mailbox.target == nullptr) {
        return -1;
    }
    mailbox.notices.push_back(std::move(notice));
    if (!mailbox.woken) {
        // The lock keeps target alive, and posting to a living object is safe from any thread.
        QCoreApplication::postEvent(mailbox.target, new QEvent(NoticesWaiting()));
        mailbox.woken = true;
    }
    return 0;
}

#pragma once

#include "platform/contacts/contactsource.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

// An address book that answers only when the test lets it, as a service still starting does. It
// keeps its own copy of the cards, so a read that outlives a test never reads freed ones.
class HeldSource : public ContactSource {
public:
    explicit HeldSource(std::vector<ContactCard> cards) : cards(std::move(cards)) {}

    int ReadContacts(std::vector<ContactCard>* out) override {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [this] { return released; });
        out->insert(out->end(), cards.begin(), cards.end());
        return 0;
    }

    void Release() {
        {
            std::lock_guard<std::mutex> guard(lock);
            released = true;
        }
        changed.notify_all();
    }

private:
    const std::vector<ContactCard> cards;
    std::mutex lock;
    std::condition_variable changed;
    bool released = false;
};

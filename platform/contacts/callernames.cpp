#include "platform/contacts/callernames.h"

#include "platform/contacts/contactlist.h"

#ifdef RINGLOG_HAVE_LIBEBOOK
#include "platform/contacts/addressbookmodule.h"
#endif

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

struct State {
    std::mutex lock;
    std::condition_variable finished;
    bool chosen = false;
    std::vector<std::shared_ptr<ContactSource>> sources;
    std::shared_ptr<const ContactMap> map;
    bool reading = false;
    // Reading threads not yet at their end: a finished read's thread still gives its notice.
    int threads = 0;
    // Held while the notice runs and while it is replaced (taken before lock, never while lock is
    // held): once OnRead returns, the notice it replaced is neither running nor will run.
    std::mutex noticeLock;
    std::function<void()> notice;
};

State& TheState() {
    // Never destroyed: a read may still be under way while the program ends.
    static State* state = new State;
    return *state;
}

std::shared_ptr<const ContactMap> ReadMap(std::vector<std::shared_ptr<ContactSource>> sources) {
    std::vector<ContactCard> cards;
    for (const std::shared_ptr<ContactSource>& source : sources) {
        // Nothing may leave this thread: a source that throws is skipped like one that fails.
        const size_t before = cards.size();
        try {
            source->ReadContacts(&cards);
        } catch (...) {
            cards.resize(before);
        }
    }
    return std::make_shared<const ContactMap>(cards);
}

void ReadSources(std::vector<std::shared_ptr<ContactSource>> sources) {
    State& state = TheState();
    // The sources and the cards go before the read counts as finished.
    std::shared_ptr<const ContactMap> map = ReadMap(std::move(sources));
    {
        std::lock_guard<std::mutex> guard(state.lock);
        state.map = std::move(map);
        state.reading = false;
    }
    state.finished.notify_all();
    {
        std::lock_guard<std::mutex> guard(state.noticeLock);
        if (state.notice) {
            state.notice();
        }
    }
    {
        std::lock_guard<std::mutex> guard(state.lock);
        --state.threads;
    }
    state.finished.notify_all();
}

// Starts a read; the lock is held. false when no thread could be started.
bool StartRead(State& state) {
    if (!state.chosen) {
        state.sources = CallerNames::UserAddressBooks();
        state.chosen = true;
    }
    try {
        std::thread(ReadSources, state.sources).detach();
    } catch (const std::system_error&) {
        return false;
    }
    state.reading = true;
    ++state.threads;
    return true;
}

} // namespace

std::vector<std::shared_ptr<ContactSource>> CallerNames::UserAddressBooks() {
    std::vector<std::shared_ptr<ContactSource>> sources;
#ifdef RINGLOG_HAVE_LIBEBOOK
    sources.push_back(std::make_shared<AddressBookModule>());
#endif
    return sources;
}

void CallerNames::UseSources(std::vector<std::shared_ptr<ContactSource>> sources) {
    State& state = TheState();
    std::unique_lock<std::mutex> guard(state.lock);
    state.finished.wait(guard, [&state] { return state.threads == 0; });
    state.sources = std::move(sources);
    state.chosen = true;
    state.map.reset();
}

void CallerNames::Read() {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.reading) {
        StartRead(state);
    }
}

std::shared_ptr<const ContactMap> CallerNames::Map(std::chrono::milliseconds wait) {
    State& state = TheState();
    std::unique_lock<std::mutex> guard(state.lock);
    if (state.map == nullptr && !state.reading && !StartRead(state)) {
        return nullptr;
    }
    const auto done = [&state] { return !state.reading; };
    if (wait.count() < 0) {
        state.finished.wait(guard, done);
    } else if (wait.count() > 0) {
        state.finished.wait_for(guard, wait, done);
    }
    return state.map;
}

std::shared_ptr<const ContactMap> CallerNames::Latest(bool* reading) {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.lock);
    *reading = state.reading;
    return state.map;
}

bool CallerNames::Reading() {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.threads > 0;
}

void CallerNames::OnRead(std::function<void()> notice) {
    State& state = TheState();
    std::lock_guard<std::mutex> guard(state.noticeLock);
    state.notice = std::move(notice);
}

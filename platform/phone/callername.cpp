#include "platform/phone/callername.h"

#include "platform/contacts/callernames.h"
#include "platform/text/localheap.h"

#include <chrono>
#include <mutex>
#include <string_view>

namespace {

// How long the first record of the program's first load may wait for the address books: long
// enough for a vCard folder or a running service, short enough not to hold up the first screen.
constexpr std::chrono::milliseconds kFirstWait{100};

struct Lookups {
    // Held while namesArrived runs and while it is replaced, and taken before lock: once
    // PhoneUseAddressBooks returns, the notice it replaced is neither running nor will run.
    std::mutex noticeLock;
    std::mutex lock;
    bool enabled = false;
    bool waitForRead = false;
    bool firstDone = false;
    // A record went without a name because the read had not finished; namesArrived is owed.
    bool missed = false;
    // Replaced under both locks, so either one is enough to read it.
    std::function<void()> namesArrived;
    // The reading the lookups since PhoneBeginCallerNameLookups used (held, so that its address
    // stays its own), and whether they used more than one.
    bool looked = false;
    bool mixed = false;
    std::shared_ptr<const ContactMap> usedMap;
};

Lookups& TheLookups() {
    static Lookups* lookups = new Lookups;
    return *lookups;
}

bool Absent(LocalHandle handle) {
    const char16_t* text = LocalText(handle);
    return text == nullptr || *text == u'\0';
}

void ReadFinished() {
    Lookups& lookups = TheLookups();
    std::lock_guard<std::mutex> noticeGuard(lookups.noticeLock);
    bool owed = false;
    {
        std::lock_guard<std::mutex> guard(lookups.lock);
        // The read that finished may be an earlier one, of sources since replaced: only names that
        // are there are announced.
        if (lookups.missed && CallerNames::Map(std::chrono::milliseconds(0)) != nullptr) {
            lookups.missed = false;
            owed = true;
        }
    }
    // Outside lock: a load on the program's thread may look names up meanwhile.
    if (owed && lookups.namesArrived) {
        lookups.namesArrived();
    }
}

// The lock is held.
void NoteUsed(Lookups& lookups, const std::shared_ptr<const ContactMap>& map) {
    if (lookups.looked && map != lookups.usedMap) {
        lookups.mixed = true;
    }
    lookups.looked = true;
    lookups.usedMap = map;
}

// The lock is held while the map is asked for, so that a read finishing meanwhile finds the missed
// load recorded and gives its notice.
std::shared_ptr<const ContactMap> CurrentMap() {
    Lookups& lookups = TheLookups();
    std::lock_guard<std::mutex> guard(lookups.lock);
    if (!lookups.enabled) {
        NoteUsed(lookups, nullptr);
        return nullptr;
    }
    std::chrono::milliseconds wait{0};
    if (lookups.waitForRead) {
        wait = std::chrono::milliseconds(-1);
    } else if (!lookups.firstDone) {
        wait = kFirstWait;
    }
    lookups.firstDone = true;
    std::shared_ptr<const ContactMap> map = CallerNames::Map(wait);
    if (map == nullptr && lookups.namesArrived) {
        lookups.missed = true;
    }
    NoteUsed(lookups, map);
    return map;
}

} // namespace

void PhoneUseAddressBooks(std::function<void()> namesArrived) {
    Lookups& lookups = TheLookups();
    {
        std::lock_guard<std::mutex> noticeGuard(lookups.noticeLock);
        std::lock_guard<std::mutex> guard(lookups.lock);
        lookups.enabled = true;
        lookups.waitForRead = namesArrived == nullptr;
        lookups.firstDone = false;
        lookups.missed = false;
        lookups.namesArrived = std::move(namesArrived);
    }
    CallerNames::OnRead(ReadFinished);
    CallerNames::Read();
}

void PhoneBeginCallerNameLookups() {
    Lookups& lookups = TheLookups();
    std::lock_guard<std::mutex> guard(lookups.lock);
    lookups.looked = false;
    lookups.mixed = false;
    lookups.usedMap = nullptr;
}

int PhoneCallerNamesUnchanged() {
    Lookups& lookups = TheLookups();
    std::lock_guard<std::mutex> guard(lookups.lock);
    if (!lookups.looked) {
        return 1;
    }
    if (lookups.mixed) {
        return 0;
    }
    if (!lookups.enabled) {
        return lookups.usedMap == nullptr ? 1 : 0;
    }
    // What a lookup now would get, without starting a read: one that waits for a read under way,
    // or one that would start the first read, may get another.
    bool reading = false;
    const std::shared_ptr<const ContactMap> now = CallerNames::Latest(&reading);
    if ((lookups.waitForRead || !lookups.firstDone) && (reading || now == nullptr)) {
        return 0;
    }
    return now == lookups.usedMap ? 1 : 0;
}

bool PhoneAddressBooksBusy() {
    return CallerNames::Reading();
}

int PhoneFindCallerName(CallLogRecord* record) {
    if (record == nullptr || !Absent(record->name) || !Absent(record->nameType)) {
        return 0;
    }
    const char16_t* number = LocalText(record->number);
    if (number == nullptr) {
        return 0;
    }
    const std::shared_ptr<const ContactMap> map = CurrentMap();
    const ContactMap::Match* match = map != nullptr ? map->Find(std::u16string_view(number)) : nullptr;
    if (match == nullptr) {
        return 0;
    }
    const LocalHandle name = LocalAllocUtf8(match->name.data(), match->name.size());
    const LocalHandle nameType =
        match->nameType.empty() ? 0 : LocalAllocUtf8(match->nameType.data(), match->nameType.size());
    if (name == 0 || (nameType == 0 && !match->nameType.empty())) {
        LocalFree(name);
        LocalFree(nameType);
        return 0;
    }
    LocalFree(record->name);
    LocalFree(record->nameType);
    record->name = name;
    record->nameType = nameType;
    return 1;
}

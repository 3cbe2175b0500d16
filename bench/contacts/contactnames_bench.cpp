// What the names from the address book add to a load, each run in a fresh process (cold): the
// program's first CallList::Load of 10,000 calls without address books, with 1,000 contacts held in
// memory, and with the same 1,000 contacts as a vCard folder read through libebook-contacts; and,
// on a session where the address-book service is installed but not running, how much later the
// first load ends and when the names arrive (wall clock). A plain timed program; never run by CTest.
//   contactnames_bench [ROUNDS]                     the three loads, ROUNDS fresh processes each
//   contactnames_bench service                      one first load against the service (run it under
//                                                   tests/support/withdesktop.sh --address-book)
#include "calllog/calllist.h"
#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/contacts/vcardfolder.h"
#include "platform/objectstore/storelocation.h"
#include "platform/phone/callername.h"
#include "platform/phone/callstore.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kCalls = 10000;
constexpr int kContacts = 1000;
const std::string kStore = "/tmp/ringlog-bench-contacts.db";
const std::string kFolder = "/tmp/ringlog-bench-kpeoplevcard";

std::string Number(int i) {
    char text[32];
    std::snprintf(text, sizeof(text), "(206) 386-%04d", i % 10000);
    return text;
}

// 10,000 calls without names from 2,000 numbers: half of them belong to a contact.
void PrepareStore() {
    SetStorePath(kStore);
    std::vector<CallRecordData> existing;
    std::string error;
    if (std::filesystem::exists(kStore) && ReadCallRecords(&existing, &error) == 0 && existing.size() == kCalls) {
        return;
    }
    std::vector<CallRecordData> calls;
    for (int i = kCalls - 1; i >= 0; --i) {
        CallRecordData call;
        call.startTime = 134000000000000000ULL - static_cast<uint64_t>(i) * 6000000000ULL;
        call.endTime = call.startTime + 600000000ULL;
        call.callType = i % 3;
        const std::string number = "tel:+1" + std::to_string(2063860000 + (i * 7) % 2000);
        call.number = std::u16string(number.begin(), number.end());
        calls.push_back(std::move(call));
    }
    if (AddCallRecords(calls, true, &error) != 0) {
        std::fprintf(stderr, "cannot make the store: %s\n", error.c_str());
        std::exit(1);
    }
}

// 1,000 contacts with a cell and a work number each.
std::vector<ContactCard> Cards() {
    std::vector<ContactCard> cards;
    for (int i = 0; i < kContacts; ++i) {
        cards.push_back({"Contact " + std::to_string(i), {{Number(i), "m", false}, {Number(5000 + i), "w", false}}});
    }
    return cards;
}

void PrepareFolder() {
    if (std::filesystem::exists(kFolder + "/999.vcf")) {
        return;
    }
    std::filesystem::create_directories(kFolder);
    for (int i = 0; i < kContacts; ++i) {
        std::ofstream out(kFolder + "/" + std::to_string(i) + ".vcf");
        out << "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Contact " << i << "\r\nN:" << i
            << ";Contact;;;\r\nTEL;TYPE=CELL:" << Number(i) << "\r\nTEL;TYPE=WORK,VOICE:" << Number(5000 + i)
            << "\r\nEMAIL:c" << i << "@example.org\r\nEND:VCARD\r\n";
    }
}

// The processor time of the process, its reading thread included: unlike the wall clock it does not
// count the time other programs on a shared machine take.
double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// One first load in this process; prints the processor milliseconds it took.
int LoadOnce(const std::string& mode) {
    SetStorePath(kStore);
    if (mode == "memory") {
        CallerNames::UseSources({std::make_shared<ContactList>(Cards())});
    } else if (mode == "vcard") {
        CallerNames::UseSources({std::make_shared<VcardFolder>(kFolder)});
    }
    const double start = CpuMs();
    if (mode != "none") {
        // As the tool does: the load waits for the map, so that its whole cost is in the load.
        PhoneUseAddressBooks(nullptr);
    }
    CallList list;
    if (list.Load() != 0 || list.count != kCalls) {
        return 1;
    }
    const double ms = CpuMs() - start;
    int named = 0;
    for (int i = 0; i < list.count; ++i) {
        named += list.EntryAt(i)->nameFromAddressBook ? 1 : 0;
    }
    std::printf("%.2f %d\n", ms, named);
    return 0;
}

int Service() {
    SetStorePath(kStore);
    std::atomic<bool> arrived{false};
    const auto start = Clock::now();
    std::atomic<int64_t> arrivedUs{0};
    PhoneUseAddressBooks([&] {
        arrivedUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        arrived = true;
    });
    CallList list;
    list.Load();
    const double loadMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    while (!arrived && Clock::now() - start < std::chrono::seconds(30)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::printf("first load of %d calls: %.1f ms; names arrived after %.1f ms%s\n", list.count, loadMs,
                static_cast<double>(arrivedUs.load()) / 1000.0, arrived ? "" : " (never)");
    return 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--once" && argc > 2) {
        return LoadOnce(argv[2]);
    }
    if (first == "service") {
        PrepareStore();
        return Service();
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    PrepareStore();
    PrepareFolder();
    std::printf("first CallList::Load of %d calls, %d contacts: processor time, median of %d fresh processes\n", kCalls,
                kContacts, rounds);
    double without = 0;
    for (const char* mode : {"none", "memory", "vcard"}) {
        std::vector<double> times;
        int named = 0;
        for (int round = 0; round < rounds; ++round) {
            const std::string command = std::string("'") + argv[0] + "' --once " + mode;
            FILE* child = popen(command.c_str(), "r");
            double ms = 0;
            if (child == nullptr || std::fscanf(child, "%lf %d", &ms, &named) != 2) {
                std::fprintf(stderr, "the %s run failed\n", mode);
                return 1;
            }
            pclose(child);
            times.push_back(ms);
        }
        const double median = Median(times);
        if (std::string(mode) == "none") {
            without = median;
        }
        std::printf("%-8s %8.2f ms  (%+.2f ms)  %d calls named\n", mode, median, median - without, named);
    }
    return 0;
}

// CallSearch over 100,000 calls, as the list view runs it after Find: every entry asked once, the
// positions of the matches kept. Four texts: a name with an accent folded away, digits, a place and a
// text that finds nothing (every field of every call read to the end). Counter: time_per_call.
//
// `callsearch_bench --cold [RUNS]` runs each search as the first thing a fresh process does after
// making its entries, as a user meets it, and prints the median in milliseconds.
#include "calllog/callsearch.h"
#include "platform/text/localheap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kCalls = 100000;

const char16_t* const kNames[] = {u"Anna Müller",
                                  u"José Álvarez",
                                  u"Zoë O'Brien",
                                  u"Frances Allen",
                                  u"Grace Hopper",
                                  u"Søren Kierkegaard",
                                  u"",
                                  u"Łukasz Nowak",
                                  u"Ada Lovelace",
                                  u"",
                                  u"Brontë Sisters",
                                  u"Margaret Hamilton"};
const char16_t* const kPlaces[] = {u"Seattle, WA",  u"Redmond, WA", u"Spokane, WA", u"New York, NY", u"",
                                   u"Portland, OR", u"Boise, ID"};
const char16_t* const kTexts[] = {u"muller", u"2063", u"seattle", u"qqqq"};

std::u16string Ascii(const char* text) {
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// The calls as a load leaves them: the texts derived, the stored number stripped in the local heap.
std::vector<NVXCallEntry> MakeEntries() {
    std::vector<NVXCallEntry> entries(kCalls);
    char text[64];
    for (int i = 0; i < kCalls; ++i) {
        NVXCallEntry& entry = entries[static_cast<size_t>(i)];
        const int area = 200 + (i * 7) % 800;
        const int exchange = 200 + (i * 13) % 800;
        std::snprintf(text, sizeof(text), "(%03d) %03d-%04d", area, exchange, i % 10000);
        entry.numberText.Assign(Ascii(text).c_str());
        std::snprintf(text, sizeof(text), "1%03d%03d%04d", area, exchange, i % 10000);
        entry.number = LocalAllocText(Ascii(text).c_str());
        entry.nameText.Assign(kNames[i % std::size(kNames)]);
        entry.locationText.Assign(kPlaces[i % std::size(kPlaces)]);
    }
    return entries;
}

// What the view does with a search: the positions of the calls it finds.
size_t Search(const std::vector<NVXCallEntry>& entries, const char16_t* text, std::vector<int>& found) {
    const CallSearch search(text);
    found.clear();
    for (size_t p = 0; p < entries.size(); ++p) {
        if (search.Matches(entries[p])) {
            found.push_back(static_cast<int>(p));
        }
    }
    return found.size();
}

void BM_CallSearch(benchmark::State& state) {
    static const std::vector<NVXCallEntry> entries = MakeEntries();
    const char16_t* text = kTexts[state.range(0)];
    std::vector<int> found;
    found.reserve(entries.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(Search(entries, text, found));
    }
    state.SetLabel(std::to_string(found.size()) + " found");
    state.counters["time_per_call"] = benchmark::Counter(
        static_cast<double>(kCalls), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CallSearch)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

double MillisecondsSince(const timespec& start) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - start.tv_sec) * 1e3 +
           static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e6;
}

// One first search in this fresh process; prints its milliseconds.
int ColdChild(int which) {
    const std::vector<NVXCallEntry> entries = MakeEntries();
    std::vector<int> found;
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    Search(entries, kTexts[which], found);
    std::printf("%.2f %zu\n", MillisecondsSince(start), found.size());
    return 0;
}

int ColdRuns(int runs) {
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof(self) - 1) <= 0) {
        return 1;
    }
    std::printf("%-10s %6s %8s %14s\n", "text", "runs", "found", "first_ms(med)");
    for (int which = 0; which < static_cast<int>(std::size(kTexts)); ++which) {
        std::vector<double> times;
        size_t found = 0;
        for (int run = 0; run < runs; ++run) {
            const std::string command = std::string(self) + " --cold-child " + std::to_string(which);
            FILE* child = popen(command.c_str(), "r");
            double ms = 0;
            if (child == nullptr || std::fscanf(child, "%lf %zu", &ms, &found) != 2) {
                return 1;
            }
            pclose(child);
            times.push_back(ms);
        }
        std::sort(times.begin(), times.end());
        const std::u16string text = kTexts[which];
        std::printf("%-10s %6d %8zu %14.2f\n", std::string(text.begin(), text.end()).c_str(), runs, found,
                    times[times.size() / 2]);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--cold-child") {
        return ColdChild(std::atoi(argv[2]));
    }
    if (argc >= 2 && std::string(argv[1]) == "--cold") {
        return ColdRuns(argc >= 3 ? std::atoi(argv[2]) : 7);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

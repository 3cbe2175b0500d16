// The memory a reload takes: the program loads the call log again at every return to it and after
// every deletion, so whatever a load keeps beyond its own calls grows for as long as it runs.
#include "calllog/calllist.h"

#include "platform/text/localheap.h"
#include "tests/platform/storetestenv.h"

#include <string>
#include <vector>

namespace {

using storetest::Call;
using storetest::Utc;

class ReloadMemory : public storetest::StoreTest {};

TEST_F(ReloadMemory, CallsWithLongTextsTakeNoMoreAtEveryReload) {
    // Notes longer than the local heap's blocks, one for each call.
    const std::u16string note(20000, u'n');
    std::vector<CallRecordData> calls;
    for (int i = 0; i < 200; ++i) {
        calls.push_back(Call(Utc(2026, 12, 1, 0, 0) + static_cast<uint64_t>(i) * 600000000, u"2065550100", u"Caller"));
        calls.back().note = note;
    }
    AddCalls(calls);
    const size_t liveBefore = LocalLiveCount();
    {
        CallList list;
        size_t afterSecond = 0;
        for (int load = 1; load <= 50; ++load) {
            ASSERT_EQ(list.Load(), 0);
            ASSERT_EQ(list.count, 200);
            if (load == 2) {
                afterSecond = LocalCommittedBytes();
            }
        }
        EXPECT_EQ(std::u16string(LocalText(list.EntryAt(199)->note)), note);
        EXPECT_GE(afterSecond, 200 * note.size() * sizeof(char16_t));
        EXPECT_LE(LocalCommittedBytes(), afterSecond + afterSecond / 20);
    }
    EXPECT_EQ(LocalLiveCount(), liveBefore);
}

} // namespace

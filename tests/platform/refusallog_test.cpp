// The store's and the phone library's logs: quiet unless turned on, and then saying what was
// refused and why.
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storelog.h"
#include "platform/phone/phonelibrary.h"
#include "platform/phone/phonelog.h"
#include "tests/platform/storetestenv.h"
#include "tests/support/logcapture.h"

#include <fstream>

namespace {

using storetest::Call;
using storetest::Utc;

class RefusalLog : public storetest::StoreTest {
protected:
    // Opens the call log's database latest first; the connection is closed with it by the caller.
    StoreHandle OpenCallLogDatabase(StoreHandle* connection) {
        VolumeId volume{};
        volume.bytes[0] = 0xFF;
        *connection = StoreOpenConnection(volume);
        return StoreOpenDatabase(*connection, volume, 0, u"clog.db", nullptr, 1, nullptr);
    }
};

TEST_F(RefusalLog, CategoriesAreNamedPerServiceAndQuietUnlessTurnedOn) {
    EXPECT_STREQ(storeLog().categoryName(), "ringlog.platform.store");
    EXPECT_STREQ(phoneLog().categoryName(), "ringlog.platform.phone");
    for (const QLoggingCategory* category : {&storeLog(), &phoneLog()}) {
        SCOPED_TRACE(category->categoryName());
        EXPECT_FALSE(category->isDebugEnabled());
        // A call that no dialler took is still said without any rule.
        EXPECT_TRUE(category->isWarningEnabled());
    }
}

TEST_F(RefusalLog, RefusedDeleteIsSaidWithTheRecordAndWhyOnlyWhenTurnedOn) {
    AddCalls({Call(Utc(2026, 12, 9, 8, 30), u"1")});
    StoreHandle connection = 0;
    const StoreHandle database = OpenCallLogDatabase(&connection);
    ASSERT_NE(database, 0u) << StoreLastError();
    {
        LogCapture quiet("ringlog.platform.store", LogCapture::Debug::Off);
        EXPECT_EQ(StoreDeleteRecord(database, 999), -1);
        EXPECT_TRUE(quiet.Messages().empty());
    }
    {
        LogCapture capture("ringlog.platform.store", LogCapture::Debug::On);
        EXPECT_EQ(StoreDeleteRecord(database, 999), -1);
        uint64_t start = 0;
        EXPECT_EQ(StoreReadStartTime(database, 998, &start), -1);
        EXPECT_EQ(capture.Messages(), (std::vector<std::string>{"record 999 not deleted: no such record",
                                                                "record 998 not read: no such record"}));
    }
    StoreCloseHandle(database);
    StoreCloseHandle(connection);
}

TEST_F(RefusalLog, CallLogThatIsNoStoreIsSaidWithWhy) {
    {
        std::ofstream out(storePath, std::ios::binary);
        out << std::string(4096, 'x');
    }
    LogCapture capture("ringlog.platform.phone", LogCapture::Debug::On);
    CallLogHandle log = nullptr;
    ASSERT_EQ(PhoneOpenCallLog(&log), -1);
    const std::vector<std::string> messages = capture.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "call log not read: " + PhoneLastError());
    EXPECT_FALSE(PhoneLastError().empty());
}

} // namespace

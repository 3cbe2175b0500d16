// A call-log record as the phone layer hands it to the call list: any start and end, any call and
// caller-id type, any flags, and four texts each absent or of any length and any UTF-16 units
// (unpaired surrogates too). The list derives its texts from it with the city database loaded or
// not, under the input's choice of zone, locale and "now"; every derived text stays terminated
// inside its buffer, and the texts are released exactly once.
#include "calllog/nvxcallentry.h"
#include "citydb/citydatabase.h"
#include "fuzz/fuzzinput.h"
#include "platform/files/programfiles.h"
#include "platform/text/localheap.h"
#include "platform/text/textops.h"
#include "platform/time/clock.h"

#include <cstdlib>
#include <ctime>

namespace {

template <size_t N> void CheckTerminated(const FixedText<N>& text) {
    if (TextLengthBounded(text.Data(), N) >= N) {
        std::abort();
    }
}

LocalHandle MaybeText(FuzzInput& input) {
    if (input.Byte() % 4 == 0) {
        return 0;
    }
    const std::u16string text = input.Text(120);
    return LocalAllocText(text.data(), text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool setUp = [] {
        SetCityDatabaseOverride(RINGLOG_CITYDB_FILE);
        return true;
    }();
    (void)setUp;
    FuzzInput input(data, size);
    const uint8_t settings = input.Byte();
    static const char* const zones[] = {"UTC", "America/Los_Angeles", "Asia/Tokyo", "Pacific/Kiritimati"};
    static const char* const locales[] = {"C", "en_US.UTF-8", "en_GB.UTF-8", "gu_IN.UTF-8"};
    setenv("TZ", zones[settings & 3], 1);
    tzset();
    setenv("LC_ALL", locales[(settings >> 2) & 3], 1);
    if ((settings & 0x10) != 0) {
        CityDatabase::Load();
    } else {
        CityDatabase::Unload();
    }
    SetCurrentTimeOverride(static_cast<int64_t>(input.Quad()));

    const size_t liveBefore = LocalLiveCount();
    NVXCallEntry entry;
    entry.startTime = MakeFileTime(input.Quad());
    entry.endTime = MakeFileTime(input.Quad());
    entry.callType = static_cast<int32_t>(input.Long());
    entry.flags = input.Long();
    entry.callerIdType = static_cast<int32_t>(input.Long());
    entry.number = MaybeText(input);
    entry.name = MaybeText(input);
    entry.nameType = MaybeText(input);
    entry.note = MaybeText(input);

    DeriveDisplayFields(entry);
    CheckTerminated(entry.nameText);
    CheckTerminated(entry.numberText);
    CheckTerminated(entry.locationText);
    CheckTerminated(entry.cityText);
    CheckTerminated(entry.stateText);
    CheckTerminated(entry.timeText);
    CheckTerminated(entry.dialNumber);

    NVXCallEntry snapshot;
    CopyEntry(entry, snapshot);
    CheckTerminated(snapshot.dialNumber);

    FreeRecordStrings(entry);
    FreeRecordStrings(entry);
    if (LocalLiveCount() != liveBefore) {
        std::abort();
    }
    return 0;
}

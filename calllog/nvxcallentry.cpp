#include "calllog/nvxcallentry.h"

#include "citydb/citydatabase.h"
#include "citydb/numberformat.h"
#include "platform/text/localheap.h"
#include "platform/time/clock.h"
#include "platform/time/timelocale.h"

namespace {

bool Contains(const char16_t* text, const char16_t* part) {
    for (; *text != u'\0'; ++text) {
        size_t i = 0;
        while (part[i] != u'\0' && text[i] == part[i]) {
            ++i;
        }
        if (part[i] == u'\0') {
            return true;
        }
    }
    return false;
}

// Writes a number from 0 to 99 as "%d", or as "%02d" when twoDigits. The time text is written
// for every call that is loaded, so it does without the general formatter.
void PutNumber(char16_t* text, size_t& length, int value, bool twoDigits) {
    if (twoDigits || value >= 10) {
        text[length++] = static_cast<char16_t>(u'0' + value / 10 % 10);
    }
    text[length++] = static_cast<char16_t>(u'0' + value % 10);
}

// "%d:%02d" or "%02d:%02d", then the suffix.
void PutClock(FixedText<11>& timeText, int hour, int minute, bool twoDigits, const char16_t* suffix) {
    char16_t text[8] = {};
    size_t length = 0;
    PutNumber(text, length, hour, twoDigits);
    text[length++] = u':';
    PutNumber(text, length, minute, true);
    timeText.Assign(text).Append(suffix);
}

// "%d/%d/%d", or "%d/%d/0%d" for a year below 10: the year always shows two digits.
void PutDate(FixedText<11>& timeText, int month, int day, int year) {
    char16_t text[11] = {};
    size_t length = 0;
    PutNumber(text, length, month, false);
    text[length++] = u'/';
    PutNumber(text, length, day, false);
    text[length++] = u'/';
    PutNumber(text, length, year, true);
    timeText.Assign(text);
}

void DeriveTimeText(NVXCallEntry& entry, const TimeFacts& facts) {
    SystemTime call{};
    FileTime local{};
    // The facts were read after the zone was looked at and applied: one look serves the whole load.
    if (FileTimeToLocalFileTimeInAppliedZone(entry.startTime, &local) == 0) {
        FileTimeToSystemTime(local, &call);
    }

    const SystemTime& now = facts.now;
    // The year is compared too: a call from this day of an earlier year is not from today.
    const bool today = call.day == now.day && call.month == now.month && call.year == now.year;
    if (!today) {
        PutDate(entry.timeText, call.month % 100, call.day % 100, call.year % 100);
        return;
    }

    const int hour = call.hour % 24;
    const int minute = call.minute % 60;
    if (!facts.twelveHour) {
        PutClock(entry.timeText, hour, minute, facts.twoDigits, u"");
    } else if (hour < 12) {
        // The hour after midnight is 12 on a 12-hour clock, not 0.
        PutClock(entry.timeText, hour == 0 ? 12 : hour, minute, facts.twoDigits, u" a");
    } else {
        PutClock(entry.timeText, hour == 12 ? 12 : hour - 12, minute, facts.twoDigits, u" p");
    }
}

} // namespace

TimeFacts ReadTimeFacts() {
    TimeFacts facts{};
    // The zone first: one that changes meanwhile makes the next load's facts differ.
    facts.zone = LocalZoneStamp();
    GetLocalTime(&facts.now);
    facts.now.second = 0;
    facts.now.milliseconds = 0;

    char16_t pattern[255] = {};
    GetLocaleTimePattern(pattern, 255);
    char16_t formatted[15] = {};
    FormatLocaleTimeNoSeconds(facts.now, formatted, 15);
    facts.twoDigits = Contains(pattern, u"hh") || Contains(pattern, u"HH");
    facts.twelveHour = Contains(formatted, u"M");
    return facts;
}

int DeriveDisplayFields(NVXCallEntry& entry) {
    return DeriveDisplayFields(entry, ReadTimeFacts());
}

int DeriveDisplayFields(NVXCallEntry& entry, const TimeFacts& facts) {
    char16_t* number = LocalText(entry.number);
    const char16_t* name = LocalText(entry.name);
    const char16_t* nameType = LocalText(entry.nameType);
    // An empty name shows as no name at all: a row of blanks tells the user nothing.
    if (name != nullptr && *name == u'\0') {
        name = nullptr;
    }

    entry.numberText.Clear();
    if (number != nullptr) {
        StripNumber(number, entry.numberText.Data(), entry.numberText.capacity);
        entry.dialNumber.Assign(entry.numberText.Data());
        FormatNumber(entry.dialNumber.Data(), entry.dialNumber.capacity);
    }
    // A number that is empty, or nothing but blanks and punctuation, counts as no number; the
    // record's own text stays as it is, as the store's identity check compares it.
    if (entry.numberText.IsEmpty()) {
        entry.dialNumber.Clear();
        if (name != nullptr) {
            entry.numberText.Assign(name);
        } else {
            entry.numberText.Assign(entry.callerIdType == CallerIdBlocked ? u"Caller ID Blocked" : u"Unknown");
        }
    }

    if (name != nullptr) {
        entry.nameText.Assign(name);
    }
    if (entry.callerIdType == CallerIdUnavailable || entry.callerIdType == CallerIdBlocked) {
        entry.nameText.Clear();
    }

    if (CityDatabase::IsLoaded()) {
        entry.cityText.Clear();
        entry.stateText.Clear();
        CityDatabase::Lookup(entry.numberText.Data(), entry.cityText.Data(), entry.cityText.capacity,
                             entry.stateText.Data(), entry.stateText.capacity);
        if (!entry.cityText.IsEmpty()) {
            entry.locationText.Format(u"%s, %s", {entry.cityText.Data(), entry.stateText.Data()});
        } else {
            entry.locationText.Clear();
        }
        FormatNumber(entry.numberText.Data(), entry.numberText.capacity);
    }

    DeriveTimeText(entry, facts);

    if (nameType != nullptr) {
        const FixedText<51> shown = entry.numberText;
        entry.numberText.Format(u"%s %s", {shown.Data(), nameType});
    }
    return 0;
}

bool CanDial(const NVXCallEntry& entry) {
    return !entry.dialNumber.IsEmpty();
}

void CopyEntry(const NVXCallEntry& source, NVXCallEntry& snapshot) {
    static_cast<CallLogRecord&>(snapshot) = static_cast<const CallLogRecord&>(source);
    snapshot.nameText = source.nameText;
    snapshot.numberText = source.numberText;
    snapshot.cityText = source.cityText;
    snapshot.stateText = source.stateText;
    snapshot.timeText = source.timeText;
    snapshot.nameFromAddressBook = source.nameFromAddressBook;
    snapshot.dialNumber.Assign(LocalText(source.number));
}

void FreeRecordStrings(NVXCallEntry& entry) {
    // Cleared after release, so that a second release of the same entry frees nothing.
    for (LocalHandle* text : {&entry.note, &entry.nameType, &entry.name, &entry.number}) {
        if (*text != 0) {
            LocalFree(*text);
            *text = 0;
        }
    }
}

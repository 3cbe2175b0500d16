#include "platform/phone/callcsv.h"

#include "platform/text/utf8.h"
#include "platform/time/filetime.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

constexpr const char* kHeader = "type,start,end,number,name,name_type,note,caller_id,flags";
constexpr uint64_t kTicksPerSecond = 10000000ULL;

const char* const kCallTypes[] = {"missed", "incoming", "outgoing"};
const char* const kCallerIds[] = {"unavailable", "blocked", "available"};

std::string NamedValue(int32_t value, const char* const (&names)[3]) {
    return value >= 0 && value < 3 ? names[value] : std::to_string(value);
}

bool ParseNamedValue(const std::string& text, const char* const (&names)[3], int32_t* value) {
    for (int32_t i = 0; i < 3; ++i) {
        if (text == names[i]) {
            *value = i;
            return true;
        }
    }
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number < INT32_MIN || number > INT32_MAX) {
        return false;
    }
    *value = static_cast<int32_t>(number);
    return true;
}

bool ParseUnsigned(const std::string& text, uint64_t max, uint64_t* value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const unsigned long long number = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number > max) {
        return false;
    }
    *value = number;
    return true;
}

std::string FormatUtc(uint64_t fileTime) {
    SystemTime fields{};
    if (FileTimeToSystemTime(MakeFileTime(fileTime), &fields) != 0 || fields.year > 9999) {
        return std::to_string(fileTime);
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02uT%02u:%02u:%02u", fields.year, fields.month, fields.day,
                  fields.hour, fields.minute, fields.second);
    std::string out = text;
    const uint64_t fraction = fileTime % kTicksPerSecond;
    if (fraction != 0) {
        std::snprintf(text, sizeof(text), ".%07llu", static_cast<unsigned long long>(fraction));
        out += text;
    }
    return out + "Z";
}

std::string QuotedText(const std::optional<std::u16string>& text) {
    if (!text.has_value()) {
        return std::string();
    }
    std::string out = "\"";
    for (char c : Utf16ToUtf8(*text)) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    return out + "\"";
}

// A field as read: its text and whether it was quoted.
struct Field {
    std::string text;
    bool quoted = false;
};

// Splits the file into records of fields. Returns false on a quote left open, with *line set.
bool SplitCsv(const std::string& text, std::vector<std::vector<Field>>* records, std::vector<int>* lines,
              int* badLine) {
    std::vector<Field> record(1);
    int line = 1;
    int recordLine = 1;
    size_t i = 0;
    bool fieldStarted = false;
    while (i < text.size()) {
        const char c = text[i];
        Field& field = record.back();
        if (c == '"' && !fieldStarted) {
            field.quoted = true;
            fieldStarted = true;
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field.text += '"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                if (text[i] == '\n') {
                    ++line;
                }
                field.text += text[i++];
            }
            if (!closed) {
                *badLine = recordLine;
                return false;
            }
            continue;
        }
        if (c == ',') {
            record.emplace_back();
            fieldStarted = false;
            ++i;
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (c == '\n') {
            records->push_back(std::move(record));
            lines->push_back(recordLine);
            record.assign(1, Field());
            fieldStarted = false;
            ++line;
            recordLine = line;
            ++i;
            continue;
        }
        if (field.quoted) {
            // Text after a closing quote: the field is malformed; keep it visible to the checks.
            field.quoted = false;
            field.text = "\"" + field.text + "\"";
        }
        field.text += c;
        fieldStarted = true;
        ++i;
    }
    if (record.size() > 1 || !record[0].text.empty() || record[0].quoted) {
        records->push_back(std::move(record));
        lines->push_back(recordLine);
    }
    return true;
}

bool ParseTimeField(const Field& field, uint64_t* fileTime) {
    if (field.quoted) {
        return false;
    }
    if (ParseUnsigned(field.text, static_cast<uint64_t>(INT64_MAX), fileTime)) {
        return true;
    }
    return field.text.size() >= 20 && field.text.back() == 'Z' && ParseCallTime(field.text, fileTime);
}

std::optional<std::u16string> TextField(const Field& field, bool* ok) {
    if (field.quoted) {
        return Utf8ToUtf16(field.text);
    }
    *ok = *ok && field.text.empty();
    return std::nullopt;
}

} // namespace

bool ParseCallTime(const std::string& text, uint64_t* fileTime) {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char separator = 0;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4u-%2u-%2u%c%2u:%2u:%2u%n", &year, &month, &day, &separator, &hour, &minute,
                    &second, &consumed) != 7 ||
        (separator != ' ' && separator != 'T') || consumed != 19) {
        return false;
    }
    std::string rest = text.substr(19);
    uint64_t fraction = 0;
    if (!rest.empty() && rest[0] == '.') {
        size_t digits = 1;
        while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9' && digits <= 7) {
            fraction = fraction * 10 + static_cast<uint64_t>(rest[digits] - '0');
            ++digits;
        }
        if (digits == 1) {
            return false;
        }
        for (size_t k = digits; k <= 7; ++k) {
            fraction *= 10;
        }
        rest = rest.substr(digits);
    }
    const bool utc = rest == "Z";
    if (!utc && !rest.empty()) {
        return false;
    }
    const SystemTime fields = CalendarFields(year, month, day, hour, minute, second);
    FileTime time{};
    if (SystemTimeToFileTime(fields, &time) != 0) {
        return false;
    }
    if (!utc) {
        int64_t seconds = 0;
        if (LocalTimeToUnixSeconds(fields, &seconds) != 0) {
            return false;
        }
        time = UnixSecondsToFileTime(seconds);
    }
    *fileTime = FileTimeValue(time) + fraction;
    return true;
}

std::string CallsToCsv(const std::vector<CallRecordData>& calls) {
    std::string out = std::string(kHeader) + "\n";
    for (const CallRecordData& call : calls) {
        out += NamedValue(call.callType, kCallTypes) + "," + FormatUtc(call.startTime) + "," + FormatUtc(call.endTime) +
               "," + QuotedText(call.number) + "," + QuotedText(call.name) + "," + QuotedText(call.nameType) + "," +
               QuotedText(call.note) + "," + NamedValue(call.callerIdType, kCallerIds) + "," +
               std::to_string(call.flags) + "\n";
    }
    return out;
}

bool CallsFromCsv(const std::string& text, std::vector<CallRecordData>* calls, std::vector<std::string>* errors) {
    std::vector<std::vector<Field>> records;
    std::vector<int> lines;
    int badLine = 0;
    calls->clear();
    if (!SplitCsv(text, &records, &lines, &badLine)) {
        errors->push_back("line " + std::to_string(badLine) + ": a quoted text is not closed");
        return false;
    }
    if (records.empty()) {
        errors->push_back("line 1: the file is empty; it needs the header " + std::string(kHeader));
        return false;
    }
    std::string header;
    for (size_t i = 0; i < records[0].size(); ++i) {
        header += (i > 0 ? "," : "") + records[0][i].text;
    }
    if (header != kHeader) {
        errors->push_back("line 1: the header must be " + std::string(kHeader));
    }
    for (size_t r = 1; r < records.size(); ++r) {
        const std::vector<Field>& f = records[r];
        const std::string where = "line " + std::to_string(lines[r]) + ": ";
        if (f.size() != 9) {
            errors->push_back(where + "expected 9 fields, found " + std::to_string(f.size()));
            continue;
        }
        CallRecordData call;
        uint64_t flags = 0;
        bool textsOk = true;
        if (f[0].quoted || !ParseNamedValue(f[0].text, kCallTypes, &call.callType)) {
            errors->push_back(where + "bad call type \"" + f[0].text + "\"");
        } else if (!ParseTimeField(f[1], &call.startTime)) {
            errors->push_back(where + "bad start time \"" + f[1].text + "\"");
        } else if (!ParseTimeField(f[2], &call.endTime)) {
            errors->push_back(where + "bad end time \"" + f[2].text + "\"");
        } else if (f[7].quoted || !ParseNamedValue(f[7].text, kCallerIds, &call.callerIdType)) {
            errors->push_back(where + "bad caller id \"" + f[7].text + "\"");
        } else if (f[8].quoted || !ParseUnsigned(f[8].text, UINT32_MAX, &flags)) {
            errors->push_back(where + "bad flags \"" + f[8].text + "\"");
        } else {
            call.flags = static_cast<uint32_t>(flags);
            call.number = TextField(f[3], &textsOk);
            call.name = TextField(f[4], &textsOk);
            call.nameType = TextField(f[5], &textsOk);
            call.note = TextField(f[6], &textsOk);
            if (!textsOk) {
                errors->push_back(where + "texts must be quoted (or left out for none)");
            } else {
                calls->push_back(std::move(call));
            }
        }
    }
    if (!errors->empty()) {
        calls->clear();
        return false;
    }
    return true;
}

#include "calllog/callexport.h"

#include "platform/files/documentsfolder.h"
#include "platform/phone/callcsv.h"
#include "platform/text/localheap.h"
#include "platform/text/utf8.h"
#include "platform/time/clock.h"

#include <cstdio>

namespace {

std::optional<std::u16string> TextOf(LocalHandle handle) {
    const char16_t* text = LocalText(handle);
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::u16string(text);
}

} // namespace

CallRecordData RecordDataOf(const NVXCallEntry& entry) {
    CallRecordData call;
    call.startTime = FileTimeValue(entry.startTime);
    call.endTime = FileTimeValue(entry.endTime);
    call.callType = entry.callType;
    call.flags = entry.flags;
    call.callerIdType = entry.callerIdType;
    call.number = TextOf(entry.number);
    call.name = TextOf(entry.name);
    call.nameType = TextOf(entry.nameType);
    call.note = TextOf(entry.note);
    return call;
}

std::string ExportFileStem(const SystemTime& date) {
    char text[32];
    std::snprintf(text, sizeof(text), "ringlog-calls-%04u-%02u-%02u", static_cast<unsigned>(date.year),
                  static_cast<unsigned>(date.month), static_cast<unsigned>(date.day));
    return text;
}

int ExportCallsTo(const std::string& folder, const std::vector<const NVXCallEntry*>& rows, std::u16string* writtenPath,
                  ExportError* why) {
    std::vector<CallRecordData> calls;
    calls.reserve(rows.size());
    for (const NVXCallEntry* row : rows) {
        if (row != nullptr) {
            calls.push_back(RecordDataOf(*row));
        }
    }
    SystemTime today{};
    GetLocalTime(&today);
    std::string path;
    const int result = WriteExportFile(folder, ExportFileStem(today), ".csv", CallsToCsv(calls), &path, why);
    *writtenPath = Utf8ToUtf16(path);
    return result;
}

int ExportCalls(const std::vector<const NVXCallEntry*>& rows, std::u16string* writtenPath, ExportError* why) {
    std::string folder;
    if (DocumentsFolder(&folder) != 0) {
        writtenPath->clear();
        *why = ExportError::NoDocumentsFolder;
        return -1;
    }
    return ExportCallsTo(folder, rows, writtenPath, why);
}

#pragma once

#include "calllog/nvxcallentry.h"
#include "platform/files/exportfile.h"
#include "platform/phone/callstore.h"

#include <string>
#include <vector>

// Export Calls: the calls the list shows, as the CSV ringlog-tool's export writes, saved in the
// user's documents folder as ringlog-calls-YYYY-MM-DD.csv (the local date; -2, -3 ... before the
// extension when the name is taken), never over another file and never in part.

// The call as the CSV writes it: the record's fields and texts as the entry holds them (the number
// stripped at load, a name from the address book included). An absent text stays absent.
CallRecordData RecordDataOf(const NVXCallEntry& entry);

// "ringlog-calls-2026-12-09" for the date's year, month and day.
std::string ExportFileStem(const SystemTime& date);

// Writes rows, in their order, into the documents folder. 0 and the written file's full path; -1
// with the reason in *why and the folder it meant to write in (empty when there is none) in
// *writtenPath.
int ExportCalls(const std::vector<const NVXCallEntry*>& rows, std::u16string* writtenPath, ExportError* why);

// The same into the given folder.
int ExportCallsTo(const std::string& folder, const std::vector<const NVXCallEntry*>& rows, std::u16string* writtenPath,
                  ExportError* why);

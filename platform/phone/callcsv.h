#pragma once

#include "platform/phone/callstore.h"

#include <string>
#include <vector>

// The call log as CSV, written by ringlog-tool's export and the program's Export Calls alike, and
// read by the tool's import (RFC 4180, UTF-8, CRLF not required), one call a line after the header
//   type,start,end,number,name,name_type,note,caller_id,flags
// type: missed, incoming, outgoing or another number; caller_id: unavailable, blocked, available
// or another number; start and end: UTC ISO 8601 ("2026-12-09T15:04:05Z", with up to seven
// fraction digits when the time has them), or a raw file-time count for times that have no
// calendar form; texts: quoted when present (so "" is an empty text), nothing when absent;
// flags: a decimal number.

std::string CallsToCsv(const std::vector<CallRecordData>& calls);

// Parses a whole file. On any error nothing is returned but the errors, each "line N: what".
bool CallsFromCsv(const std::string& text, std::vector<CallRecordData>* calls, std::vector<std::string>* errors);

// "YYYY-MM-DD HH:MM:SS" (or with "T"), local under TZ unless it ends in "Z". false when malformed.
bool ParseCallTime(const std::string& text, uint64_t* fileTime);

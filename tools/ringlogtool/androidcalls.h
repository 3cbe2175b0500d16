#pragma once

#include "platform/phone/callstore.h"

#include <string>
#include <vector>

// The call log that Android backup apps export as XML:
//   <calls count="N"><call number="..." duration="SECONDS" date="MS SINCE 1970 UTC" type="T"
//                          presentation="P" contact_name="..." .../> ...</calls>
// type: 1 incoming, 2 outgoing, 3 missed, 5 rejected and 6 blocked (both missed); presentation 2
// or 3: the caller withheld the number. Other attributes are ignored.

// Whether a file's text is XML rather than CSV: its first character, after a byte-order mark and
// blanks, is "<".
bool LooksLikeXml(const std::string& text);

// Parses a whole file into calls, oldest first. On any error nothing is returned but the errors,
// each "line N: what".
bool CallsFromAndroidXml(const std::string& text, std::vector<CallRecordData>* calls, std::vector<std::string>* errors);

#pragma once

#include <string>

// UTF-8 on the command line and in files, UTF-16 in the store. Malformed input and lone
// surrogates become U+FFFD; nothing is dropped silently.
std::u16string Utf8ToUtf16(const std::string& text);
// Decodes bytes of UTF-8 into out, which has room for bytes units (never more are needed); returns
// the units written.
size_t Utf8ToUtf16(const char* text, size_t bytes, char16_t* out);
std::string Utf16ToUtf8(const std::u16string& text);

// A terminated text; null counts as empty.
std::string Utf16ToUtf8(const char16_t* text);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Operations on zero-terminated UTF-16 texts held in buffers of a fixed capacity. The capacity
// counts characters with the terminator. Every write cuts the text to fit and terminates it, so
// no write can run past a buffer; a capacity of 0 writes nothing.

// One argument of TextFormat: a number for %d, a text for %s.
struct TextArg {
    TextArg(int value) : isText(false), number(value) {}
    TextArg(long long value) : isText(false), number(value) {}
    TextArg(const char16_t* value) : isText(true), text(value) {}

    bool isText;
    long long number = 0;
    const char16_t* text = nullptr;
};

// Length in characters up to the terminator; 0 for a null text.
size_t TextLength(const char16_t* text);

// Length, but never looks further than maxLength characters.
size_t TextLengthBounded(const char16_t* text, size_t maxLength);

// Copies src (null counts as empty) into dest; returns the length written.
size_t TextCopy(char16_t* dest, size_t capacity, const char16_t* src);

// Copies at most count characters of src.
size_t TextCopyN(char16_t* dest, size_t capacity, const char16_t* src, size_t count);

// Appends src to the text already in dest; returns the new length.
size_t TextAppend(char16_t* dest, size_t capacity, const char16_t* src);

// Writes format into dest with its arguments: %s takes a text, %d a number, with an optional
// zero flag and width as in printf ("%02d"); %% writes a percent sign. A directive without a
// matching argument writes nothing. Returns the length written.
size_t TextFormat(char16_t* dest, size_t capacity, const char16_t* format, std::initializer_list<TextArg> args);

// Exact, case-sensitive comparison; null counts as empty.
bool TextEquals(const char16_t* a, const char16_t* b);

// A fixed-capacity text buffer of N characters with the terminator. Plain data: copying it
// copies the characters, and it can sit inside a record.
template <size_t N> struct FixedText {
    static_assert(N >= 1, "a text buffer needs room for its terminator");
    static constexpr size_t capacity = N;

    char16_t chars[N] = {};

    const char16_t* Data() const { return chars; }
    char16_t* Data() { return chars; }
    size_t Length() const { return TextLengthBounded(chars, N - 1); }
    bool IsEmpty() const { return chars[0] == u'\0'; }
    void Clear() { chars[0] = u'\0'; }

    FixedText& Assign(const char16_t* text) {
        TextCopy(chars, N, text);
        return *this;
    }
    FixedText& Append(const char16_t* text) {
        TextAppend(chars, N, text);
        return *this;
    }
    FixedText& Format(const char16_t* format, std::initializer_list<TextArg> args) {
        TextFormat(chars, N, format, args);
        return *this;
    }
    bool Equals(const char16_t* text) const { return TextEquals(chars, text); }
};

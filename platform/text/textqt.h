#pragma once

#include "platform/text/textops.h"

#include <QString>

// Conversions between our UTF-16 texts and QString, for the window layer only.
inline QString ToQString(const char16_t* text) {
    return QString::fromUtf16(text != nullptr ? text : u"", static_cast<qsizetype>(TextLength(text)));
}

template <size_t N> QString ToQString(const FixedText<N>& text) {
    return QString::fromUtf16(text.Data(), static_cast<qsizetype>(text.Length()));
}

// Cuts the QString to fit and terminates it.
template <size_t N> void FromQString(FixedText<N>& dest, const QString& text) {
    TextCopyN(dest.Data(), N, reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

inline size_t FromQString(char16_t* dest, size_t capacity, const QString& text) {
    return TextCopyN(dest, capacity, reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

#pragma once

#include <cstddef>
#include <cstdint>

// The platform's file service: open, size, read and close one file, named by its program path
// (see programfiles.h). Every call reports failure by its result and never throws.

using FileHandle = int;
constexpr FileHandle kInvalidFile = -1;

// Opens the file for reading; kInvalidFile when it is missing or cannot be opened.
FileHandle OpenFileForRead(const char16_t* programPath);

// 0 and the size in bytes, or -1.
int GetFileSize(FileHandle file, uint64_t& size);

// Reads exactly size bytes from the current position into buffer: 0, or -1 on an error or a short file.
int ReadFileBytes(FileHandle file, void* buffer, size_t size);

void CloseFile(FileHandle file);

#pragma once

#include <cstdint>
#include <string>

// Writing a new file for the user to keep (an export), whole or not at all, never over another.

// Why an export was not written, for the words of the message that says so.
enum class ExportError : int32_t {
    None = 0,
    // $HOME names no folder to find the documents folder from.
    NoDocumentsFolder,
    // The folder is missing and could not be made, or a file stands where it should be.
    FolderNotCreatable,
    // The folder may not be written by this user.
    NoPermission,
    // The folder is on a file system mounted read-only.
    ReadOnly,
    // No space left on the device, or the user's quota is used up.
    DiskFull,
    // Every name up to the last suffix is taken.
    NoFreeName,
    // Any other failure of the file system.
    WriteFailed,
};

// The last suffix tried: stem-9999.extension.
constexpr int kMaxExportSuffix = 9999;

// Writes bytes as a new file in folder (made, with its parents, when missing), named
// stem + extension, or stem-2 + extension, stem-3 ... the first name that is free. The bytes go to
// a temporary file beside it first, are flushed to the disk, and only then get the final name by a
// link that never replaces a file; the temporary name is then removed. So a failure leaves no file
// and no partial one. 0 and the written file's full path in *writtenPath; -1 with the reason in *why
// and the folder in *writtenPath.
int WriteExportFile(const std::string& folder, const std::string& stem, const std::string& extension,
                    const std::string& bytes, std::string* writtenPath, ExportError* why);

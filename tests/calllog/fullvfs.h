#pragma once

#include <sqlite3.h>

#include <atomic>

// An SQLite VFS over the default one whose writes start failing with SQLITE_FULL after a given
// number, as a disk does when it fills up, or whose database files open read-only, as files the
// user may not write do. Installed as the default VFS, so every connection the program opens goes
// through it.
class FullDiskVfs {
public:
    FullDiskVfs();
    ~FullDiskVfs();
    FullDiskVfs(const FullDiskVfs&) = delete;
    FullDiskVfs& operator=(const FullDiskVfs&) = delete;

    // Writes after the next `writes` fail; a negative count lets every write through.
    void FailAfter(int writes);
    int FailedWrites() const;
    // Database files opened from now on are opened for reading only.
    void ReadOnlyFiles(bool readOnly);

private:
    sqlite3_vfs vfs{};
};

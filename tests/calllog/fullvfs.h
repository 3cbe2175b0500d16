#pragma once

#include <sqlite3.h>

#include <atomic>

// An SQLite VFS over the default one whose writes start failing with SQLITE_FULL after a given
// number, as a disk does when it fills up. Installed as the default VFS, so every connection the
// program opens goes through it.
class FullDiskVfs {
public:
    FullDiskVfs();
    ~FullDiskVfs();
    FullDiskVfs(const FullDiskVfs&) = delete;
    FullDiskVfs& operator=(const FullDiskVfs&) = delete;

    // Writes after the next `writes` fail; a negative count lets every write through.
    void FailAfter(int writes);
    int FailedWrites() const;

private:
    sqlite3_vfs vfs{};
};

#include "tests/calllog/fullvfs.h"

#include <cstring>

namespace {

// The file object: the real file's object follows ours in the same allocation.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_vfs* realVfs = nullptr;
std::atomic<int> writesLeft{-1};
std::atomic<int> failed{0};
std::atomic<bool> readOnlyFiles{false};
sqlite3_io_methods shimMethods{};

sqlite3_file* Real(sqlite3_file* file) {
    return reinterpret_cast<ShimFile*>(file)->real;
}

int ShimClose(sqlite3_file* file) {
    return Real(file)->pMethods->xClose(Real(file));
}
int ShimRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    return Real(file)->pMethods->xRead(Real(file), buffer, amount, offset);
}
int ShimWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    int left = writesLeft.load();
    while (left >= 0) {
        if (left == 0) {
            ++failed;
            return SQLITE_FULL;
        }
        if (writesLeft.compare_exchange_weak(left, left - 1)) {
            break;
        }
    }
    return Real(file)->pMethods->xWrite(Real(file), buffer, amount, offset);
}
int ShimTruncate(sqlite3_file* file, sqlite3_int64 size) {
    return Real(file)->pMethods->xTruncate(Real(file), size);
}
int ShimSync(sqlite3_file* file, int flags) {
    return Real(file)->pMethods->xSync(Real(file), flags);
}
int ShimFileSize(sqlite3_file* file, sqlite3_int64* size) {
    return Real(file)->pMethods->xFileSize(Real(file), size);
}
int ShimLock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xLock(Real(file), level);
}
int ShimUnlock(sqlite3_file* file, int level) {
    return Real(file)->pMethods->xUnlock(Real(file), level);
}
int ShimCheckReservedLock(sqlite3_file* file, int* out) {
    return Real(file)->pMethods->xCheckReservedLock(Real(file), out);
}
int ShimFileControl(sqlite3_file* file, int op, void* arg) {
    return Real(file)->pMethods->xFileControl(Real(file), op, arg);
}
int ShimSectorSize(sqlite3_file* file) {
    return Real(file)->pMethods->xSectorSize(Real(file));
}
int ShimDeviceCharacteristics(sqlite3_file* file) {
    return Real(file)->pMethods->xDeviceCharacteristics(Real(file));
}
int ShimShmMap(sqlite3_file* file, int page, int size, int extend, void volatile** out) {
    return Real(file)->pMethods->xShmMap(Real(file), page, size, extend, out);
}
int ShimShmLock(sqlite3_file* file, int offset, int n, int flags) {
    return Real(file)->pMethods->xShmLock(Real(file), offset, n, flags);
}
void ShimShmBarrier(sqlite3_file* file) {
    Real(file)->pMethods->xShmBarrier(Real(file));
}
int ShimShmUnmap(sqlite3_file* file, int deleteFlag) {
    return Real(file)->pMethods->xShmUnmap(Real(file), deleteFlag);
}

int ShimOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
    auto* shim = reinterpret_cast<ShimFile*>(file);
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    // What the default VFS itself does with a file it may not write: it opens it for reading.
    if (readOnlyFiles.load() && (flags & SQLITE_OPEN_MAIN_DB) != 0) {
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    }
    const int rc = realVfs->xOpen(realVfs, name, shim->real, flags, outFlags);
    // SQLite calls xClose only when the open set the methods.
    shim->base.pMethods = shim->real->pMethods != nullptr ? &shimMethods : nullptr;
    return rc;
}

int ShimDelete(sqlite3_vfs*, const char* name, int syncDir) {
    return realVfs->xDelete(realVfs, name, syncDir);
}
int ShimAccess(sqlite3_vfs*, const char* name, int flags, int* out) {
    return realVfs->xAccess(realVfs, name, flags, out);
}
int ShimFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return realVfs->xFullPathname(realVfs, name, size, out);
}
int ShimRandomness(sqlite3_vfs*, int size, char* out) {
    return realVfs->xRandomness(realVfs, size, out);
}
int ShimSleep(sqlite3_vfs*, int microseconds) {
    return realVfs->xSleep(realVfs, microseconds);
}
int ShimCurrentTime(sqlite3_vfs*, double* out) {
    return realVfs->xCurrentTime(realVfs, out);
}
int ShimGetLastError(sqlite3_vfs*, int size, char* out) {
    return realVfs->xGetLastError(realVfs, size, out);
}

} // namespace

FullDiskVfs::FullDiskVfs() {
    realVfs = sqlite3_vfs_find(nullptr);
    shimMethods.iVersion = 2;
    shimMethods.xClose = ShimClose;
    shimMethods.xRead = ShimRead;
    shimMethods.xWrite = ShimWrite;
    shimMethods.xTruncate = ShimTruncate;
    shimMethods.xSync = ShimSync;
    shimMethods.xFileSize = ShimFileSize;
    shimMethods.xLock = ShimLock;
    shimMethods.xUnlock = ShimUnlock;
    shimMethods.xCheckReservedLock = ShimCheckReservedLock;
    shimMethods.xFileControl = ShimFileControl;
    shimMethods.xSectorSize = ShimSectorSize;
    shimMethods.xDeviceCharacteristics = ShimDeviceCharacteristics;
    shimMethods.xShmMap = ShimShmMap;
    shimMethods.xShmLock = ShimShmLock;
    shimMethods.xShmBarrier = ShimShmBarrier;
    shimMethods.xShmUnmap = ShimShmUnmap;

    vfs.iVersion = 1;
    vfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + realVfs->szOsFile;
    vfs.mxPathname = realVfs->mxPathname;
    vfs.zName = "ringlog-full-disk";
    vfs.xOpen = ShimOpen;
    vfs.xDelete = ShimDelete;
    vfs.xAccess = ShimAccess;
    vfs.xFullPathname = ShimFullPathname;
    vfs.xRandomness = ShimRandomness;
    vfs.xSleep = ShimSleep;
    vfs.xCurrentTime = ShimCurrentTime;
    vfs.xGetLastError = ShimGetLastError;
    writesLeft = -1;
    failed = 0;
    sqlite3_vfs_register(&vfs, 1);
}

FullDiskVfs::~FullDiskVfs() {
    sqlite3_vfs_unregister(&vfs);
    writesLeft = -1;
    readOnlyFiles = false;
}

void FullDiskVfs::FailAfter(int writes) {
    writesLeft = writes;
}

int FullDiskVfs::FailedWrites() const {
    return failed.load();
}

void FullDiskVfs::ReadOnlyFiles(bool readOnly) {
    readOnlyFiles = readOnly;
}

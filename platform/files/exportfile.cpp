#include "platform/files/exportfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

// The reason an errno of a write into the folder gives the user.
ExportError ErrorOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return ExportError::NoPermission;
    case EROFS:
        return ExportError::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return ExportError::DiskFull;
    default:
        return ExportError::WriteFailed;
    }
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes the folder and any missing parent. 0 when it is a folder afterwards.
int MakeFolders(const std::string& folder) {
    if (IsFolder(folder)) {
        return 0;
    }
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return -1;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    return IsFolder(folder) ? 0 : -1;
}

int WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;
            }
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Creates a temporary file in the folder, under a name no export takes, and writes the bytes to the
// disk. 0 and its path, or -1 with errno set and nothing left behind.
int WriteTemporary(const std::string& folder, const std::string& bytes, std::string* path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            folder + "/.ringlog-export-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            return -1;
        }
        // close() is checked as well: some file systems report a failed write only there.
        if (WriteAll(fd, bytes) != 0 || fsync(fd) != 0) {
            const int error = errno;
            close(fd);
            unlink(name.c_str());
            errno = error;
            return -1;
        }
        if (close(fd) != 0) {
            const int error = errno;
            unlink(name.c_str());
            errno = error;
            return -1;
        }
        *path = name;
        return 0;
    }
    errno = EEXIST;
    return -1;
}

// Gives the temporary file the final name unless that name is taken (EEXIST). File systems
// without hard links (an SD card's FAT) refuse link(); a rename that never replaces does the same.
int LinkNoReplace(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return -1;
    }
    const int linkError = errno;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        errno = linkError;
    }
    return -1;
}

// The new directory entry reaches the disk too: a crash right after the export keeps the file.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

std::string NameWithSuffix(const std::string& stem, int suffix, const std::string& extension) {
    return suffix == 1 ? stem + extension : stem + "-" + std::to_string(suffix) + extension;
}

} // namespace

int WriteExportFile(const std::string& folderAsGiven, const std::string& stem, const std::string& extension,
                    const std::string& bytes, std::string* writtenPath, ExportError* why) {
    std::string folder = folderAsGiven;
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    *writtenPath = folder;
    *why = ExportError::None;
    if (folder.empty() || folder[0] != '/') {
        *why = ExportError::NoDocumentsFolder;
        return -1;
    }
    if (MakeFolders(folder) != 0) {
        *why = ExportError::FolderNotCreatable;
        return -1;
    }
    std::string temporary;
    if (WriteTemporary(folder, bytes, &temporary) != 0) {
        *why = ErrorOf(errno);
        return -1;
    }
    const std::string base = folder == "/" ? std::string() : folder;
    int result = -1;
    *why = ExportError::NoFreeName;
    for (int suffix = 1; suffix <= kMaxExportSuffix; ++suffix) {
        const std::string path = base + "/" + NameWithSuffix(stem, suffix, extension);
        if (LinkNoReplace(temporary, path) == 0) {
            *writtenPath = path;
            *why = ExportError::None;
            result = 0;
            break;
        }
        if (errno != EEXIST) {
            *why = ErrorOf(errno);
            break;
        }
    }
    // After a rename the temporary name is gone already; after a link it is a second name to drop.
    unlink(temporary.c_str());
    if (result == 0) {
        SyncFolder(folder);
    }
    return result;
}

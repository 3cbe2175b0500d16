#include "platform/files/fileservice.h"

#include "platform/files/programfiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

FileHandle OpenFileForRead(const char16_t* programPath) {
    const std::string path = MapProgramPath(programPath);
    if (path.empty()) {
        return kInvalidFile;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return kInvalidFile;
    }
    // A folder opens too, but it is not a file that can be read.
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return kInvalidFile;
    }
    return fd;
}

int GetFileSize(FileHandle file, uint64_t& size) {
    struct stat info {};
    if (file < 0 || fstat(file, &info) != 0 || info.st_size < 0) {
        return -1;
    }
    size = static_cast<uint64_t>(info.st_size);
    return 0;
}

int ReadFileBytes(FileHandle file, void* buffer, size_t size) {
    if (file < 0 || (buffer == nullptr && size > 0)) {
        return -1;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(file, out + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

void CloseFile(FileHandle file) {
    if (file >= 0) {
        close(file);
    }
}

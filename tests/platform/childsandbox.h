#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

// Runs a test body in a child process with the file-system rights a real user may meet: as a
// user without rights to other users' files (even when the tests run as root), or with mounts of
// its own (a small tmpfs to fill, a read-only one). No privilege is needed: the child enters a user
// namespace of its own. The body returns the child's exit code (0 to 99).
namespace sandbox {

enum class Kind {
    // An unmapped user: files of the user running the tests are "other" files to it.
    Nobody,
    // A user namespace mapping the tests' user to root, with a mount namespace of its own.
    OwnMounts,
};

// The child's exit code when the kernel gives no user namespace: the caller skips.
constexpr int kUnavailable = 77;

inline bool WriteSmallFile(const char* path, const std::string& text) {
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

inline bool EnterOwnMounts() {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return false;
    }
    WriteSmallFile("/proc/self/setgroups", "deny");
    if (!WriteSmallFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
        !WriteSmallFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
        return false;
    }
    return mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// The body's exit code, or kUnavailable.
inline int RunInChild(Kind kind, const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        const bool entered = kind == Kind::Nobody ? unshare(CLONE_NEWUSER) == 0 : EnterOwnMounts();
        _exit(entered ? body() : kUnavailable);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Mounts a tmpfs of the given size on folder, read-only when asked. In an OwnMounts child only.
inline bool MountTmpfs(const std::string& folder, const char* size, bool readOnly) {
    const std::string options = std::string("size=") + size + ",mode=0755";
    if (mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        return false;
    }
    return !readOnly || mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

} // namespace sandbox

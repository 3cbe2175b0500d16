#pragma once

// A child process that travels: it has a mount namespace of its own and no TZ, so that the zone
// files it mounts over /etc/localtime are the system's zone for it alone, while the machine's own
// /etc/localtime is never touched. The test's process forks it after its own set-up and reads back
// what it saw.
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace zonetest {

// Makes /usr/share/zoneinfo/<zone> this process's system zone file; the last one mounted counts.
// Only for the child below.
inline bool UseZoneFile(const std::string& zone) {
    const std::string file = "/usr/share/zoneinfo/" + zone;
    return mount(file.c_str(), "/etc/localtime", nullptr, MS_BIND, nullptr) == 0;
}

// What the child wrote back, or why it could not run (skipped is then not empty).
struct ChildRun {
    std::string output;
    std::string skipped;
    bool exitedCleanly = false;
};

// Runs body in a forked child with its own mount namespace and TZ unset, and returns what body
// returned. A machine that grants no mount namespace, or has no /etc/localtime to mount over,
// gives a reason to skip instead.
inline ChildRun InChildWithOwnZoneFile(const std::function<std::string()>& body) {
    constexpr int kSkip = 77;
    ChildRun run;
    int channel[2];
    if (pipe(channel) != 0) {
        run.skipped = std::string("no pipe: ") + std::strerror(errno);
        return run;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        close(channel[0]);
        close(channel[1]);
        run.skipped = std::string("no fork: ") + std::strerror(errno);
        return run;
    }
    if (pid == 0) {
        close(channel[0]);
        std::string out;
        int code = 0;
        // Private from the root down, so that no mount here propagates back to the machine's.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            out = std::string("no mount namespace of its own: ") + std::strerror(errno);
            code = kSkip;
        } else if (access("/etc/localtime", F_OK) != 0) {
            out = "no /etc/localtime to mount a zone over";
            code = kSkip;
        } else {
            unsetenv("TZ");
            out = body();
        }
        (void)!write(channel[1], out.data(), out.size());
        close(channel[1]);
        _exit(code);
    }
    close(channel[1]);
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) {
        run.output.append(buffer, static_cast<size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSkip) {
        run.skipped = run.output;
        run.output.clear();
    }
    run.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

} // namespace zonetest

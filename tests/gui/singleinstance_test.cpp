// The single-instance channel against other users and killed programs: its folder, its lock and
// its socket, with real processes.
#include "tests/support/guitest.h"

#include "platform/ui/singleinstance.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstring>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uid_t kNobody = 65534;

class InstanceChannel : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ringlog-channel-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        runtime = pattern;
        // Shared like /tmp: every user may make a folder here.
        chmod(runtime.c_str(), 01777);
        setenv("RINGLOG_RUNTIME_DIR", runtime.c_str(), 1);
        own = runtime + "/ringlog-" + std::to_string(getuid());
    }
    void TearDown() override {
        unsetenv("RINGLOG_RUNTIME_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(runtime, ignored);
    }

    std::vector<std::string> Files(const std::string& folder) const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    std::string SocketPath() const {
        for (const std::string& name : Files(own)) {
            if (name.size() > 5 && name.substr(name.size() - 5) == ".sock") {
                return own + "/" + name;
            }
        }
        return {};
    }

    std::string runtime;
    std::string own;
};

// Waits for a child; its exit code, or 200 + the signal.
int Reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
}

TEST_F(InstanceChannel, LockAndSocketLiveInAFolderOnlyTheUserCanRead) {
    SingleInstance first;
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    struct stat info {};
    ASSERT_EQ(lstat(own.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, getuid());
    EXPECT_EQ(Files(own).size(), 2u) << "a lock and a socket";
    EXPECT_FALSE(SocketPath().empty());
    // Nothing of ours lies open in the shared folder.
    EXPECT_EQ(Files(runtime), std::vector<std::string>{"ringlog-" + std::to_string(getuid())});
}

TEST_F(InstanceChannel, AFolderLeftWideOpenIsNarrowed) {
    ASSERT_EQ(mkdir(own.c_str(), 0777), 0);
    chmod(own.c_str(), 0777);
    SingleInstance first;
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    struct stat info {};
    ASSERT_EQ(stat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(InstanceChannel, AFolderPlantedByAnotherUserOrALinkIsNotUsed) {
    // A symbolic link to a folder elsewhere: nothing is made through it.
    const std::string elsewhere = runtime + "/elsewhere";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), own.c_str()), 0);
    {
        SingleInstance first;
        EXPECT_EQ(first.Claim("key", 2, 10), SingleInstance::First);
        SingleInstance second;
        EXPECT_EQ(second.Claim("key", 2, 10), SingleInstance::First) << "no channel, so no check";
    }
    EXPECT_TRUE(Files(elsewhere).empty());
    std::filesystem::remove(own);

    if (getuid() != 0) {
        GTEST_SKIP() << "a folder of another user can be planted only by root";
    }
    ASSERT_EQ(mkdir(own.c_str(), 0777), 0);
    ASSERT_EQ(chown(own.c_str(), kNobody, kNobody), 0);
    SingleInstance first;
    EXPECT_EQ(first.Claim("key", 2, 10), SingleInstance::First);
    EXPECT_TRUE(Files(own).empty());
}

TEST_F(InstanceChannel, AnotherUsersProgramCannotReachOurs) {
    if (getuid() != 0) {
        GTEST_SKIP() << "a second user needs root to become";
    }
    SingleInstance first;
    bool raised = false;
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    first.SetRaiseHandler([&raised](const std::string&) { raised = true; });
    const std::string socketPath = SocketPath();
    ASSERT_FALSE(socketPath.empty());

    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(kNobody) != 0 || setuid(kNobody) != 0) {
            _exit(10);
        }
        // Straight at our socket: the folder keeps it out.
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool reached = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
        close(fd);
        // Its own start of the same program and store runs beside ours.
        SingleInstance theirs;
        const bool runs = theirs.Claim("key", 2, 10) == SingleInstance::First;
        _exit((reached ? 1 : 0) + (runs ? 0 : 2));
    }
    EXPECT_EQ(Reap(pid), 0) << "1: it reached our socket, 2: it was stopped by ours";
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_FALSE(raised);
}

TEST_F(InstanceChannel, ProgramKilledWithSigkillDoesNotStopTheNextStart) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        SingleInstance killed;
        const char answer = killed.Claim("key") == SingleInstance::First ? 'y' : 'n';
        (void)!write(ready[1], &answer, 1);
        pause();
        _exit(0);
    }
    close(ready[1]);
    char answer = 0;
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    close(ready[0]);
    ASSERT_EQ(answer, 'y');
    const std::string staleSocket = SocketPath();
    ASSERT_FALSE(staleSocket.empty());
    kill(pid, SIGKILL);
    EXPECT_EQ(Reap(pid), 200 + SIGKILL);
    // Its lock file and socket are still there.
    EXPECT_EQ(Files(own).size(), 2u);

    // The next start runs at its first attempt, and answers the start after it.
    SingleInstance next;
    EXPECT_EQ(next.Claim("key", 1, 10), SingleInstance::First);
    bool raised = false;
    next.SetRaiseHandler([&raised](const std::string&) { raised = true; });
    SingleInstance later;
    EXPECT_EQ(later.Claim("key", 3, 10), SingleInstance::AnotherRunning);
    guitest::ProcessUntil(raised, 2000);
    EXPECT_TRUE(raised);
}

// A later start's request as written straight to the running program's socket; the socket is
// left open for holdMs after the write, as a stalled writer would.
void WriteRequest(const std::string& socketPath, const std::string& request, int holdMs = 0) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(send(fd, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
    if (holdMs > 0) {
        QElapsedTimer held;
        held.start();
        // The running program reads on this thread: let it, while the writer stalls.
        while (held.elapsed() < holdMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    close(fd);
}

// The window system's token a later start hands over reaches the running program as it was sent;
// anything that is not a token arrives as none, and the program still comes to the front.
TEST_F(InstanceChannel, LaterStartHandsItsTokenToTheRunningProgram) {
    SingleInstance first;
    int firstAsked = 0;
    first.SetTokenSource([&firstAsked] {
        ++firstAsked;
        return std::string("unused");
    });
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    std::vector<std::string> tokens;
    first.SetRaiseHandler([&tokens](const std::string& token) { tokens.push_back(token); });
    EXPECT_EQ(firstAsked, 0) << "a start that runs asks for no token";

    const std::string longest(255, 'k');
    const std::vector<std::pair<std::string, std::string>> sent = {
        {"phoc_token-0123:abcd", "phoc_token-0123:abcd"},
        {longest, longest},
        {"", ""},
        {longest + "k", ""},
        {"two words", ""},
        {"line\nbreak", ""},
        {"tab\tin", ""},
        {"caf\xc3\xa9", ""},
    };
    for (const auto& [token, expected] : sent) {
        SingleInstance later;
        later.SetTokenSource([token = token] { return token; });
        ASSERT_EQ(later.Claim("key", 3, 10), SingleInstance::AnotherRunning);
        const size_t before = tokens.size();
        bool arrived = false;
        for (int i = 0; i < 100 && !arrived; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            arrived = tokens.size() > before;
        }
        ASSERT_TRUE(arrived) << token;
        EXPECT_EQ(tokens.back(), expected) << token;
    }
}

TEST_F(InstanceChannel, RequestsNotAsALaterStartWritesThemRaiseWithoutAToken) {
    SingleInstance first;
    ASSERT_EQ(first.Claim("key"), SingleInstance::First);
    std::vector<std::string> tokens;
    first.SetRaiseHandler([&tokens](const std::string& token) { tokens.push_back(token); });
    const std::string socketPath = SocketPath();
    ASSERT_FALSE(socketPath.empty());

    const std::vector<std::string> requests = {
        "raise\n", "raise abc", "raise  abc\n", "lower abc\n", "raise abc\nraise def\n", std::string(4096, 'r')};
    for (const std::string& request : requests) {
        WriteRequest(socketPath, request);
    }
    // A writer that stops halfway holds the program no longer than a moment, and then a request
    // behind it is read whole.
    QElapsedTimer stalled;
    stalled.start();
    WriteRequest(socketPath, "raise half", 1000);
    EXPECT_LT(stalled.elapsed(), 2000);
    WriteRequest(socketPath, "raise whole\n");
    for (int i = 0; i < 100 && tokens.size() < requests.size() + 2; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const std::vector<std::string> expected = {"", "", "", "", "", "", "", "whole"};
    EXPECT_EQ(tokens, expected);
}

} // namespace

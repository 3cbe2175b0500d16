#include "platform/ui/singleinstance.h"

#include <QCryptographicHash>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(instanceLog, "ringlog.platform.instance")

namespace {

// The request is "raise", then a space and the token when there is one, then a newline.
constexpr char kRaiseRequest[] = "raise";
constexpr size_t kMaxTokenLength = 255;
constexpr size_t kMaxRequestLength = sizeof(kRaiseRequest) + kMaxTokenLength + 1;
// How long the running program waits for a request's text once the later start has connected.
constexpr int kRequestWaitMs = 200;

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// The user's own folder for the lock and the socket, <runtime>/ringlog-<uid>, readable by the user
// alone, so that no other user's program can take our lock or talk to our socket. Empty when it
// cannot be made so: a folder of another user, a symbolic link, or modes that cannot be narrowed.
std::string PrivateFolder(const std::string& runtime) {
    const std::string folder = runtime + "/ringlog-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        qCInfo(instanceLog, "cannot make %s: %s", folder.c_str(), std::strerror(errno));
        return {};
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        qCInfo(instanceLog, "%s is not a folder of this user", folder.c_str());
        return {};
    }
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        qCInfo(instanceLog, "cannot keep others out of %s: %s", folder.c_str(), std::strerror(errno));
        return {};
    }
    return folder;
}

// One attempt to reach the running program: connect, send the request, close.
bool AskToRaise(const std::string& socketPath, const std::string& token) {
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) {
        return false;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    std::string request = kRaiseRequest;
    if (SingleInstance::WellFormedToken(token)) {
        request += " " + token;
    }
    request += "\n";
    bool sent = false;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        sent = send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    }
    close(fd);
    return sent;
}

// The request a later start wrote, up to its end or kMaxRequestLength bytes; whatever came within
// kRequestWaitMs, as a stalled writer must not hold the user interface.
std::string ReadRequest(int client) {
    timeval wait{0, kRequestWaitMs * 1000};
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    std::string request;
    char buffer[kMaxRequestLength];
    while (request.size() < kMaxRequestLength) {
        const ssize_t got = recv(client, buffer, kMaxRequestLength - request.size(), 0);
        if (got <= 0) {
            break;
        }
        request.append(buffer, static_cast<size_t>(got));
        if (request.back() == '\n') {
            break;
        }
    }
    return request;
}

} // namespace

SingleInstance::SingleInstance() = default;

SingleInstance::~SingleInstance() {
    delete notifier;
    if (serverFd >= 0) {
        close(serverFd);
    }
    if (lockFd >= 0) {
        close(lockFd);
    }
}

std::string SingleInstance::RuntimeDirectory() {
    for (const char* name : {"RINGLOG_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') {
            return value;
        }
    }
    return "/tmp";
}

SingleInstance::Result SingleInstance::Claim(const std::string& key, int attempts, int pauseMs) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(key), QCryptographicHash::Sha1).toHex().left(16);
    const std::string folder = PrivateFolder(RuntimeDirectory());
    if (folder.empty()) {
        // Without a folder of our own nothing can be checked safely; the program runs.
        return First;
    }
    const std::string base = folder + "/" + hash.toStdString();
    const std::string lockPath = base + ".lock";
    const std::string socketPath = base + ".sock";

    lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0) {
        // Without a lock file nothing can be checked; the program runs.
        qCInfo(instanceLog, "cannot open %s: %s", lockPath.c_str(), std::strerror(errno));
        return First;
    }
    if (flock(lockFd, LOCK_EX | LOCK_NB) == 0) {
        Listen(socketPath);
        return First;
    }
    close(lockFd);
    lockFd = -1;

    // Another start holds the lock; it may not be listening yet. Wait for it at the lowest priority.
    const std::string token = tokenSource ? tokenSource() : std::string();
    setpriority(PRIO_PROCESS, 0, 19);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (AskToRaise(socketPath, token)) {
            return AnotherRunning;
        }
        QThread::msleep(static_cast<unsigned long>(pauseMs));
    }
    setpriority(PRIO_PROCESS, 0, 0);
    qCInfo(instanceLog, "the running program did not answer; this one runs as well");
    return First;
}

void SingleInstance::Listen(const std::string& socketPath) {
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) {
        return;
    }
    // We hold the lock, so a socket file left there belongs to a program that is gone.
    unlink(socketPath.c_str());
    serverFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (serverFd < 0) {
        return;
    }
    if (bind(serverFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || listen(serverFd, 8) != 0) {
        qCInfo(instanceLog, "cannot listen on %s: %s", socketPath.c_str(), std::strerror(errno));
        close(serverFd);
        serverFd = -1;
    }
}

void SingleInstance::AcceptRequest() {
    const int client = accept4(serverFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    // Only a program of the same user may ask. Whatever arrives from the user, the answer is to come
    // to the front; a token goes with it only from a request as a later start writes it.
    ucred peer{};
    socklen_t length = sizeof(peer);
    const bool sameUser = getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
    const std::string request = sameUser ? ReadRequest(client) : std::string();
    close(client);
    if (!sameUser) {
        return;
    }
    std::string token;
    const std::string withToken = std::string(kRaiseRequest) + " ";
    if (request.size() > withToken.size() + 1 && request.compare(0, withToken.size(), withToken) == 0 &&
        request.back() == '\n') {
        token = request.substr(withToken.size(), request.size() - withToken.size() - 1);
        if (!WellFormedToken(token)) {
            token.clear();
        }
    }
    if (raiseHandler) {
        raiseHandler(token);
    }
}

bool SingleInstance::WellFormedToken(const std::string& token) {
    if (token.empty() || token.size() > kMaxTokenLength) {
        return false;
    }
    return std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

void SingleInstance::SetTokenSource(std::function<std::string()> source) {
    tokenSource = std::move(source);
}

void SingleInstance::SetRaiseHandler(std::function<void(const std::string& token)> handler) {
    raiseHandler = std::move(handler);
    // Requests wait in the socket's queue until the event loop exists to take them.
    if (serverFd >= 0 && notifier == nullptr) {
        notifier = new QSocketNotifier(serverFd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [this] { AcceptRequest(); });
    }
}

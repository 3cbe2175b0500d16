#pragma once

#include <functional>
#include <string>

class QSocketNotifier;

// One running program per executable and phone store. The first start takes an exclusive lock on a
// file named after both and listens on a socket beside it; a later start finds the lock taken, asks
// the running program through the socket to come to the front (with the window system's token for
// that, where it needs one), and is told to end.
// The files live in a folder of the user's own (mode 0700, ringlog-<uid>) in $RINGLOG_RUNTIME_DIR,
// else $XDG_RUNTIME_DIR, else /tmp. A lock dies with its process, and a socket left by a killed
// program is replaced, so neither stops the next start.
class SingleInstance {
public:
    enum Result {
        First,          // this start runs; the lock is held until the process ends
        AnotherRunning, // the running program was asked to come to the front; this start ends
    };

    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Where a later start gets the token it hands over with its request, asked only when another
    // start runs. None by default.
    void SetTokenSource(std::function<std::string()> source);
    // key names the program (its executable path and its store). Tries the running program for up to
    // attempts times pauseMs; when it never answers, this start runs after all.
    Result Claim(const std::string& key, int attempts = 40, int pauseMs = 250);
    // Called on the user-interface thread each time a later start asks for the front, with the token
    // it handed over (empty when it had none, or sent one not WellFormedToken). Claim needs no
    // application object; this does, as it listens through the event loop.
    void SetRaiseHandler(std::function<void(const std::string& token)> handler);

    // A token the running program takes: 1 to 255 printable ASCII characters, no space.
    static bool WellFormedToken(const std::string& token);

    static std::string RuntimeDirectory();

private:
    void Listen(const std::string& socketPath);
    void AcceptRequest();

    int lockFd = -1;
    int serverFd = -1;
    QSocketNotifier* notifier = nullptr;
    std::function<std::string()> tokenSource;
    std::function<void(const std::string&)> raiseHandler;
};

#pragma once

// A child process that holds a store's write lock until the holder is destroyed, as a dialler
// does in the middle of writing its log.
#include <sqlite3.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace storetest {

// A child process that holds the store's write lock until told to let go.
class LockHolder {
public:
    // exclusive: the whole file, readers too (locking mode exclusive); else a write transaction,
    // which in WAL mode leaves readers alone.
    LockHolder(const std::string& path, bool exclusive) {
        int ready[2];
        int release[2];
        if (pipe(ready) != 0 || pipe(release) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            sqlite3* db = nullptr;
            sqlite3_open(path.c_str(), &db);
            const char* sql = exclusive ? "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM records"
                                        : "BEGIN IMMEDIATE; DELETE FROM records";
            const bool locked = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
            const char answer = locked ? 'y' : 'n';
            (void)!write(ready[1], &answer, 1);
            char go = 0;
            (void)!read(release[0], &go, 1);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        releaseFd = release[1];
        char answer = 0;
        held = read(ready[0], &answer, 1) == 1 && answer == 'y';
        close(ready[0]);
    }
    ~LockHolder() {
        if (pid > 0) {
            (void)!write(releaseFd, "x", 1);
            close(releaseFd);
            int status = 0;
            waitpid(pid, &status, 0);
        }
    }
    bool held = false;

private:
    pid_t pid = -1;
    int releaseFd = -1;
};

} // namespace storetest

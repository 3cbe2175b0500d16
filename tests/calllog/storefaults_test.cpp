// The call list against a real store under faults: another process holding the lock, read-only
// files, a disk that fills up, a writer killed half-way, a second process changing the log while
// this one deletes, and the store file deleted or replaced underneath.
#include "calllog/calllist.h"

#include "calllog/calllogstore.h"
#include "calllog/deletefailure.h"
#include "platform/objectstore/objectstore.h"
#include "platform/objectstore/storelocation.h"
#include "platform/phone/phonelibrary.h"
#include "tests/calllog/fullvfs.h"
#include "tests/platform/lockholder.h"
#include "tests/platform/storetestenv.h"

#include <sqlite3.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using storetest::Call;
using storetest::LockHolder;
using storetest::Utc;
using Names = std::vector<std::u16string>;

// What the store holds, read with a connection of this test's own; "!" and the message when the
// store cannot be read or fails its integrity check.
struct StoreState {
    bool intact = false;
    std::multiset<std::string> names;
    std::string problem;
};

StoreState ReadStore(const std::string& path, bool checkIntegrity = true) {
    StoreState state;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.problem = sqlite3_errmsg(db);
        sqlite3_close(db);
        return state;
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* stmt = nullptr;
    if (!checkIntegrity) {
        state.intact = true;
    } else if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
               sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        state.intact = text != nullptr && std::string(text) == "ok";
        state.problem = text != nullptr ? text : "";
    } else {
        state.problem = sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
    if (sqlite3_prepare_v2(db, "SELECT name FROM records", -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            state.names.insert(text != nullptr ? text : "");
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return state;
}

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text != u'\0'; ++text) {
        out += static_cast<char>(*text);
    }
    return out;
}

// Runs a statement on a connection of its own; false with the message in *error on failure.
bool Exec(const std::string& path, const std::string& sql, std::string* error = nullptr) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK;
    if (ok) {
        sqlite3_busy_timeout(db, 10000);
        ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    if (!ok && error != nullptr) {
        *error = sqlite3_errmsg(db);
    }
    sqlite3_close(db);
    return ok;
}

class StoreFaults : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        list = std::make_unique<CallList>();
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(PhoneOpenLogCount(), 0u);
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }

    // Calls named base0 ... base(count-1), one minute apart, the highest number latest.
    void AddBase(int count) {
        std::vector<CallRecordData> calls;
        for (int i = 0; i < count; ++i) {
            calls.push_back(Call(Utc(2026, 12, 1, 0, 0) + static_cast<uint64_t>(i) * 600000000ULL,
                                 Wide("20655500" + std::to_string(i)).c_str(),
                                 Wide("base" + std::to_string(i)).c_str()));
        }
        AddCalls(calls);
    }

    std::multiset<std::string> ListNames() const {
        std::multiset<std::string> names;
        for (int i = 0; i < list->count; ++i) {
            names.insert(Narrow(list->EntryAt(i)->nameText.Data()));
        }
        return names;
    }

    std::unique_ptr<CallList> list;
};

TEST_F(StoreFaults, StoreLockedByAnotherProcessPastTheTimeoutChangesNothing) {
    AddBase(5);
    ASSERT_EQ(list->Load(), 0);
    // The start-up's second load, which may keep the first read's entries, lets go of the first
    // read's connection: the loads below read the store, and the lock holder is not forked while
    // this process holds a connection (SQLite's locks do not survive a fork).
    ASSERT_EQ(list->Load(), 0);
    const std::multiset<std::string> before = ListNames();
    {
        // A writer in the middle of its transaction: the log still reads as last committed, and
        // every deletion gives up after the busy timeout.
        LockHolder holder(storePath, false);
        ASSERT_TRUE(holder.held);
        EXPECT_EQ(list->Load(), 0);
        EXPECT_EQ(ListNames(), before);
        DeleteFailure failure = DeleteFailure::None;
        EXPECT_EQ(list->DeleteAt(2, &failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
        failure = DeleteFailure::None;
        EXPECT_EQ(list->DeleteAll(&failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
        EXPECT_EQ(ListNames(), before);
    }
    {
        // A program that takes the whole file: not even a load gets through.
        LockHolder holder(storePath, true);
        ASSERT_TRUE(holder.held);
        EXPECT_EQ(list->Load(), -1);
        DeleteFailure failure = DeleteFailure::None;
        EXPECT_EQ(list->DeleteAt(2, &failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
        failure = DeleteFailure::None;
        EXPECT_EQ(list->DeleteAll(&failure), -1);
        EXPECT_EQ(failure, DeleteFailure::Busy);
        EXPECT_EQ(ListNames(), before);
    }
    const StoreState after = ReadStore(storePath);
    EXPECT_TRUE(after.intact) << after.problem;
    EXPECT_EQ(after.names, before);
}

// Runs check in a child process without root's power to write anything (as "nobody" when the
// tests run as root); the child's exit code is the number of failed expectations.
int RunUnprivileged(const std::string& folder, const std::function<int()>& check) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (getuid() == 0) {
            // The folder and its files go to nobody first, so that only the modes decide.
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
                (void)!chown(entry.path().c_str(), 65534, 65534);
            }
            (void)!chown(folder.c_str(), 65534, 65534);
            if (setgid(65534) != 0 || setuid(65534) != 0) {
                _exit(100);
            }
        }
        _exit(check());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200 + WTERMSIG(status);
}

TEST_F(StoreFaults, ReadOnlyStoreFileAndFolderStillLoadAndRefuseToDelete) {
    AddBase(4);
    // Both ways a phone can forbid writing: the file alone, and the folder with it.
    for (int folderToo = 0; folderToo < 2; ++folderToo) {
        SCOPED_TRACE(folderToo != 0 ? "read-only folder" : "read-only file");
        const int failures = RunUnprivileged(dir, [&] {
            int failed = 0;
            chmod(storePath.c_str(), 0444);
            if (folderToo != 0) {
                chmod(dir.c_str(), 0555);
            }
            CallList readOnly;
            failed += readOnly.Load() == 0 ? 0 : 1;
            failed += readOnly.count == 4 ? 0 : 2;
            DeleteFailure one = DeleteFailure::None;
            DeleteFailure all = DeleteFailure::None;
            failed += readOnly.DeleteAt(0, &one) == -1 ? 0 : 4;
            failed += readOnly.DeleteAll(&all) == -1 ? 0 : 8;
            failed += readOnly.count == 4 ? 0 : 16;
            failed += one == DeleteFailure::ReadOnly && all == DeleteFailure::ReadOnly ? 0 : 32;
            chmod(dir.c_str(), 0755);
            chmod(storePath.c_str(), 0644);
            return failed;
        });
        EXPECT_EQ(failures, 0) << "1: no load, 2: calls missing, 4/8: a delete did not fail, 16: the list lost calls,"
                                  " 32: not told that the store is read-only";
        const StoreState after = ReadStore(storePath);
        EXPECT_TRUE(after.intact) << after.problem;
        EXPECT_EQ(after.names.size(), 4u);
    }
}

TEST_F(StoreFaults, DiskFullDuringDeleteAllKeepsEveryCallOrNone) {
    // Delete All is one transaction: wherever the disk fills, the store keeps every call or none,
    // and the list shows what it keeps.
    int refused = 0;
    for (int writes : {0, 1, 2, 3, 5, 9, 17}) {
        SCOPED_TRACE(testing::Message() << writes << " writes before the disk is full");
        std::string error;
        ASSERT_EQ(AddCallRecords({}, true, &error), 0) << error;
        AddBase(12);
        ASSERT_EQ(list->Load(), 0);
        const std::multiset<std::string> before = ListNames();
        int result = 0;
        DeleteFailure failure = DeleteFailure::None;
        {
            FullDiskVfs disk;
            disk.FailAfter(writes);
            result = list->DeleteAll(&failure);
        }
        const StoreState after = ReadStore(storePath);
        EXPECT_TRUE(after.intact) << after.problem;
        EXPECT_EQ(ListNames(), after.names) << "the list must show what the store holds";
        if (result == 0) {
            EXPECT_TRUE(after.names.empty());
        } else {
            ++refused;
            EXPECT_EQ(result, -1);
            EXPECT_EQ(failure, DeleteFailure::Full);
            EXPECT_EQ(after.names, before);
        }
    }
    EXPECT_GE(refused, 1) << "the full disk never got in the way";
}

TEST_F(StoreFaults, DiskFullDuringDeleteKeepsTheCallAndSaysSo) {
    AddBase(3);
    ASSERT_EQ(list->Load(), 0);
    DeleteFailure failure = DeleteFailure::None;
    {
        FullDiskVfs disk;
        disk.FailAfter(0);
        EXPECT_EQ(list->DeleteAt(1, &failure), -1);
    }
    EXPECT_EQ(failure, DeleteFailure::Full);
    EXPECT_EQ(ReadStore(storePath).names.size(), 3u);
    EXPECT_EQ(list->count, 3);
}

// The child of a kill trial: forever adds a call named "moving" and deletes it again as the
// program deletes (mode 0), or deletes the victim once and then only reads (mode 1); killed at a
// random moment.
[[noreturn]] void Churn(int mode, const std::string& victim) {
    bool victimGone = false;
    for (;;) {
        if (mode == 0) {
            std::string error;
            AddCallRecords({Call(Utc(2026, 12, 9, 10, 0), u"2065559999", u"moving")}, false, &error);
        }
        CallList child;
        if (child.Load() == 0) {
            for (int i = 0; i < child.count; ++i) {
                const std::string name = Narrow(child.EntryAt(i)->nameText.Data());
                if (mode == 0 && name == "moving") {
                    child.DeleteAt(i);
                    break;
                }
                if (mode == 1 && !victimGone && name == victim) {
                    victimGone = child.DeleteAt(i) == 0;
                    break;
                }
            }
        }
    }
}

TEST_F(StoreFaults, WriterKilledAtRandomLosesNothingButTheCallItWasDeleting) {
    AddBase(30);
    SetStoreBusyTimeout(5000);
    std::mt19937 random(20261209);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        const StoreState before = ReadStore(storePath);
        ASSERT_TRUE(before.intact) << before.problem;
        std::multiset<std::string> kept = before.names;
        kept.erase("moving");
        const int mode = static_cast<int>(random() % 2);
        std::string victim;
        if (mode == 1) {
            auto it = kept.begin();
            std::advance(it, static_cast<long>(random() % kept.size()));
            victim = *it;
        }
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            Churn(mode, victim);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 15000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);

        const StoreState after = ReadStore(storePath);
        ASSERT_TRUE(after.intact) << after.problem;
        std::multiset<std::string> left = after.names;
        left.erase("moving");
        if (mode == 1 && left.count(victim) + 1 == kept.count(victim)) {
            kept.erase(kept.find(victim));
        }
        ASSERT_EQ(left, kept);
        if (mode == 1 && kept.size() < 20) {
            AddBase(30);
        }
    }
}

// The other process of the concurrency trials: adds calls, some at the very start time of a
// call already there, and deletes only the calls it added. A call of its own that is gone when
// it comes to delete it was deleted by the other process: it ends with code 1 then, else 0 once
// the stop file appears.
[[noreturn]] void AddAndDelete(const std::string& path, const std::string& stopFile, unsigned seed) {
    std::mt19937 random(seed);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    int added = 0;
    int deletedByOthers = 0;
    std::vector<int> mine;
    while (access(stopFile.c_str(), F_OK) != 0) {
        if (mine.empty() || random() % 2 == 0) {
            // Same start as a random call already there, or a new latest call.
            const std::string name = "other" + std::to_string(added++);
            const std::string sql =
                "INSERT INTO records (db, start_time, end_time, call_type, flags, caller_id_type, number, name)"
                " SELECT db, start_time, start_time + 1, 2, 0, 2, '206555" +
                std::to_string(added) + "', '" + name + "' FROM records ORDER BY random() LIMIT 1";
            if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK && sqlite3_changes(db) == 1) {
                mine.push_back(added - 1);
            }
        } else {
            const size_t pick = random() % mine.size();
            const std::string sql = "DELETE FROM records WHERE name = 'other" + std::to_string(mine[pick]) + "'";
            if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK) {
                deletedByOthers += sqlite3_changes(db) == 1 ? 0 : 1;
                mine.erase(mine.begin() + static_cast<long>(pick));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 1500));
    }
    sqlite3_close(db);
    _exit(deletedByOthers == 0 ? 0 : 1);
}

TEST_F(StoreFaults, DeleteByPositionWhileAnotherProcessAddsAndDeletesTakesOnlyTheChosenCall) {
    AddBase(40);
    SetStoreBusyTimeout(10000);
    const std::string stopFile = dir + "/stop";
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        AddAndDelete(storePath, stopFile, 7);
    }
    // However the test ends, the other process does not outlive it.
    struct Reaper {
        pid_t pid;
        ~Reaper() {
            int status = 0;
            if (pid > 0 && waitpid(pid, &status, WNOHANG) == 0) {
                kill(pid, SIGKILL);
                waitpid(pid, &status, 0);
            }
        }
    } reaper{other};
    std::mt19937 random(20261209);
    int deleted = 0;
    int refused = 0;
    int nextBase = 40;
    for (int trial = 0; trial < 1000; ++trial) {
        SCOPED_TRACE(testing::Message() << "trial " << trial);
        if (list->Load() != 0) {
            ++refused;
            continue;
        }
        // The chosen call is one of this process's; the other process's calls are never chosen.
        std::vector<int> choices;
        for (int i = 0; i < list->count; ++i) {
            if (Narrow(list->EntryAt(i)->nameText.Data()).rfind("base", 0) == 0) {
                choices.push_back(i);
            }
        }
        ASSERT_FALSE(choices.empty());
        const int position = choices[random() % choices.size()];
        const std::string chosen = Narrow(list->EntryAt(position)->nameText.Data());
        const StoreState before = ReadStore(storePath, false);
        const int result = list->DeleteAt(position);
        const StoreState after = ReadStore(storePath);
        ASSERT_TRUE(after.intact) << after.problem;
        std::multiset<std::string> baseBefore;
        std::multiset<std::string> baseAfter;
        for (const std::string& name : before.names) {
            if (name.rfind("base", 0) == 0) {
                baseBefore.insert(name);
            }
        }
        for (const std::string& name : after.names) {
            if (name.rfind("base", 0) == 0) {
                baseAfter.insert(name);
            }
        }
        if (result == 0) {
            ++deleted;
            baseBefore.erase(chosen);
        } else {
            ++refused;
        }
        ASSERT_EQ(baseAfter, baseBefore) << "deleting " << chosen << " gave " << result;
        // A new call of this process, now and then at the start of one already there.
        CallRecordData call =
            Call(Utc(2026, 12, 1, 0, 0) + static_cast<uint64_t>(random() % 60) * 600000000ULL,
                 Wide("206555" + std::to_string(nextBase)).c_str(), Wide("base" + std::to_string(nextBase)).c_str());
        ++nextBase;
        std::string error;
        ASSERT_EQ(AddCallRecords({call}, false, &error), 0) << error;
    }
    std::ofstream(stopFile) << "stop";
    int status = 0;
    waitpid(other, &status, 0);
    reaper.pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a call of the other process was deleted";
    EXPECT_GT(deleted, 900) << refused << " refused";
}

TEST_F(StoreFaults, StoreDeletedOrReplacedWhileRunningKeepsTheList) {
    AddBase(3);
    ASSERT_EQ(list->Load(), 0);
    const std::multiset<std::string> before = ListNames();

    // Deleted: no new empty store appears in its place, the list stays.
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(storePath + suffix);
    }
    EXPECT_EQ(list->Load(), -1);
    EXPECT_EQ(list->DeleteAt(0), -1);
    EXPECT_EQ(list->DeleteAll(), -1);
    EXPECT_EQ(ListNames(), before);
    EXPECT_FALSE(std::filesystem::exists(storePath));

    // Replaced by a file that is not a store, and by another program's database.
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind);
        const std::string replacement = dir + "/replacement";
        std::filesystem::remove(replacement);
        if (kind == 0) {
            std::ofstream(replacement) << std::string(3000, 'x');
        } else {
            ASSERT_TRUE(Exec(replacement, "CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine')"));
        }
        std::filesystem::rename(replacement, storePath);
        const std::string bytes = storetest::ReadFileBytes(storePath);
        EXPECT_EQ(list->Load(), -1);
        EXPECT_EQ(list->DeleteAt(0), -1);
        EXPECT_EQ(list->DeleteAll(), -1);
        EXPECT_EQ(ListNames(), before);
        EXPECT_EQ(storetest::ReadFileBytes(storePath), bytes);
    }
}

} // namespace

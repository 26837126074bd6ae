// Advisory locks between the programs that use one table: a writer holds the table
// exclusively for the whole read-modify-replace, and a window showing a table holds it
// shared, so no other program's rewrite can replace it under the window. The lock is taken
// on a small hidden file beside the table (".NAME.lock"), so it outlives the replacement of
// the table's own file. Within one process the locks of a table are counted: a rewrite by a
// process that shows the table upgrades its shared lock for the rewrite and gives it back
// after.
#pragma once

#include <string>

namespace zandor::tables {

class TableLock {
public:
    enum class Mode { Shared, Exclusive };

    TableLock() = default;
    TableLock(TableLock&& other) noexcept;
    TableLock& operator=(TableLock&& other) noexcept;
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;
    ~TableLock();

    // Takes the lock of the table at `path`, waiting a short while (ZANDOR_LOCK_WAIT_MS,
    // default 3000) while another program holds it; then throws TableError
    // "数据表正被另一程序使用或修改: PATH". A folder where no lock file can be made (read-only)
    // gives a lock that is not held: reading goes on, and writing fails there anyway.
    static TableLock acquire(const std::string& path, Mode mode);

    void release();
    bool held() const { return !key_.empty(); }
    Mode mode() const { return mode_; }

private:
    std::string key_;  // the lock file, as registered in this process
    Mode mode_ = Mode::Shared;
};

// The lock file of the table at `path`.
std::string lockFileOf(const std::string& path);

// Removes the lock file of `path` when nobody holds it (one left by a killed process).
void removeUnusedLockFile(const std::string& path);

}  // namespace zandor::tables

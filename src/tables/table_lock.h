// Advisory locks between the programs that use one table: a writer holds the table
// exclusively for the whole read-modify-replace, and a window showing a table holds it
// shared, so no other program's rewrite can replace it under the window. The lock is taken
// on a small hidden file beside the table (".NAME.lock"), so it outlives the replacement of
// the table's own file. The last holder removes the lock file, and so does the next program
// that names the table when a killed one left it: a lock file is never more than a place to
// lock, and a lock taken on a file that was removed meanwhile is given up and taken again on
// the file now at the name. Within one process the locks of a table are counted: a rewrite by a
// process that shows the table upgrades its shared lock for the rewrite and gives it back
// after.
#pragma once

#include <functional>
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

// For tests: `probe` runs each time a lock file has been opened and is about to be locked,
// with the lock file's name, as another program might remove or replace it there. An empty
// function removes it.
void setLockProbe(std::function<void(const std::string& lockFile)> probe);

}  // namespace zandor::tables

#include "tables/table_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "tables/table_error.h"

namespace zandor::tables {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The locks this process holds, by lock file: one open file per table, whatever the number
// of holders.
struct Entry {
    int fd = -1;
    int shared = 0;
    int exclusive = 0;
};

std::mutex& registryMutex()
{
    static std::mutex m;
    return m;
}

std::map<std::string, Entry>& registry()
{
    static std::map<std::string, Entry> r;
    return r;
}

Clock::time_point deadline()
{
    int ms = 3000;
    if (const char* env = std::getenv("ZANDOR_LOCK_WAIT_MS"); env && *env)
        ms = std::atoi(env);
    return Clock::now() + std::chrono::milliseconds(ms < 0 ? 0 : ms);
}

[[noreturn]] void busy(const std::string& path)
{
    throw TableError("数据表正被另一程序使用或修改: " + path);
}

// flock, retried until the deadline while another program holds the lock.
bool lockUntil(int fd, int operation, Clock::time_point until, const std::string& path)
{
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            throw TableError("Cannot lock the table " + path + ": " + std::strerror(errno));
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::function<void(const std::string&)>& lockProbe()
{
    static std::function<void(const std::string&)> probe;
    return probe;
}

// The lock file opened for locking: for writing where allowed, else for reading (a lock
// file made by another user), which locks as well.
int openLockFile(const std::string& file, bool create)
{
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(file.c_str(), O_RDWR | flags | (create ? O_CREAT : 0), 0666);
    if (fd < 0 && errno == EACCES)
        fd = ::open(file.c_str(), O_RDONLY | flags);
    return fd;
}

bool sameFile(int fd, const std::string& file)
{
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::stat(file.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

}  // namespace

std::string lockFileOf(const std::string& path)
{
    std::error_code ec;
    fs::path table(path);
    if (fs::is_symlink(fs::symlink_status(table, ec))) {
        const fs::path resolved = fs::canonical(table, ec);
        if (!ec)
            table = resolved;
    }
    table = fs::absolute(table, ec).lexically_normal();
    // Appended piece by piece: GCC 12 takes "." + name + ".lock" for an overlapping copy (-Wrestrict).
    std::string name = ".";
    name += table.filename().string();
    name += ".lock";
    return (table.parent_path() / name).string();
}

void removeUnusedLockFile(const std::string& path)
{
    const std::string file = lockFileOf(path);
    const int fd = openLockFile(file, false);
    if (fd < 0)
        return;
    // Whoever waits on the removed file finds it gone and takes a new one.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && sameFile(fd, file))
        ::unlink(file.c_str());
    ::close(fd);
}

void setLockProbe(std::function<void(const std::string&)> probe) { lockProbe() = std::move(probe); }

TableLock::TableLock(TableLock&& other) noexcept
    : key_(std::exchange(other.key_, std::string())), mode_(other.mode_)
{
}

TableLock& TableLock::operator=(TableLock&& other) noexcept
{
    if (this != &other) {
        release();
        key_ = std::exchange(other.key_, std::string());
        mode_ = other.mode_;
    }
    return *this;
}

TableLock::~TableLock() { release(); }

TableLock TableLock::acquire(const std::string& path, Mode mode)
{
    const std::string file = lockFileOf(path);
    const int operation = mode == Mode::Shared ? LOCK_SH : LOCK_EX;
    const Clock::time_point until = deadline();
    TableLock lock;
    lock.mode_ = mode;

    std::lock_guard<std::mutex> guard(registryMutex());
    auto& locks = registry();
    if (auto it = locks.find(file); it != locks.end()) {
        Entry& e = it->second;
        if (mode == Mode::Exclusive && e.exclusive == 0) {
            // Upgrading: a failed attempt gives up the shared lock, so it is taken again.
            if (!lockUntil(e.fd, LOCK_EX, until, path)) {
                lockUntil(e.fd, LOCK_SH, Clock::now() + std::chrono::seconds(10), path);
                busy(path);
            }
        }
        ++(mode == Mode::Shared ? e.shared : e.exclusive);
        lock.key_ = file;
        return lock;
    }
    for (;;) {
        const int fd = openLockFile(file, true);
        if (fd < 0) {
            if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOENT)
                return TableLock();  // nowhere to put a lock: nothing can be written there either
            throw TableError("Cannot lock the table " + path + ": " + std::strerror(errno));
        }
        if (const auto& probe = lockProbe())
            probe(file);
        if (!lockUntil(fd, operation, until, path)) {
            ::close(fd);
            busy(path);
        }
        // The last holder removes the lock file; a lock on a removed file protects nothing.
        if (sameFile(fd, file)) {
            Entry e;
            e.fd = fd;
            ++(mode == Mode::Shared ? e.shared : e.exclusive);
            locks.emplace(file, e);
            lock.key_ = file;
            return lock;
        }
        ::close(fd);
    }
}

void TableLock::release()
{
    if (key_.empty())
        return;
    std::lock_guard<std::mutex> guard(registryMutex());
    auto& locks = registry();
    auto it = locks.find(key_);
    if (it != locks.end()) {
        Entry& e = it->second;
        --(mode_ == Mode::Shared ? e.shared : e.exclusive);
        if (e.shared == 0 && e.exclusive == 0) {
            // The lock file goes with its last holder, when no other program holds it.
            if (::flock(e.fd, LOCK_EX | LOCK_NB) == 0)
                ::unlink(key_.c_str());
            ::close(e.fd);
            locks.erase(it);
        } else if (mode_ == Mode::Exclusive && e.exclusive == 0) {
            ::flock(e.fd, LOCK_SH);
        }
    }
    key_.clear();
}

}  // namespace zandor::tables

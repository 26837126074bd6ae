#include "tables/replace.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>

#include "tables/table_error.h"
#include "tables/table_lock.h"

namespace zandor::tables {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJournal = ".install";
constexpr const char* kJournalDraft = ".install.tmp";

struct Name {
    std::string folder;  // with its slash, or empty
    std::string file;
};

Name splitName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {std::string(), path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string folderOrDot(const std::string& folder) { return folder.empty() ? std::string(".") : folder; }

bool allDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The process number of a work folder's name "PID-N" after its marker, 0 when it is none.
long ownerOf(std::string_view rest)
{
    const auto dash = rest.find('-');
    if (dash == std::string_view::npos || !allDigits(rest.substr(0, dash)) || rest.substr(0, dash).size() > 9)
        return 0;
    std::string_view after = rest.substr(dash + 1);
    const auto end = std::find_if(after.begin(), after.end(), [](char c) { return c < '0' || c > '9'; });
    if (end == after.begin())
        return 0;
    return std::atol(std::string(rest.substr(0, dash)).c_str());
}

// The owner of a work folder of the table file `name` in the same folder: ".NAME~workPID-N",
// or the older "STEM~tmpPID-N.EXT"; 0 when `entry` is neither.
long workFolderOwner(const std::string& entry, const std::string& name)
{
    const std::string marker = "." + name + "~work";
    if (entry.compare(0, marker.size(), marker) == 0)
        return ownerOf(std::string_view(entry).substr(marker.size()));
    const auto dot = name.find_last_of('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = stem.size() == name.size() ? std::string() : name.substr(dot);
    const std::string old = stem + "~tmp";
    if (entry.compare(0, old.size(), old) == 0 && entry.size() > old.size() + extension.size() &&
        entry.compare(entry.size() - extension.size(), extension.size(), extension) == 0) {
        const std::string rest = entry.substr(old.size(), entry.size() - old.size() - extension.size());
        const auto dash = rest.find('-');
        if (dash != std::string::npos && allDigits(rest.substr(dash + 1)))
            return ownerOf(rest);
    }
    return 0;
}

bool processGone(long pid)
{
    if (pid == ::getpid())
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

void syncFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The owner, group and access rights of the file being replaced, given to its successor
// (a table rewritten by an administrator stays its user's). Changing the owner is only open
// to the administrator; elsewhere the new file keeps the writer's, as the old one had it.
void keepOwnership(const std::string& replaced, const std::string& successor)
{
    struct stat old {};
    if (::lstat(replaced.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return;
    struct stat now {};
    if (::stat(successor.c_str(), &now) != 0)
        return;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::chown(successor.c_str(), old.st_uid, old.st_gid) != 0 && now.st_gid != old.st_gid &&
        ::chown(successor.c_str(), static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Not the administrator, nor a member of the old group: the writer's own stay.
    }
    // After the owner: giving a file away clears its set-user and set-group bits.
    if (::chmod(successor.c_str(), old.st_mode & 07777) != 0) {
        // A file system without access rights (mounted without them) keeps its own.
    }
}

void moveInto(const std::string& from, const std::string& to, bool replace)
{
    int result = 0;
    if (replace) {
        result = std::rename(from.c_str(), to.c_str());
    } else {
        result = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (result != 0 && errno == EINVAL) {
            // A file system without the no-replace rename: a hard link fails on an existing name too.
            result = ::link(from.c_str(), to.c_str());
            if (result == 0)
                ::unlink(from.c_str());
        }
    }
    if (result != 0) {
        const int err = errno;
        if (err == EEXIST)
            throw TableExists("Cannot create " + to + ": the file exists");
        throw TableError("Cannot replace " + to + ": " + std::strerror(err));
    }
}

std::vector<std::string> journalOf(const std::string& work)
{
    std::vector<std::string> names;
    std::ifstream in(work + "/" + kJournal);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line.find('/') == std::string::npos)
            names.push_back(line);
    return names;
}

std::function<void()>& faultHook()
{
    static std::function<void()> hook;
    return hook;
}

}  // namespace

void setFaultHook(std::function<void()> hook) { faultHook() = std::move(hook); }

void faultPoint()
{
    static const int step = [] {
        const char* env = std::getenv("ZANDOR_FAULT_STEP");
        return env ? std::atoi(env) : 0;
    }();
    static std::atomic<int> count{0};
    if (step > 0 && ++count == step)
        ::_exit(70);
    if (const auto& hook = faultHook())
        hook();
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folderOrDot(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::vector<std::string> recoverInterruptedWrites(const std::string& target)
{
    const Name n = splitName(target);
    std::error_code ec;
    std::vector<std::pair<std::string, long>> stale;
    for (fs::directory_iterator it(folderOrDot(n.folder), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        const long owner = workFolderOwner(entry, n.file);
        std::error_code kindError;
        if (owner > 0 && it->is_directory(kindError) && processGone(owner))
            stale.emplace_back(n.folder + entry, owner);
    }
    std::vector<std::string> notes;
    for (const auto& [work, owner] : stale) {
        // A journal means the installation had begun: the files still in the folder go where
        // it was putting them. Without one nothing had been moved.
        std::vector<std::string> moved;
        for (const std::string& name : journalOf(work)) {
            const std::string from = work + "/" + name;
            if (fs::exists(fs::symlink_status(from, ec)) && std::rename(from.c_str(), (n.folder + name).c_str()) == 0)
                moved.push_back(name);
        }
        if (!moved.empty()) {
            syncFolder(n.folder);
            std::string names;
            for (const std::string& name : moved)
                names += (names.empty() ? "" : ", ") + name;
            notes.push_back(target + ": the replacement interrupted when process " + std::to_string(owner) +
                            " stopped has been completed (" + names + " put in place); the new table is whole");
        } else {
            notes.push_back(target + ": the unfinished write of process " + std::to_string(owner) +
                            ", which stopped, has been removed; the table is as it was before it");
        }
        fs::remove_all(work, ec);
    }
    if (!stale.empty())
        removeUnusedLockFile(target);
    return notes;
}

std::vector<std::string> tidyTableName(const std::string& target)
{
    std::vector<std::string> notes = recoverInterruptedWrites(target);
    removeUnusedLockFile(target);
    return notes;
}

WorkFolder::WorkFolder(const std::string& target) : target_(target)
{
    const Name n = splitName(target);
    folder_ = n.folder;
    for (const std::string& note : recoverInterruptedWrites(target))
        std::fprintf(stderr, "%s\n", note.c_str());
    static std::atomic<unsigned> counter{0};
    for (;;) {
        path_ = n.folder + "." + n.file + "~work" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        if (::mkdir(path_.c_str(), 0700) == 0)
            return;
        if (errno != EEXIST)
            throw TableError("Cannot write the new table beside " + target + ": " + std::strerror(errno));
    }
}

WorkFolder::~WorkFolder()
{
    if (installed_)
        return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> WorkFolder::install(const std::string& first, bool replace)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name != kJournal && name != kJournalDraft)
            names.push_back(name);
    }
    if (ec)
        throw TableError("Cannot read the work folder of " + target_ + ": " + ec.message());
    std::sort(names.begin(), names.end());
    if (auto it = std::find(names.begin(), names.end(), first); it != names.end())
        std::rotate(names.begin(), it, it + 1);
    // A table at the name is one that exists; another file at a companion's name (a .cpg
    // left beside a new .dbf) is a file that would be lost.
    if (!replace)
        for (const std::string& name : names)
            if (fs::exists(fs::symlink_status(folder_ + name, ec))) {
                const std::string message = "Cannot create " + folder_ + name + ": the file exists";
                if (name == first)
                    throw TableExists(message);
                throw TableError(message);
            }
    for (const std::string& name : names) {
        syncFile(file(name));
        if (replace)
            keepOwnership(folder_ + name, file(name));
    }
    faultPoint();

    // The journal: which files this installation puts in place.
    {
        std::ofstream journal(file(kJournalDraft), std::ios::trunc);
        for (const std::string& name : names)
            journal << name << '\n';
        journal.flush();
        if (!journal)
            throw TableError("Cannot write the work folder of " + target_);
    }
    syncFile(file(kJournalDraft));
    faultPoint();
    if (std::rename(file(kJournalDraft).c_str(), file(kJournal).c_str()) != 0)
        throw TableError("Cannot write the work folder of " + target_ + ": " + std::strerror(errno));
    syncFolder(path_);
    faultPoint();

    for (std::size_t i = 0; i < names.size(); ++i) {
        try {
            moveInto(file(names[i]), folder_ + names[i], replace);
        } catch (const TableExists&) {
            // Another program created one of the names meanwhile: what was moved comes back,
            // and without the journal the folder is only a draft, removed with the folder.
            for (std::size_t k = 0; k < i; ++k)
                std::rename((folder_ + names[k]).c_str(), file(names[k]).c_str());
            std::remove(file(kJournal).c_str());
            syncFolder(folder_);
            throw;
        }
        faultPoint();
    }
    syncFolder(folder_);
    faultPoint();
    installed_ = true;
    fs::remove_all(path_, ec);
    return names;
}

}  // namespace zandor::tables

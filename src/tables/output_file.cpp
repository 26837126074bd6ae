#include "tables/output_file.h"

#include <dirent.h>
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
#include <memory>
#include <mutex>
#include <set>
#include <streambuf>
#include <vector>

#include "tables/replace.h"

namespace zandor::tables {
namespace {

constexpr int kMaxLinks = 40;
constexpr std::size_t kBlock = std::size_t(1) << 16;
constexpr const char* kMarker = "~out";

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISDIR(mode))
        return "a folder";
    return "not a regular file";
}

[[noreturn]] void refuseKind(const std::string& path, const std::string& named, mode_t mode)
{
    std::string reason = std::string("it is ") + kindOf(mode) + ", not a regular file";
    if (named != path)
        reason = "it leads to " + named + ", which is " + kindOf(mode) + ", not a regular file";
    throw OutputFileError(path, reason);
}

// The file that writing `path` replaces or creates, symbolic links followed; refuses a path
// that is or leads to anything but a regular file. `existing` receives the file's status
// (st_mode 0 when there is none yet).
std::string resolveTarget(const std::string& path, struct stat& existing)
{
    if (path.empty())
        throw OutputFileError(path, "no file name");
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                existing = {};
                return current;
            }
            throw OutputFileError(path, std::strerror(errno));
        }
        if (S_ISREG(st.st_mode)) {
            existing = st;
            return current;
        }
        if (!S_ISLNK(st.st_mode))
            refuseKind(path, current, st.st_mode);
        std::vector<char> buffer(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 2);
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size() - 1);
        if (n < 0)
            throw OutputFileError(path, std::strerror(errno));
        std::string next(buffer.data(), static_cast<std::size_t>(n));
        current = next.starts_with('/') ? next : folderOf(current) + next;
    }
    throw OutputFileError(path, "too many symbolic links");
}

bool processGone(long pid)
{
    if (pid <= 0 || pid == ::getpid())
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes the hidden files ".NAME~outPID-N" of `folder` whose process is gone: those of the
// file `name`, or of every file when `name` is empty.
void removeStaleParts(const std::string& folder, std::string_view name = {})
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        const auto marker = entryName.rfind(kMarker);
        if (!entryName.starts_with('.') || marker == std::string_view::npos ||
            (!name.empty() && entryName.substr(1, marker - 1) != name))
            continue;
        const std::string rest(entryName.substr(marker + std::strlen(kMarker)));
        char* end = nullptr;
        const long pid = std::strtol(rest.c_str(), &end, 10);
        if (end != rest.c_str() && *end == '-' && processGone(pid))
            stale.push_back(folder + std::string(entryName));
    }
    ::closedir(dir);
    for (const std::string& part : stale)
        ::unlink(part.c_str());
}

// The steps of writing one file, where a test makes one fail (as a full disk) or ends the
// process (as a kill).
class Steps {
public:
    Steps()
    {
        if (const char* env = std::getenv("ZANDOR_OUTPUT_FAIL_STEP"))
            failAt_ = std::atoi(env);
    }
    // 0, or the error the step is made to fail with.
    int next()
    {
        faultPoint();
        return ++count_ == failAt_ ? ENOSPC : 0;
    }

private:
    int failAt_ = 0;
    int count_ = 0;
};

// The stream buffer over the hidden file: blocks of kBlock bytes, every write checked; the
// first error is kept and ends all writing.
class PartBuffer : public std::streambuf {
public:
    PartBuffer(int fd, Steps& steps) : fd_(fd), steps_(steps), buffer_(kBlock) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    int error() const { return error_; }

    // Writes what is buffered; false after an error.
    bool drain()
    {
        const char* p = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        if (error_ != 0)
            return false;
        if (left == 0)
            return true;
        if (const int injected = steps_.next()) {
            error_ = injected;
            return false;
        }
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error_ = errno;
                return false;
            }
            if (n == 0) {
                error_ = EIO;
                return false;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return true;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        std::streamsize done = 0;
        while (done < n) {
            if (pptr() == epptr() && !drain())
                return done;
            const auto room = static_cast<std::streamsize>(epptr() - pptr());
            const std::streamsize take = std::min(room, n - done);
            std::memcpy(pptr(), s + done, static_cast<std::size_t>(take));
            pbump(static_cast<int>(take));
            done += take;
        }
        return done;
    }

    int sync() override { return drain() ? 0 : -1; }

private:
    int fd_;
    Steps& steps_;
    std::vector<char> buffer_;
    int error_ = 0;
};

// The hidden file beside the target; removed unless it was renamed into place.
class PartFile {
public:
    // `scanStale` false: the caller has removed the stale hidden files of the folder already.
    PartFile(const std::string& path, const std::string& target, bool scanStale = true) : path_(path)
    {
        if (scanStale)
            removeStaleParts(folderOf(target), fileOf(target));
        static std::atomic<unsigned> counter{0};
        const std::string base = folderOf(target) + "." + fileOf(target) + kMarker + std::to_string(::getpid()) + "-";
        for (;;) {
            if (const int injected = steps_.next())
                throw OutputFileError(path_, std::strerror(injected));
            name_ = base + std::to_string(counter++);
            fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0)
                return;
            if (errno != EEXIST)
                throw OutputFileError(path_, std::strerror(errno));
        }
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!installed_)
            ::unlink(name_.c_str());
    }

    int fd() const { return fd_; }
    Steps& steps() { return steps_; }

    [[noreturn]] void fail(int error) { throw OutputFileError(path_, std::strerror(error)); }

    // Gives the new file the old one's permissions (and owner, for the administrator).
    void keepAttributes(const struct stat& old)
    {
        if (old.st_mode == 0)
            return;
        if (::geteuid() == 0 && ::fchown(fd_, old.st_uid, old.st_gid) != 0)
            fail(errno);
        if (::fchmod(fd_, old.st_mode & 07777) != 0)
            fail(errno);
    }

    void finish(const std::string& target)
    {
        if (const int injected = steps_.next())
            fail(injected);
        if (::fsync(fd_) != 0)
            fail(errno);
        closeUnsynced();
        install(target);
        syncFolder(folderOf(target));
    }

    // The content closed without a sync of its own (a group of files syncs once)...
    void closeUnsynced()
    {
        const int injected = steps_.next();
        const int closed = ::close(fd_);
        fd_ = -1;
        if (injected)
            fail(injected);
        if (closed != 0)
            fail(errno);
    }

    // ... and renamed over the target; the caller syncs the folder.
    void install(const std::string& target)
    {
        if (const int failed = steps_.next())
            fail(failed);
        if (std::rename(name_.c_str(), target.c_str()) != 0)
            fail(errno);
        installed_ = true;
        faultPoint();
    }

private:
    std::string path_;
    Steps steps_;
    std::string name_;
    int fd_ = -1;
    bool installed_ = false;
};

// Flushes to disk everything written to the file system that holds `folder`.
void syncFileSystem(const std::string& folder, const std::string& path)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw OutputFileError(path, std::strerror(errno));
    const int synced = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    if (synced != 0)
        throw OutputFileError(path, std::strerror(error));
}

}  // namespace

OutputFileError::OutputFileError(std::string path, std::string reason)
    : std::runtime_error("cannot write " + path + ": " + reason), path_(std::move(path)), reason_(std::move(reason))
{
}

void requireWritableOutput(const std::string& path)
{
    struct stat existing {};
    resolveTarget(path, existing);
}

void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    struct stat existing {};
    const std::string target = resolveTarget(path, existing);
    PartFile part(path, target);
    part.keepAttributes(existing);
    {
        PartBuffer buffer(part.fd(), part.steps());
        std::ostream out(&buffer);
        write(out);
        out.flush();
        if (buffer.error() != 0)
            part.fail(buffer.error());
        if (!out)
            part.fail(EIO);
    }
    part.finish(target);
}

void writeOutputFile(const std::string& path, std::string_view bytes)
{
    writeOutputFile(path, [bytes](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
}

struct OutputFileGroup::Part {
    std::string path;
    std::string target;
    std::unique_ptr<PartFile> file;
};

OutputFileGroup::OutputFileGroup() = default;
OutputFileGroup::~OutputFileGroup() = default;

void OutputFileGroup::add(const std::string& path, std::string_view bytes)
{
    struct stat existing {};
    const std::string target = resolveTarget(path, existing);
    const std::string folder = folderOf(target);
    {
        std::lock_guard guard(lock_);
        if (scannedFolders_.insert(folder).second)
            removeStaleParts(folder);
    }
    auto part = std::make_unique<PartFile>(path, target, /*scanStale=*/false);
    part->keepAttributes(existing);
    {
        PartBuffer buffer(part->fd(), part->steps());
        std::ostream out(&buffer);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (buffer.error() != 0)
            part->fail(buffer.error());
        if (!out)
            part->fail(EIO);
    }
    part->closeUnsynced();
    std::lock_guard guard(lock_);
    parts_.push_back(Part{path, target, std::move(part)});
}

void OutputFileGroup::commit()
{
    std::lock_guard guard(lock_);
    std::set<std::string> folders;
    for (const Part& part : parts_)
        if (folders.insert(folderOf(part.target)).second)
            syncFileSystem(folderOf(part.target), part.path);
    for (Part& part : parts_)
        part.file->install(part.target);
    for (const std::string& folder : folders)
        syncFolder(folder);
    parts_.clear();
}

}  // namespace zandor::tables

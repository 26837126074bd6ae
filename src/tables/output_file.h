// The one way the program writes a file that is not a table: chart images, listings, saved
// index texts, the wizard's text files, reports, anything a command is told to write with
// --out. The file is written whole or not at all:
//
// - Only a regular file is written. An existing target that is anything else (a named pipe,
//   a device, a socket, a folder, or a symbolic link to one of them) is refused, naming it,
//   before anything is opened, so a write never blocks on a pipe nor replaces a device.
// - A symbolic link to a regular file (or to a name not yet taken) is followed: the file it
//   names is replaced and the link stays as it is.
// - The content goes to a new hidden file beside the file to replace (".NAME~outPID-N"),
//   every write, the flush to disk and the close checked; only then is it renamed over the
//   old file and the folder synced. The new file keeps the old one's permissions (and, for
//   the administrator, its owner and group); a new file gets the usual ones (0666 less umask).
// - On any failure the old file is as it was, the hidden file is removed and OutputFileError
//   names the file and the reason. A hidden file left by a killed process is removed the next
//   time that name is written.
//
// For tests of failures the environment variable ZANDOR_OUTPUT_FAIL_STEP=K makes the K-th
// step of writing each file fail as a full disk would (steps: make the hidden file, each
// write of a block, the flush to disk, the close, the rename); ZANDOR_FAULT_STEP ends the
// process at a step as a kill would (see faultPoint()).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::tables {

class OutputFileError : public std::runtime_error {
public:
    OutputFileError(std::string path, std::string reason);
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }  // the reason alone, without the path

private:
    std::string path_;
    std::string reason_;
};

// Writes `bytes` as the whole content of `path`.
void writeOutputFile(const std::string& path, std::string_view bytes);

// Writes what `write` puts on the stream as the whole content of `path`. The stream writes
// to the hidden file in blocks, so a long output is never held in memory. An exception from
// `write` leaves the old file as it was and passes on unchanged.
void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write);

// Refuses (OutputFileError) a `path` that names an existing file other than a regular one,
// following symbolic links; does nothing for a regular file or a name not taken. Never opens
// the file, so never blocks. For checking a target before long work.
void requireWritableOutput(const std::string& path);

// Many files written as one group, for commands that write thousands of files at once (one
// result file per run of a batch): each file is checked and its content written to its hidden
// file as writeOutputFile does, but the contents are made durable by one sync of the file
// system at commit() instead of one per file, and each folder is searched for hidden files of
// killed processes and synced once. Nothing replaces a target before commit(); a group
// destroyed before it (or a failure in it) removes the hidden files it had not renamed yet and
// leaves those targets as they were. add() may be called from several threads at once.
class OutputFileGroup {
public:
    OutputFileGroup();
    ~OutputFileGroup();
    OutputFileGroup(const OutputFileGroup&) = delete;
    OutputFileGroup& operator=(const OutputFileGroup&) = delete;

    // Writes `bytes` as the coming content of `path`. Throws OutputFileError naming the path;
    // the other files of the group stay in it.
    void add(const std::string& path, std::string_view bytes);

    // Syncs the contents, renames every file into place in the order they were added, syncs
    // the folders. Throws OutputFileError naming the file that failed.
    void commit();

private:
    struct Part;
    std::mutex lock_;
    std::vector<Part> parts_;
    std::set<std::string> scannedFolders_;
};

}  // namespace zandor::tables

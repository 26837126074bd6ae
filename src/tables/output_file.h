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
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

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

}  // namespace zandor::tables

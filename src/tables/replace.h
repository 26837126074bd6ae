// Writing a table in a fresh work folder beside its name and moving it into place, so that a
// failure or a killed process never leaves a half-written table under the name.
//
// The work folder (".NAME~workPID-N", hidden, never taken for a table) receives the table and
// its companion files (a dBase .cpg, an ASCII .sch). Installing first records in the folder
// which files it is putting in place (the journal), then renames them one by one and syncs
// the folder. A work folder whose process is gone is dealt with the next time the name is
// written or opened, and at the start of every zandor-cli command that names it: with a
// journal, the interrupted installation is completed (the pair is new and whole); without
// one, nothing had been moved yet and the folder is removed (the old table is whole).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zandor::tables {

class WorkFolder {
public:
    // Completes or removes the stale work folders of `target` first, then makes a new one.
    // Throws TableError naming the target when the folder cannot be made.
    explicit WorkFolder(const std::string& target);
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    ~WorkFolder();  // removes the folder and everything in it unless installed

    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Moves every file of the folder beside the target, the file named `first` first. A file
    // it replaces passes its owner, group and access rights on to the new one. With `replace`
    // false an existing file of any of the names is refused ("... exists": TableExists for the
    // file `first`, and for any that appears while the files are being moved, when the files
    // already moved go back and nothing is left beside the target). Returns the names of the
    // files moved.
    std::vector<std::string> install(const std::string& first, bool replace);

private:
    std::string target_;
    std::string folder_;  // the target's folder, with its slash, or empty
    std::string path_;
    bool installed_ = false;
};

// Completes or removes the work folders left by processes that are gone, for `target`.
// Returns one line for each, saying what was done, for the user to see.
std::vector<std::string> recoverInterruptedWrites(const std::string& target);

// What a program does first with a table name it is given: the interrupted writes of the
// name completed or undone (recoverInterruptedWrites) and a lock file that nobody holds
// removed. Returns the lines of recoverInterruptedWrites.
std::vector<std::string> tidyTableName(const std::string& target);

// Brings the folder's entries (renames, new files) to disk.
void syncFolder(const std::string& folder);

// The hook for testing interrupted writes: when ZANDOR_FAULT_STEP is K, the K-th step of
// writing a table (each write of its content and each rename of an installation) ends the
// process at once, as a kill would.
void faultPoint();

// For tests within one process: `hook` runs at every step of writing a table (each point
// where faultPoint could end the process), as another program might act there. An empty
// function removes it.
void setFaultHook(std::function<void()> hook);

}  // namespace zandor::tables

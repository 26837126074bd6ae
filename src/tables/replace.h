// Writing a table in a fresh work folder beside its name and moving it into place, so that a
// failure or a killed process never leaves a half-written table under the name.
//
// The work folder (".NAME~workPID-N", hidden, never taken for a table) receives the table and
// its companion files (a dBase .cpg, an ASCII .sch). Installing first records in the folder
// which files it is putting in place (the journal), then renames them one by one and syncs
// the folder. A work folder whose process is gone is dealt with the next time the name is
// written or opened: with a journal, the interrupted installation is completed (the pair is
// new and whole); without one, nothing had been moved yet and the folder is removed (the old
// table is whole).
#pragma once

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

    // Moves every file of the folder beside the target, the file named `first` first. With
    // `replace` false an existing file of that name is refused (TableError "... exists") and
    // nothing is moved. Returns the names of the files moved.
    std::vector<std::string> install(const std::string& first, bool replace);

private:
    std::string target_;
    std::string folder_;  // the target's folder, with its slash, or empty
    std::string path_;
    bool installed_ = false;
};

// Completes or removes the work folders left by processes that are gone, for `target`.
void recoverInterruptedWrites(const std::string& target);

// Brings the folder's entries (renames, new files) to disk.
void syncFolder(const std::string& folder);

// The hook for testing interrupted writes: when ZANDOR_FAULT_STEP is K, the K-th step of
// writing a table (each write of its content and each rename of an installation) ends the
// process at once, as a kill would.
void faultPoint();

}  // namespace zandor::tables

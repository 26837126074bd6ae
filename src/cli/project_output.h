// What `zandor-cli project` does for its parsed arguments, shared with project-batch so that
// every run of a batch goes through the same code as a single command.
#pragma once

#include <cstdio>
#include <optional>

#include "cli/args.h"

namespace zandor::cli {

// The total population of the first and the last projected year (of the medium variant with
// --variants); none when no year is projected.
struct ProjectTotals {
    std::optional<double> first;
    std::optional<double> last;
};

// Runs the projection the arguments describe and writes what `project` prints to `out`, all
// at once after every run has succeeded. Throws as a command does (UsageError, Refusal,
// TableError, std::runtime_error).
ProjectTotals writeProjectOutput(const ParsedArgs& args, std::FILE* out);

}  // namespace zandor::cli

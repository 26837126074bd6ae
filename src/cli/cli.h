// zandor-cli: the batch interface to the engines. runCli is the whole program behind main(),
// so the tests call it directly with captured streams.
#pragma once

#include <string>
#include <vector>

#include "cli/args.h"

namespace zandor::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // unreadable file, table store error, ...
inline constexpr int kExitRefused = 2;  // the program's own refusal message
inline constexpr int kExitUsage = 64;   // unknown command or option, missing value

// `args` are the words after the program name. Writes to io.out and io.err; returns the
// exit status. Never throws.
int runCli(const std::vector<std::string>& args, Streams io);

// Every command, in the order the general help lists them.
const std::vector<const CommandSpec*>& commands();

}  // namespace zandor::cli

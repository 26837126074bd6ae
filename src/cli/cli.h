// zandor-cli: the batch interface to the engines. runCli is the whole program behind main(),
// so the tests call it directly with captured streams.
#pragma once

#include <string>
#include <string_view>
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

// What "zandor-cli --help" and "zandor-cli COMMAND --help" (or "zandor-cli help COMMAND")
// print.
std::string generalHelp();
std::string commandHelp(const CommandSpec& command);

// The paragraphs of the general help that the manual page repeats.
inline constexpr std::string_view kHelpPurpose =
    "Runs the table tools and analyses of Zandor without a window.\n";
inline constexpr std::string_view kHelpTablesAndOutput =
    "TABLE is the path of a table file: .db (Paradox) or .dbf (dBase), any case.\n"
    "Output is UTF-8 CSV on standard output: a header line first, a value quoted only\n"
    "when it holds a comma, a double quote or a line break. Numbers are written in the\n"
    "shortest form that reads back to the same double.\n"
    "A command that reads a table holds it for reading, as a window showing it does, and\n"
    "one that changes it holds it alone; while another program changes it, a command\n"
    "waits up to 3 seconds and then fails naming the table. A change of a table (or of a\n"
    "text table's .txt and .sch pair) that a stopped program left half done is completed\n"
    "or undone as soon as a command names the table, and said so on standard error.\n";
inline constexpr std::string_view kHelpExitStatus =
    "  0   success\n"
    "  1   failure (unreadable file, table store error); the message names the file\n"
    "  2   refused: the program's own message is written to standard error, nothing else\n"
    "      is written and no file is changed\n"
    "  64  usage error (unknown command or option, missing value)\n";

// The manual page zandor-cli(1) in roff, made from the same texts as the help. samplesDir
// names the folder of the installed sample tables.
std::string manualPage(std::string_view samplesDir);

}  // namespace zandor::cli

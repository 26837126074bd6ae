// The command line of zandor-cli: what each command accepts, and the parser that turns the
// words after the command name into positionals, option values and flags.
#pragma once

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::cli {

// A usage error: unknown command or option, missing value, wrong number of arguments.
// zandor-cli reports it with exit status 64.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a command writes. Plain C streams, so that dump can write large blocks and tests can
// capture both streams in memory (open_memstream).
struct Streams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

struct OptionSpec {
    std::string name;   // without the leading "--"
    bool takesValue = false;
    // The values the option allows; empty when any text is allowed.
    std::vector<std::string> choices = {};
    // How many words follow the option ("--div A B" takes two); the first is its value.
    int valueCount = 1;
};

struct ParsedArgs;

// How a command holds the table of its TABLE positional for its whole run: readers shared,
// as a window showing it does, so no rewrite happens under them; commands that read and then
// write the table exclusively, so no other program's change comes between; commands that
// write only when told to by --save hold it exclusively then and shared otherwise.
enum class TableHold { None, Shared, Exclusive, ExclusiveWhenSaving };

struct CommandSpec {
    std::string name;
    std::string summary;   // one line, for the general help
    std::string usage;     // "info TABLE"
    std::string help;      // the rest of the command's --help text
    std::string example = {};  // one command line, without "zandor-cli "
    std::vector<std::string> positionals;  // names, in order; all required
    std::vector<OptionSpec> options;
    std::vector<std::string> requiredOptions;
    int (*run)(const ParsedArgs& args, Streams& io) = nullptr;
    TableHold tableHold = TableHold::None;
};

struct ParsedArgs {
    std::vector<std::string> positionals;
    std::map<std::string, std::string> values;  // options that take a value
    std::map<std::string, std::vector<std::string>> moreValues;  // the words after the first
    std::set<std::string> flags;                // options without a value
    bool help = false;

    const std::string& positional(std::size_t i) const { return positionals.at(i); }
    bool has(std::string_view option) const;
    std::optional<std::string> value(std::string_view option) const;
    // Every word an option took, in order (empty when it was not given).
    std::vector<std::string> valueWords(std::string_view option) const;
};

// Parses the words after the command name. "--name value" and "--name=value" both work; an
// option of several words takes the words after it ("--div A B", "--div=A B").
// "--" ends the options (later words are positionals, even when they start with "--").
// "--help" anywhere sets `help` and skips every other check. Throws UsageError.
ParsedArgs parseArgs(const CommandSpec& command, std::span<const std::string> words);

// Calendar years on the command line: years 0 to 9999, and a span of at most 1000 years
// between the first and the last, checked before anything is sized by them.
inline constexpr int kLastYear = 9999;
inline constexpr int kLongestYearSpan = 1000;

// The value of the year option `name`. Not a whole number: UsageError; outside 0..9999: a
// Refusal naming the option (exit status 2).
int yearOption(const ParsedArgs& args, std::string_view name);

// Refuses (Refusal, exit status 2, naming both options) a last year more than 1000 years
// after the first.
void checkYearSpan(std::string_view firstName, int first, std::string_view lastName, int last);

}  // namespace zandor::cli

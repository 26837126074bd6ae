// The command dispatcher: finds the command, parses its arguments, runs it and maps the
// outcome onto the exit status and the messages on standard error.
#include "cli/cli.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string_view>
#include <variant>

#include "cli/commands.h"
#include "tables/replace.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "tables/table_lock.h"
#include "text/refusal.h"
#include "zandor_version.h"

namespace zandor::cli {

namespace {

constexpr std::string_view kProgram = "zandor-cli";

void print(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

const CommandSpec* findCommand(std::string_view name)
{
    for (const CommandSpec* command : commands())
        if (command->name == name)
            return command;
    return nullptr;
}

int usageError(std::FILE* err, std::string_view message, const CommandSpec* command)
{
    std::string text = std::string(kProgram) + ": " + std::string(message) + "\n";
    if (command)
        text += "Usage: " + std::string(kProgram) + " " + command->usage + "\n"
                + "Run '" + std::string(kProgram) + " " + command->name
                + " --help' for more.\n";
    else
        text += "Run '" + std::string(kProgram) + " --help' for the list of commands.\n";
    print(err, text);
    return kExitUsage;
}

int failure(std::FILE* err, std::string_view message)
{
    print(err, std::string(kProgram) + ": " + std::string(message) + "\n");
    return kExitFailure;
}

// The table names a command was given: its TABLE, SOURCE, TARGET and PATH words, and the
// table a statement names.
std::vector<std::string> tableNames(const CommandSpec& command, const ParsedArgs& args)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < command.positionals.size() && i < args.positionals.size(); ++i) {
        const std::string& kind = command.positionals[i];
        const std::string& word = args.positional(i);
        if (kind == "TABLE" || kind == "SOURCE" || kind == "TARGET")
            names.push_back(word);
        else if (kind == "PATH")
            names.push_back(tables::withDefaultExtension(word));
        else if (kind == "STATEMENT") {
            try {
                std::visit([&](const auto& statement) { names.push_back(statement.path); },
                           tables::parseStatement(word));
            } catch (const tables::TableError&) {
                // The statement is refused with its own message when it runs.
            }
        }
    }
    return names;
}

std::size_t tablePosition(const CommandSpec& command)
{
    const auto it = std::find(command.positionals.begin(), command.positionals.end(), "TABLE");
    return static_cast<std::size_t>(it - command.positionals.begin());
}

}  // namespace

std::string generalHelp()
{
    std::string text = "Usage: zandor-cli COMMAND [options]\n"
                       "       zandor-cli help [COMMAND]\n"
                       "       zandor-cli --version\n"
                       "\n";
    text += kHelpPurpose;
    text += "\nCommands:\n";
    for (const CommandSpec* command : commands()) {
        std::string line = "  " + command->name;
        line.resize(std::max<std::size_t>(line.size() + 1, 12), ' ');
        text += line + command->summary + "\n";
    }
    text += "\nRun 'zandor-cli COMMAND --help' (or 'zandor-cli help COMMAND') for what one command\n"
            "takes and writes.\n\n";
    text += kHelpTablesAndOutput;
    text += "\nExit status:\n";
    text += kHelpExitStatus;
    return text;
}

std::string commandHelp(const CommandSpec& command)
{
    std::string text = "Usage: " + std::string(kProgram) + " " + command.usage + "\n\n" + command.help;
    if (!command.example.empty())
        text += "\nExample:\n  " + std::string(kProgram) + " " + command.example + "\n";
    return text;
}

const std::vector<const CommandSpec*>& commands()
{
    static const std::vector<const CommandSpec*> all = {
        &infoCommand(),
        &dumpCommand(),
        &importCommand(),
        &exportCommand(),
        &prepareCommand(),
        &sqlCommand(),
        &convertCommand(),
        &lifeTableCommand(),
        &projectCommand(),
        &projectBatchCommand(),
        &projectUrCommand(),
        &chartCommand(),
        &qualityCommand(),
        &unIndexCommand(),
        &smoothCommand(),
        &graduateCommand(),
        &computeCommand(),
        &targetPlanCommand(),
        &endOfYearCommand(),
        &standardizeCommand(),
    };
    return all;
}

int runCli(const std::vector<std::string>& args, Streams io)
{
    if (args.empty()) {
        print(io.err, generalHelp());
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        if (args.size() > 1 && name == "help") {
            const CommandSpec* command = findCommand(args[1]);
            if (!command)
                return usageError(io.err, "unknown command '" + args[1] + "'", nullptr);
            print(io.out, commandHelp(*command));
        } else {
            print(io.out, generalHelp());
        }
        std::fflush(io.out);
        return kExitOk;
    }
    if (name == "--version") {
        print(io.out, std::string(kProgram) + " " + kVersion + "\n");
        std::fflush(io.out);
        return kExitOk;
    }
    const CommandSpec* command = findCommand(name);
    if (!command) {
        if (name.starts_with("-"))
            return usageError(io.err, "unknown option '" + name + "'", nullptr);
        return usageError(io.err, "unknown command '" + name + "'", nullptr);
    }

    try {
        const ParsedArgs parsed =
            parseArgs(*command, std::span<const std::string>(args).subspan(1));
        if (parsed.help) {
            print(io.out, commandHelp(*command));
            std::fflush(io.out);
            return kExitOk;
        }
        // A write to one of its tables that a stopped program left half done is completed or
        // undone first, and said so; a lock file such a program left is removed.
        for (const std::string& table : tableNames(*command, parsed))
            for (const std::string& note : tables::tidyTableName(table))
                print(io.err, std::string(kProgram) + ": " + note + "\n");
        tables::TableLock hold;
        if (command->tableHold != TableHold::None && tablePosition(*command) < parsed.positionals.size()) {
            const bool shared = command->tableHold == TableHold::Shared ||
                                (command->tableHold == TableHold::ExclusiveWhenSaving && !parsed.has("save"));
            hold = tables::TableLock::acquire(parsed.positional(tablePosition(*command)),
                                              shared ? tables::TableLock::Mode::Shared
                                                     : tables::TableLock::Mode::Exclusive);
        }
        const int status = command->run(parsed, io);
        if (std::fflush(io.out) != 0)
            return failure(io.err, "cannot write the output");
        return status;
    } catch (const UsageError& e) {
        return usageError(io.err, e.what(), command);
    } catch (const Refusal& e) {
        print(io.err, std::string(e.what()) + "\n");
        return kExitRefused;

    } catch (const std::bad_alloc&) {
        return failure(io.err, "out of memory");
    } catch (const std::exception& e) {
        return failure(io.err, e.what());
    }
}

}  // namespace zandor::cli

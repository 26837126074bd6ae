// The command dispatcher: finds the command, parses its arguments, runs it and maps the
// outcome onto the exit status and the messages on standard error.
#include "cli/cli.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string_view>

#include "cli/commands.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

constexpr std::string_view kProgram = "zandor-cli";

void print(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

void printGeneralHelp(std::FILE* stream)
{
    std::string text =
        "Usage: zandor-cli COMMAND [options]\n"
        "\n"
        "Runs the table tools and analyses of Zandor without a window.\n"
        "\n"
        "Commands:\n";
    for (const CommandSpec* command : commands()) {
        std::string line = "  " + command->name;
        line.resize(std::max<std::size_t>(line.size() + 1, 12), ' ');
        text += line + command->summary + "\n";
    }
    text +=
        "\n"
        "Run 'zandor-cli COMMAND --help' for what one command takes and writes.\n"
        "\n"
        "TABLE is the path of a table file: .db (Paradox) or .dbf (dBase), any case.\n"
        "Output is UTF-8 CSV on standard output: a header line first, a value quoted only\n"
        "when it holds a comma, a double quote or a line break. Numbers are written in the\n"
        "shortest form that reads back to the same double.\n"
        "\n"
        "Exit status:\n"
        "  0   success\n"
        "  1   failure (unreadable file, table store error); the message names the file\n"
        "  2   refused: the program's own message is written to standard error, nothing else\n"
        "      is written and no file is changed\n"
        "  64  usage error (unknown command or option, missing value)\n";
    print(stream, text);
}

void printCommandHelp(const CommandSpec& command, std::FILE* stream)
{
    print(stream, "Usage: " + std::string(kProgram) + " " + command.usage + "\n\n" + command.help);
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

}  // namespace

const std::vector<const CommandSpec*>& commands()
{
    static const std::vector<const CommandSpec*> all = {
        &infoCommand(),
        &dumpCommand(),
        &importCommand(),
        &prepareCommand(),
        &sqlCommand(),
        &convertCommand(),
        &lifeTableCommand(),
        &projectCommand(),
        &chartCommand(),
        &qualityCommand(),
        &unIndexCommand(),
        &computeCommand(),
        &targetPlanCommand(),
    };
    return all;
}

int runCli(const std::vector<std::string>& args, Streams io)
{
    if (args.empty()) {
        printGeneralHelp(io.err);
        return kExitUsage;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        if (args.size() > 1 && name == "help") {
            const CommandSpec* command = findCommand(args[1]);
            if (!command)
                return usageError(io.err, "unknown command '" + args[1] + "'", nullptr);
            printCommandHelp(*command, io.out);
        } else {
            printGeneralHelp(io.out);
        }
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
            printCommandHelp(*command, io.out);
            std::fflush(io.out);
            return kExitOk;
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

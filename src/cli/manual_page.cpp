// The manual page zandor-cli(1), made from the help texts so that the two never differ: each
// command's help is set as it prints, with its usage line and its example.
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "zandor_version.h"

namespace zandor::cli {

namespace {

// One line of text for roff: backslashes and hyphens escaped, and a line that would start
// with a control character ('.' or '\'') kept as text.
std::string roffLine(std::string_view line)
{
    std::string out;
    if (!line.empty() && (line.front() == '.' || line.front() == '\''))
        out += "\\&";
    for (char c : line) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// Text set line for line as it is written (no filling), each line escaped.
std::string verbatim(std::string_view text)
{
    std::string out = ".nf\n";
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        out += line.empty() ? std::string(".sp") : roffLine(line);
        out += '\n';
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return out + ".fi\n";
}

}  // namespace

std::string manualPage(std::string_view samplesDir)
{
    std::string page;
    page += ".TH ZANDOR\\-CLI 1 \"\" \"Velmora " + std::string(kVersion) + "\" \"User Commands\"\n";
    page += ".SH NAME\nzandor\\-cli \\- the table tools and analyses of Velmora (Zandor) without a window\n";
    page += ".SH SYNOPSIS\n"
            ".B zandor\\-cli\n.I COMMAND\n[\\fIoptions\\fR]\n.br\n"
            ".B zandor\\-cli help\n[\\fICOMMAND\\fR]\n.br\n"
            ".B zandor\\-cli \\-\\-version\n";
    page += ".SH DESCRIPTION\n" + verbatim(kHelpPurpose) + ".PP\n" + verbatim(kHelpTablesAndOutput);
    page += ".PP\n\\fBzandor\\-cli help\\fR \\fICOMMAND\\fR prints the same text as "
            "\\fBzandor\\-cli\\fR \\fICOMMAND\\fR \\fB\\-\\-help\\fR: the section of that command "
            "below. \\fB\\-\\-version\\fR prints the release.\n";
    page += ".SH COMMANDS\n";
    for (const CommandSpec* command : commands()) {
        page += ".SS " + roffLine(command->name) + "\n";
        page += roffLine(command->summary) + "\n.PP\n";
        page += verbatim(commandHelp(*command));
    }
    page += ".SH \"EXIT STATUS\"\n" + verbatim(kHelpExitStatus);
    page += ".SH FILES\n.TP\n" + roffLine(std::string(samplesDir)) + "\n"
            "The sample tables single_region.DB (one region) and urban_rural.DB (rural and urban), "
            "ages 0 to 100, with synthetic figures.\n";
    return page;
}

}  // namespace zandor::cli

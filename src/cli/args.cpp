// Argument parsing shared by every zandor-cli command.
#include "cli/args.h"

#include <algorithm>
#include <charconv>

#include "text/refusal.h"

namespace zandor::cli {

bool ParsedArgs::has(std::string_view option) const
{
    const std::string key(option);
    return flags.contains(key) || values.contains(key);
}

int yearOption(const ParsedArgs& args, std::string_view name)
{
    const std::string text = args.value(name).value_or("");
    long long year = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && end == text.data() + text.size() &&
                                                 (year < 0 || year > kLastYear)))
        throw Refusal("选项 --" + std::string(name) + " 的年份 " + text + " 不在 0 到 " + std::to_string(kLastYear) +
                      " 之间.");
    if (ec != std::errc() || end != text.data() + text.size())
        throw UsageError("option '--" + std::string(name) + "' takes a whole number, not '" + text + "'");
    return static_cast<int>(year);
}

void checkYearSpan(std::string_view firstName, int first, std::string_view lastName, int last)
{
    if (last - first > kLongestYearSpan)
        throw Refusal("选项 --" + std::string(firstName) + " 到 --" + std::string(lastName) + " 跨 " +
                      std::to_string(last - first) + " 年, 最多 " + std::to_string(kLongestYearSpan) + " 年.");
}

std::optional<std::string> ParsedArgs::value(std::string_view option) const
{
    auto it = values.find(std::string(option));
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

std::vector<std::string> ParsedArgs::valueWords(std::string_view option) const
{
    std::vector<std::string> words;
    const std::string key(option);
    if (auto it = values.find(key); it != values.end())
        words.push_back(it->second);
    if (auto it = moreValues.find(key); it != moreValues.end())
        words.insert(words.end(), it->second.begin(), it->second.end());
    return words;
}

namespace {

const OptionSpec* findOption(const CommandSpec& command, std::string_view name)
{
    for (const OptionSpec& option : command.options)
        if (option.name == name)
            return &option;
    return nullptr;
}

std::string joined(const std::vector<std::string>& items, std::string_view separator)
{
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty())
            out += separator;
        out += item;
    }
    return out;
}

}  // namespace

ParsedArgs parseArgs(const CommandSpec& command, std::span<const std::string> words)
{
    ParsedArgs parsed;
    for (const std::string& word : words) {
        if (word == "--")
            break;
        if (word == "--help" || word == "-h") {
            parsed.help = true;
            return parsed;
        }
    }

    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            parsed.positionals.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word[1] != '-')
            throw UsageError("unknown option '" + word + "'");

        std::string name = word.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const OptionSpec* option = findOption(command, name);
        if (!option)
            throw UsageError("unknown option '--" + name + "'");
        if (!option->takesValue) {
            if (inlineValue)
                throw UsageError("option '--" + name + "' takes no value");
            parsed.flags.insert(name);
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= words.size())
                throw UsageError("option '--" + name + "' needs a value");
            value = words[++i];
        }
        if (!option->choices.empty()
            && std::find(option->choices.begin(), option->choices.end(), value)
                   == option->choices.end())
            throw UsageError("option '--" + name + "' takes one of " + joined(option->choices, ", ")
                             + ", not '" + value + "'");
        if (parsed.values.contains(name))
            throw UsageError("option '--" + name + "' is given twice");
        if (option->valueCount > 1) {
            if (i + static_cast<std::size_t>(option->valueCount - 1) >= words.size())
                throw UsageError("option '--" + name + "' needs " + std::to_string(option->valueCount) + " values");
            for (int more = 1; more < option->valueCount; ++more)
                parsed.moreValues[name].push_back(words[++i]);
        }
        parsed.values[name] = std::move(value);
    }

    if (parsed.positionals.size() < command.positionals.size())
        throw UsageError("missing " + command.positionals[parsed.positionals.size()]);
    if (parsed.positionals.size() > command.positionals.size())
        throw UsageError("unexpected argument '" + parsed.positionals[command.positionals.size()] + "'");
    for (const std::string& required : command.requiredOptions)
        if (!parsed.has(required))
            throw UsageError("missing option '--" + required + "'");
    return parsed;
}

}  // namespace zandor::cli

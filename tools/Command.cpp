#include "tools/Command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tools {

namespace {

constexpr const char* kTool = "tarvo-tool";

// A wrong command line: reported like a Failure, with exit code 2.
struct UsageError {
    std::string reason;
};

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// "archive list"; just "picture" for a group's unnamed command.
std::string FullName(const CommandGroup& group, const Command& command) {
    return command.name.empty() ? group.name : group.name + " " + command.name;
}

std::string CommandLine(const CommandGroup& group, const Command& command) {
    std::string line = FullName(group, command);
    if (!command.usage.empty()) line += " " + command.usage;
    return line;
}

void PrintTable(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
    size_t width = 0;
    for (const auto& row : rows)
        width = std::max(width, row.first.size());
    for (const auto& [left, right] : rows)
        out << "  " << left << std::string(width - left.size() + 2, ' ') << right << "\n";
}

void PrintToolHelp(std::ostream& out, const std::vector<CommandGroup>& groups) {
    out << "usage: " << kTool << " GROUP COMMAND [OPTIONS] ARGS...\n\n"
        << "Inspects and writes the data files of Tarvo Engine.\n\ncommands:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const CommandGroup& group : groups)
        for (const Command& command : group.commands)
            rows.emplace_back(CommandLine(group, command), command.summary);
    PrintTable(out, rows);
    out << "\n'" << kTool << " GROUP --help' or '" << kTool
        << " GROUP COMMAND --help' tells more.\n";
}

void PrintGroupHelp(std::ostream& out, const CommandGroup& group) {
    out << "usage: " << kTool << " " << group.name << " COMMAND [OPTIONS] ARGS...\n\n"
        << group.summary << "\n\ncommands:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Command& command : group.commands) {
        const char* gap = command.name.empty() || command.usage.empty() ? "" : " ";
        rows.emplace_back(command.name + gap + command.usage, command.summary);
    }
    PrintTable(out, rows);
}

void PrintCommandHelp(std::ostream& out, const CommandGroup& group, const Command& command) {
    out << "usage: " << kTool << " " << CommandLine(group, command) << "\n\n"
        << command.summary << "\n";
    if (!command.details.empty()) out << "\n" << command.details << "\n";
    if (!command.options.empty()) {
        out << "\noptions:\n";
        std::vector<std::pair<std::string, std::string>> rows;
        for (const Option& option : command.options)
            rows.emplace_back(option.name +
                                  (option.valueName.empty() ? "" : " " + option.valueName),
                              option.help);
        PrintTable(out, rows);
    }
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// Parses the arguments after GROUP COMMAND. Returns false when help was asked for.
bool ParseInvocation(const CommandGroup& group, const Command& command,
                     std::span<const std::string> args, std::vector<std::string>& positional,
                     std::map<std::string, std::string>& options) {
    const std::string where = FullName(group, command) + ": ";
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (IsHelp(arg)) return false;
        size_t eq = arg.find('=');
        std::string name = arg.substr(0, eq);
        auto option = std::find_if(command.options.begin(), command.options.end(),
                                   [&](const Option& o) { return o.name == name; });
        if (option == command.options.end())
            throw UsageError{where + "unknown option '" + name + "'"};
        if (options.count(name) != 0) throw UsageError{where + "option " + name + " given twice"};
        if (option->valueName.empty()) {
            if (eq != std::string::npos)
                throw UsageError{where + "option " + name + " takes no value"};
            options[name] = "";
        } else if (eq != std::string::npos) {
            options[name] = arg.substr(eq + 1);
        } else if (i + 1 < args.size()) {
            options[name] = args[++i];
        } else {
            throw UsageError{where + "option " + name + " needs a value " + option->valueName};
        }
    }
    if (positional.size() < command.minArgs || positional.size() > command.maxArgs)
        throw UsageError{where + "wrong number of arguments (usage: " + kTool + " " +
                         CommandLine(group, command) + ")"};
    return true;
}

int Dispatch(std::span<const std::string> args, const std::vector<CommandGroup>& groups,
             std::ostream& out) {
    if (args.empty())
        throw UsageError{std::string("no command given (try '") + kTool + " --help')"};
    if (IsHelp(args[0]) || args[0] == "help") {
        PrintToolHelp(out, groups);
        return 0;
    }
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const CommandGroup& g) { return g.name == args[0]; });
    if (group == groups.end())
        throw UsageError{"unknown command '" + args[0] + "' (try '" + kTool + " --help')"};
    if (args.size() < 2)
        throw UsageError{group->name + ": no command given (try '" + kTool + " " + group->name +
                         " --help')"};
    if (IsHelp(args[1])) {
        PrintGroupHelp(out, *group);
        return 0;
    }
    auto command = std::find_if(group->commands.begin(), group->commands.end(),
                                [&](const Command& c) { return c.name == args[1]; });
    size_t argsStart = 2;
    if (command == group->commands.end()) {
        // A group's unnamed command takes every argument that names no other command.
        command = std::find_if(group->commands.begin(), group->commands.end(),
                               [](const Command& c) { return c.name.empty(); });
        argsStart = 1;
    }
    if (command == group->commands.end())
        throw UsageError{group->name + ": unknown command '" + args[1] + "' (try '" + kTool + " " +
                         group->name + " --help')"};

    std::vector<std::string> positional;
    std::map<std::string, std::string> options;
    if (!ParseInvocation(*group, *command, args.subspan(argsStart), positional, options)) {
        PrintCommandHelp(out, *group, *command);
        return 0;
    }
    Invocation invocation{std::move(positional), std::move(options), out};
    try {
        command->run(invocation);
    } catch (const Failure& failure) {
        throw Failure(FullName(*group, *command) + ": " + failure.what());
    }
    return 0;
}

} // namespace

std::string Invocation::Get(const std::string& option, const std::string& fallback) const {
    auto it = options.find(option);
    return it == options.end() ? fallback : it->second;
}

std::vector<CommandGroup> AllGroups() {
    // One line per data format.
    return {ArchiveCommands(), ScriptCommands(), PictureCommands(),  BgCommands(),
            FlicCommands(),    QrcCommands(),    DialogueCommands(), SaveCommands(),
            SoundCommands(),   WalkCommands(),   CycleCommands()};
}

int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    return RunTool(args, AllGroups(), out, err);
}

int RunTool(std::span<const std::string> args, const std::vector<CommandGroup>& groups,
            std::ostream& out, std::ostream& err) {
    int code;
    try {
        code = Dispatch(args, groups, out);
        out.flush();
        if (!out) throw Failure("cannot write the output");
    } catch (const UsageError& e) {
        err << kTool << ": " << OneLine(e.reason) << "\n";
        return 2;
    } catch (const std::exception& e) {
        err << kTool << ": " << OneLine(e.what()) << "\n";
        return 1;
    }
    return code;
}

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) throw Failure("cannot open " + path.string() + ": " + std::strerror(errno));
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        data.insert(data.end(), buffer, buffer + got);
    if (std::ferror(file.get()))
        throw Failure("cannot read " + path.string() + ": " + std::strerror(errno));
    return data;
}

void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> data) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw Failure("cannot create " + path.string() + ": " + std::strerror(errno));
    bool ok = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    int savedErrno = errno;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) throw Failure("cannot write " + path.string() + ": " + std::strerror(savedErrno));
}

} // namespace tools

#pragma once
// The command dispatcher of tarvo-tool. Commands come in groups, one group per data format
// ("archive", later "flic", "picture", ...), each defined in its own file:
//
//   tarvo-tool GROUP COMMAND [OPTIONS] ARGS...
//
// A group file provides a function returning its CommandGroup and adds it to AllGroups()
// in Command.cpp. A command with an empty name is the group's default: it runs when the
// word after GROUP names no other command ("tarvo-tool picture FILE OUT.png"). The
// dispatcher parses options and counts arguments from the command's description, prints
// help (`--help` on the tool, on a group and on a command) and turns failures into a
// non-zero exit with one line "tarvo-tool: REASON" on the error stream.
#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tools {

// Thrown by a command to stop with a one-line reason (exit code 1).
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Option {
    std::string name;      // "--from"
    std::string valueName; // "DIR"; empty for a flag without a value
    std::string help;
};

// What a command receives: its positional arguments, the options given (a flag maps to ""),
// and the stream for its normal output.
struct Invocation {
    std::vector<std::string> args;
    std::map<std::string, std::string> options;
    std::ostream& out;

    bool Has(const std::string& option) const { return options.count(option) != 0; }
    std::string Get(const std::string& option, const std::string& fallback = {}) const;
};

struct Command {
    std::string name;  // "list"
    std::string usage; // the arguments, for help: "FILE [--from DIR] NAME..."
    std::string summary;
    std::string details; // longer help text, may be empty
    std::vector<Option> options;
    size_t minArgs = 0;
    size_t maxArgs = 0; // kUnlimited for no upper bound
    void (*run)(const Invocation&) = nullptr;
};

inline constexpr size_t kUnlimited = static_cast<size_t>(-1);

struct CommandGroup {
    std::string name; // "archive"
    std::string summary;
    std::vector<Command> commands;
};

// Every group of the tool, in help order.
std::vector<CommandGroup> AllGroups();

// The groups (one per file).
CommandGroup ArchiveCommands();
CommandGroup ScriptCommands();
CommandGroup PictureCommands();
CommandGroup BgCommands();
CommandGroup FlicCommands();
CommandGroup QrcCommands();
CommandGroup DialogueCommands();
CommandGroup SaveCommands();
CommandGroup SoundCommands();
CommandGroup WalkCommands();
CommandGroup CycleCommands();

// Runs the tool on its arguments (without the program name). Returns the exit code:
// 0 success, 1 failure of the command, 2 wrong usage.
int RunTool(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int RunTool(std::span<const std::string> args, const std::vector<CommandGroup>& groups,
            std::ostream& out, std::ostream& err);

// File helpers for commands; they throw Failure with the path in the reason.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> data);

} // namespace tools

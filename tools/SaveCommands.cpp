// tarvo-tool save dump: a saved game ("save.dat", "autosave.dat") in readable form.
#include "tools/Command.h"

#include "core/SaveFormat.h"

namespace tools {

namespace {

void Dump(const Invocation& in) {
    const std::vector<uint8_t> bytes = ReadFileBytes(in.args[0]);
    SavedGame game;
    std::string error;
    if (!ParseSavedGame(bytes, game, error)) throw Failure(in.args[0] + ": " + error);
    in.out << DescribeSavedGame(game);
}

} // namespace

CommandGroup SaveCommands() {
    CommandGroup group{"save", "Saved games (save.dat, autosave.dat).", {}};
    group.commands.push_back(Command{
        "dump",
        "FILE",
        "print a saved game: every object record, the inventory, the room, the characters' "
        "feet, the size of the conversation code and the cursor",
        "A file that the game would refuse to load is refused here with the same reason.",
        {},
        1,
        1,
        Dump,
    });
    return group;
}

} // namespace tools

// tarvo-tool archive list|extract|create: the "StOR" data archives.
#include "tools/Command.h"

#include "resources/ArchiveFormat.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>

namespace fs = std::filesystem;

namespace tools {

namespace {

// The path under the extraction folder for a stored name ("SPEECH\\A.WAV" -> SPEECH/A.WAV),
// or nothing (with the reason) when the name could leave the folder or names no file.
std::optional<fs::path> RelativePathOf(const std::string& stored, std::string& why) {
    std::string name = stored;
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty()) {
        why = "empty name";
        return std::nullopt;
    }
    if (name.front() == '/') {
        why = "absolute name";
        return std::nullopt;
    }
    if (name.back() == '/') {
        why = "name of a folder";
        return std::nullopt;
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) {
            why = "name with a '..' part";
            return std::nullopt;
        }
        start = end + 1;
    }
    return fs::path(name);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::vector<resources::ArchiveEntry> ReadDirectory(const std::string& file,
                                                   std::vector<uint8_t>& image) {
    image = ReadFileBytes(file);
    std::vector<resources::ArchiveEntry> entries;
    std::string why;
    if (!resources::ParseArchive(image, entries, &why))
        throw Failure(file + ": not a valid StOR archive: " + why);
    return entries;
}

void List(const Invocation& in) {
    std::vector<uint8_t> image;
    for (const resources::ArchiveEntry& e : ReadDirectory(in.args[0], image))
        in.out << e.name << '\t' << e.offset << '\t' << e.size << '\n';
}

bool Within(const fs::path& path, const fs::path& base) {
    auto [b, p] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
    return b == base.end();
}

void Extract(const Invocation& in) {
    const std::string& file = in.args[0];
    const fs::path dir = in.args[1];
    std::vector<uint8_t> image;
    auto entries = ReadDirectory(file, image);

    // Every name is checked before anything is written.
    std::vector<fs::path> paths;
    for (const resources::ArchiveEntry& e : entries) {
        std::string why;
        auto path = RelativePathOf(e.name, why);
        if (!path) throw Failure("entry '" + e.name + "' refused (" + why + ")");
        paths.push_back(*path);
    }

    fs::create_directories(dir);
    const fs::path base = fs::canonical(dir);
    std::set<fs::path> written;
    size_t count = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const resources::ArchiveEntry& e = entries[i];
        fs::path target = (base / paths[i]).lexically_normal();
        if (!written.insert(target).second) {
            // The game reads the first of two equal names; keep that one.
            in.out << "skipped '" << e.name << "': same file as an earlier entry\n";
            continue;
        }
        fs::create_directories(target.parent_path());
        // Folders already present could be links leading elsewhere: stay inside DIR.
        if (!Within(fs::canonical(target.parent_path()), base) || fs::is_symlink(target))
            throw Failure("entry '" + e.name + "' would be written outside " + dir.string());
        WriteFileBytes(target, std::span<const uint8_t>(image).subspan(e.offset, e.size));
        ++count;
    }
    in.out << "extracted " << count << " entries to " << dir.string() << "\n";
}

void Create(const Invocation& in) {
    const std::string& file = in.args[0];
    const fs::path from = in.Get("--from", ".");
    std::vector<resources::ArchiveMember> members;
    for (size_t i = 1; i < in.args.size(); ++i) {
        const std::string& given = in.args[i];
        std::string stored = given;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        std::string why;
        auto relative = RelativePathOf(stored, why);
        if (!relative) throw Failure("name '" + given + "' refused (" + why + ")");
        for (const resources::ArchiveMember& m : members)
            if (EqualIgnoringCase(m.name, stored))
                throw Failure("name '" + given + "' given twice (names ignore case)");
        members.push_back({stored, ReadFileBytes(from / *relative)});
    }
    std::vector<uint8_t> image;
    std::string why;
    if (!resources::BuildArchive(members, image, &why)) throw Failure(why);
    WriteFileBytes(file, image);
}

} // namespace

CommandGroup ArchiveCommands() {
    CommandGroup group{"archive", "StOR data archives (main.str, patch.str).", {}};
    group.commands.push_back(
        Command{"list",
                "FILE",
                "print each entry: name, data offset, data size (tab-separated)",
                "",
                {},
                1,
                1,
                &List});
    group.commands.push_back(Command{
        "extract",
        "FILE DIR",
        "write every entry as a file under DIR",
        "Names are stored with '\\' between folders; SPEECH\\A.WAV becomes DIR/SPEECH/A.WAV.\n"
        "An archive with a name that would leave DIR (absolute, or with a '..' part) is\n"
        "refused before anything is written. Of entries with the same name, the first\n"
        "(the one the game reads) is written.",
        {},
        2,
        2,
        &Extract});
    group.commands.push_back(Command{
        "create",
        "FILE [--from DIR] NAME...",
        "write an archive holding the named files",
        "Each NAME is read from DIR (default: the current folder) and stored as given, with\n"
        "'/' turned into '\\' as the game asks for it: speech/a.wav is stored as\n"
        "speech\\a.wav. The game matches names without regard to case.",
        {{"--from", "DIR", "folder the NAMEs are read from (default: .)"}},
        2,
        kUnlimited,
        &Create});
    return group;
}

} // namespace tools

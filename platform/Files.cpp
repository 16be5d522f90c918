#include "platform/Files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace platform {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `component` ignoring ASCII case, or "" if none.
std::string FindInFolder(const std::string& folder, const std::string& component) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return {};
    std::string found;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Join(const std::string& folder, const std::string& part) {
    if (folder.empty()) return part;
    return folder.back() == '/' ? folder + part : folder + "/" + part;
}

} // namespace

std::string ResolveDataPath(std::string_view name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || Exists(path)) return path;

    const bool absolute = path.front() == '/';
    std::string resolved = absolute ? "/" : "";
    for (const std::string& part : SplitComponents(path)) {
        const std::string joined = Join(resolved, part);
        if (part == "." || part == ".." || Exists(joined)) {
            resolved = joined;
            continue;
        }
        const std::string match = FindInFolder(resolved, part);
        if (match.empty()) return path; // not found: the plain name, for the caller's error
        resolved = Join(resolved, match);
    }
    return resolved;
}

} // namespace platform

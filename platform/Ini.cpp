#include "platform/Ini.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "platform/Files.h"

namespace platform {

namespace {

// Case folding for Windows-1251 text: ASCII letters, Cyrillic А..Я / а..я and Ё / ё, so that
// room names written in either case find their sections.
unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32);
    if (c == 0xA8) return 0xB8;
    return c;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(static_cast<unsigned char>(a[i])) !=
            FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view s) {
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// Files are parsed once and kept while they are the same file (a file replaced by renaming
// another over it, as the profile is written, is a new one) with the same size and
// modification time. The time alone is not enough: it moves in steps of a few milliseconds,
// so a file written twice within one step would keep its first contents.
struct CachedIni {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    struct timespec mtime {};
    IniFile ini;
};

IniFile LoadCached(const std::string& fileName) {
    static std::mutex lock;
    static std::unordered_map<std::string, CachedIni> cache;
    const std::string path = ResolveDataPath(fileName);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return IniFile{};
    std::lock_guard guard(lock);
    CachedIni& entry = cache[path];
    if (entry.device == st.st_dev && entry.inode == st.st_ino && entry.size == st.st_size &&
        entry.mtime.tv_sec == st.st_mtim.tv_sec && entry.mtime.tv_nsec == st.st_mtim.tv_nsec)
        return entry.ini;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    entry.device = st.st_dev;
    entry.inode = st.st_ino;
    entry.size = st.st_size;
    entry.mtime = st.st_mtim;
    entry.ini = IniFile::Parse(text.str());
    return entry.ini;
}

} // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name =
                Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            current = ini.FindSection(name);
            if (current == nullptr) {
                ini.sections_.push_back(Section{std::string(name), {}});
                current = &ini.sections_.back();
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        current->entries.push_back(Entry{std::string(Trim(line.substr(0, eq))),
                                         std::string(Unquote(Trim(line.substr(eq + 1))))});
    }
    return ini;
}

IniFile IniFile::Load(const std::string& fileName) {
    return LoadCached(fileName);
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    for (Section& s : sections_)
        if (EqualsIgnoreCase(s.name, name)) return &s;
    return nullptr;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

const std::string* IniFile::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return nullptr;
    for (const Entry& e : s->entries)
        if (EqualsIgnoreCase(e.key, key)) return &e.value;
    return nullptr;
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->entries)
            keys.push_back(e.key);
    return keys;
}

std::vector<std::string> IniFile::Sections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_)
        names.push_back(s.name);
    return names;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    Section* s = FindSection(section);
    if (s == nullptr) {
        sections_.push_back(Section{section, {}});
        s = &sections_.back();
    }
    for (Entry& e : s->entries) {
        if (EqualsIgnoreCase(e.key, key)) {
            e.value = value;
            return;
        }
    }
    s->entries.push_back(Entry{key, value});
}

std::string IniFile::ToText() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!out.empty()) out += "\n";
        out += "[" + s.name + "]\n";
        for (const Entry& e : s.entries)
            out += e.key + "=" + e.value + "\n";
    }
    return out;
}

size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, char* out, size_t size,
                               const std::string& fileName) {
    if (out == nullptr || size == 0) return 0;
    const IniFile ini = IniFile::Load(fileName);
    const std::string* value = ini.Find(section, key);
    std::string_view result = value != nullptr ? std::string_view(*value) : Trim(defaultValue);
    const size_t n = std::min(result.size(), size - 1);
    std::memcpy(out, result.data(), n);
    out[n] = '\0';
    return n;
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& fileName) {
    const IniFile ini = IniFile::Load(fileName);
    const std::string* value = ini.Find(section, key);
    if (value == nullptr) return defaultValue;
    // Leading decimal digits after an optional sign, as the system call reads them; text
    // without digits reads as 0.
    std::string_view v = *value;
    bool negative = false;
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    int64_t n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') break;
        n = std::min<int64_t>(n * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<int>(negative ? -n : n);
}

} // namespace platform

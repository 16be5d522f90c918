// The file layer: loose files first, then the "StOR" archives in the order opened.
//
// Locking:
// - g_tableMutex guards the slot table's archive/entry fields, the archive count, and the
//   opening and closing of archives (FileOpen, FileClose, OpenArchive, CloseArchives,
//   ResetFileTable, and the look-up of a slot at the start of the other operations).
// - Each archive's own mutex covers a read through it as one unit: the seek of the shared
//   archive file, the read, and the update of the cached file position and of the slot's
//   position. The slot positions are only touched under that mutex.
// - An archive's handle and directory change only with both locks held (table first, then
//   archive), so holding either one is enough to read them.
#include "resources/FileAccess.h"

#include "resources/ArchiveFormat.h"

#include <array>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kFreeSlot = 0xFF;

struct Slot {
    uint8_t archive = kFreeSlot; // index into g_archives, or kFreeSlot
    uint32_t entry = 0;          // index into that archive's directory
    int32_t position = 0;        // read position inside the entry (under the archive's mutex)
};

struct Archive {
    std::mutex mutex;
    RawHandle handle = 0; // 0 once closed
    std::vector<resources::ArchiveEntry> entries;
    int64_t cachedPosition = -1; // the archive file's position, -1 when unknown
    int32_t fileSize = 0;
    int32_t directorySize = 0;
    std::string name;
};

std::mutex g_tableMutex;
std::array<Slot, kMaxOpenEntries> g_slots;
// Fixed storage: an Archive is never destroyed, so a reader that looked up a slot just before
// CloseArchives finds a closed archive (handle 0) under its lock rather than freed memory.
std::array<Archive, kMaxArchives> g_archives;
uint8_t g_archiveCount = 0;

bool IsLoose(int32_t handle) {
    return handle >= kLooseFileBase;
}
RawHandle LooseRaw(int32_t handle) {
    return static_cast<RawHandle>(handle - kLooseFileBase);
}

// The archive and slot behind an entry handle, or null when the slot is free or its archive
// is gone. The caller then locks the archive and checks it is still open (EntryOf).
Archive* LookUpSlot(int32_t handle, Slot*& slot) {
    if (handle < 0 || handle >= kMaxOpenEntries) return nullptr;
    std::lock_guard lock(g_tableMutex);
    Slot& s = g_slots[static_cast<size_t>(handle)];
    if (s.archive == kFreeSlot || s.archive >= g_archiveCount) return nullptr;
    slot = &s;
    return &g_archives[s.archive];
}

// With the archive's mutex held: the slot's entry, or null when the archive was closed.
const resources::ArchiveEntry* EntryOf(const Archive& archive, const Slot& slot) {
    if (archive.handle == 0 || slot.entry >= archive.entries.size()) return nullptr;
    return &archive.entries[slot.entry];
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace

void ResetFileTable() {
    std::lock_guard lock(g_tableMutex);
    for (Slot& s : g_slots)
        s = Slot{};
}

int OpenArchive(const char* name) {
    if (name == nullptr) return -1;
    std::lock_guard lock(g_tableMutex);
    if (g_archiveCount >= kMaxArchives) return -1;

    // Opened read-only, unlike the original (read and write, not shared): nothing ever writes
    // to an archive, and a read-write open would fail on a read-only installation.
    RawHandle handle = RawOpen(name, kRawRead);
    if (handle == 0) return -1;
    auto fail = [handle] {
        RawClose(handle);
        return -1;
    };

    uint8_t header[resources::kArchiveHeaderSize];
    if (RawRead(handle, header, sizeof header) != static_cast<int32_t>(sizeof header))
        return fail();
    int32_t size = RawSize(handle);
    uint32_t directoryOffset = 0;
    if (size < 0 ||
        !resources::ParseArchiveHeader(header, static_cast<uint64_t>(size), directoryOffset))
        return fail();
    // The header check guarantees directoryOffset + 4 <= size <= INT32_MAX.
    int32_t directorySize = size - static_cast<int32_t>(directoryOffset);
    if (!RawSeek(handle, static_cast<int32_t>(directoryOffset), 0)) return fail();

    std::vector<uint8_t> directory;
    std::vector<resources::ArchiveEntry> entries;
    try {
        directory.resize(static_cast<size_t>(directorySize));
        if (RawRead(handle, directory.data(), directorySize) != directorySize) return fail();
        if (!resources::ParseArchiveDirectory(directory, directoryOffset, entries)) return fail();
    } catch (const std::bad_alloc&) {
        return fail();
    }

    Archive& archive = g_archives[g_archiveCount];
    {
        std::lock_guard archiveLock(archive.mutex);
        archive.handle = handle;
        archive.entries = std::move(entries);
        archive.cachedPosition = size;
        archive.fileSize = size;
        archive.directorySize = directorySize;
        archive.name = name;
    }
    return g_archiveCount++;
}

void CloseArchives() {
    std::lock_guard lock(g_tableMutex);
    for (size_t i = 0; i < g_archiveCount; ++i) {
        Archive& archive = g_archives[i];
        std::lock_guard archiveLock(archive.mutex); // waits for a read in progress
        if (archive.handle != 0) RawClose(archive.handle);
        archive.handle = 0;
        archive.entries.clear();
        archive.entries.shrink_to_fit();
        archive.cachedPosition = -1;
        archive.fileSize = 0;
        archive.directorySize = 0;
        archive.name.clear();
    }
    // Slots still pointing into the archives are left alone; they now fail to read.
    g_archiveCount = 0;
}

int32_t FileOpen(const char* name) {
    if (name == nullptr) return -1;
    std::string trimmed(name);
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.back()) <= 32)
        trimmed.pop_back();
    if (trimmed.empty()) return -1;

    RawHandle raw = RawOpen(trimmed.c_str(), kRawRead);
    if (raw != 0) {
        if (raw > INT32_MAX - kLooseFileBase) { // cannot be expressed as a file handle
            RawClose(raw);
            return -1;
        }
        return static_cast<int32_t>(raw) + kLooseFileBase;
    }

    std::lock_guard lock(g_tableMutex);
    int32_t free = -1;
    for (int32_t i = 0; i < kMaxOpenEntries; ++i) {
        if (g_slots[static_cast<size_t>(i)].archive == kFreeSlot) {
            free = i;
            break;
        }
    }
    if (free < 0 || g_archiveCount == 0) return -1;

    for (uint8_t a = 0; a < g_archiveCount; ++a) {
        const auto& entries = g_archives[a].entries;
        for (size_t e = 0; e < entries.size(); ++e) {
            if (EqualIgnoringCase(entries[e].name, trimmed)) {
                Slot& slot = g_slots[static_cast<size_t>(free)];
                slot.archive = a;
                slot.entry = static_cast<uint32_t>(e);
                slot.position = 0;
                return free;
            }
        }
    }
    return -1;
}

int32_t FileRead(int32_t handle, void* buffer, int32_t count) {
    if (handle < 0) return 0;
    if (count < 0 || (buffer == nullptr && count > 0)) return -1;
    if (IsLoose(handle)) return RawRead(LooseRaw(handle), buffer, count);

    Slot* slot = nullptr;
    Archive* archive = LookUpSlot(handle, slot);
    if (archive == nullptr) return -1;
    std::lock_guard lock(archive->mutex);
    const resources::ArchiveEntry* entry = EntryOf(*archive, *slot);
    if (entry == nullptr) return -1;
    // Never past the entry's end (the original read on into the following bytes).
    if (int64_t{slot->position} + count > int64_t{entry->size}) return -1;
    if (count == 0) return 0;

    int64_t target = int64_t{entry->offset} + slot->position; // < fileSize <= INT32_MAX
    if (archive->cachedPosition != target) {
        if (!RawSeek(archive->handle, static_cast<int32_t>(target), 0)) {
            archive->cachedPosition = -1;
            return -1;
        }
        archive->cachedPosition = target;
    }
    if (RawRead(archive->handle, buffer, count) != count) {
        archive->cachedPosition = -1; // a failed read may have moved the file anywhere
        return -1;
    }
    archive->cachedPosition += count;
    slot->position += count;
    return count;
}

int FileReadByte(int32_t handle) {
    if (handle < 0) return -1;
    uint8_t byte = 0;
    if (FileRead(handle, &byte, 1) != 1) return 0;
    return byte;
}

int32_t FileSeek(int32_t handle, int32_t value, int origin) {
    if (handle < 0) return -1;
    if (IsLoose(handle)) {
        RawHandle raw = LooseRaw(handle);
        if (!RawSeek(raw, value, origin)) return -1;
        return RawTell(raw);
    }

    Slot* slot = nullptr;
    Archive* archive = LookUpSlot(handle, slot);
    if (archive == nullptr) return -1;
    std::lock_guard lock(archive->mutex);
    const resources::ArchiveEntry* entry = EntryOf(*archive, *slot);
    if (entry == nullptr) return -1;
    int64_t position;
    switch (origin) {
    case 0:
        position = value;
        break;
    case 1:
        position = int64_t{slot->position} + value;
        break;
    case 2:
        position = int64_t{entry->size} - value;
        break; // counted back from the end
    default:
        return -1;
    }
    if (position < 0 || position > INT32_MAX) return -1;
    // No file access until the next read; a position past the end makes reads fail.
    slot->position = static_cast<int32_t>(position);
    return slot->position;
}

int32_t FileTell(int32_t handle) {
    if (handle < 0) return -1;
    if (IsLoose(handle)) return RawTell(LooseRaw(handle));
    Slot* slot = nullptr;
    Archive* archive = LookUpSlot(handle, slot);
    if (archive == nullptr) return -1;
    std::lock_guard lock(archive->mutex);
    if (EntryOf(*archive, *slot) == nullptr) return -1;
    return slot->position;
}

int32_t FileSize(int32_t handle) {
    if (handle < 0) return -1;
    if (IsLoose(handle)) return RawSize(LooseRaw(handle));
    Slot* slot = nullptr;
    Archive* archive = LookUpSlot(handle, slot);
    if (archive == nullptr) return -1;
    std::lock_guard lock(archive->mutex);
    const resources::ArchiveEntry* entry = EntryOf(*archive, *slot);
    // Entry sizes fit in int32: an entry lies inside a file of at most INT32_MAX bytes.
    return entry == nullptr ? -1 : static_cast<int32_t>(entry->size);
}

void FileClose(int32_t handle) {
    if (handle < 0) return;
    if (IsLoose(handle)) {
        RawClose(LooseRaw(handle));
        return;
    }
    if (handle >= kMaxOpenEntries) return;
    std::lock_guard lock(g_tableMutex);
    g_slots[static_cast<size_t>(handle)].archive = kFreeSlot;
}

bool FileReadAll(const char* name, std::vector<uint8_t>& out) {
    int32_t handle = FileOpen(name);
    if (handle < 0) return false;
    bool ok = false;
    int32_t size = FileSize(handle);
    if (size >= 0) {
        try {
            std::vector<uint8_t> data(static_cast<size_t>(size));
            if (FileRead(handle, data.data(), size) == size) {
                out = std::move(data);
                ok = true;
            }
        } catch (const std::bad_alloc&) {
        }
    }
    FileClose(handle);
    return ok;
}

#pragma once
// Game data files, loose on disk or inside "StOR" archives. A name is looked up as a loose
// file first, then in the archives in the order they were opened ("patch.str" before
// "main.str"). Handles: 0..999 an open archive entry, 1000 and above a loose file, -1 none.
//
// Reads of one archive from several threads (the main thread and sound threads) are
// serialised by a lock per archive; a read through an entry never runs past the entry's end.
#include <cstdint>
#include <vector>

// Plain files below the layer; all-or-nothing reads.
using RawHandle = intptr_t; // 0 = failure

enum RawMode { kRawRead = 0, kRawWrite = 1, kRawReadWrite = 2 };

RawHandle RawOpen(const char* name, int mode);
int32_t RawRead(RawHandle handle, void* buffer, int32_t count); // count, or -1
int RawClose(RawHandle handle);                                 // 1 / 0
int RawSeek(RawHandle handle, int32_t distance, int origin);    // 1 / 0
int32_t RawTell(RawHandle handle);                              // position, or -1
int32_t RawSize(RawHandle handle);                              // size, or -1

inline constexpr int kMaxOpenEntries = 1000;
inline constexpr int kMaxArchives = 50;
inline constexpr int32_t kLooseFileBase = 1000;

void ResetFileTable();
// Archive index, or -1 (50 open already, missing, or not a well-formed StOR archive).
int OpenArchive(const char* name);
void CloseArchives();

int32_t FileOpen(const char* name);
int32_t FileRead(int32_t handle, void* buffer, int32_t count);
int FileReadByte(int32_t handle);
int32_t FileSeek(int32_t handle, int32_t value, int origin);
int32_t FileTell(int32_t handle);
int32_t FileSize(int32_t handle);
void FileClose(int32_t handle);

// The whole of a data file (loose or archived) into `out`; false on any failure.
bool FileReadAll(const char* name, std::vector<uint8_t>& out);

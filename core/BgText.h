#pragma once
// The readable form of "backgrnd.bg" (see BgFormat.h): what `tarvo-tool bg dump` prints and
// what room layouts are written in by hand. One statement per line; '#' starts a comment
// (outside quotes); indentation is free.
//
//   room Hall                       # a room record: the room by script name or id
//     place Lamp x 120 y 300 depth 310 walk 140 420
//     place 7 x 0 y 0 depth 5 walk -1 -1
//   room 101 placements -2          # a stored negative count ("no placements"), kept
//   trailing 00 1F                  # bytes after the last record (hex), rarely present
//
// `place OBJECT` takes the five values by keyword, in any order, each exactly once:
// `x X`, `y Y`, `depth D`, `walk WX WY`. Values are 32-bit signed, decimal or 0x hexadecimal.
//
// Rooms and objects are ids (a room id is 16-bit signed; -32768..65535 is accepted and its low
// 16 bits are kept) or script names. A name is a bare word (not starting with a digit or '-',
// without spaces, '#' or '"') or a quoted string with the escapes \" \\ and \xNN; the text is
// UTF-8 and names are compared as their Windows-1251 bytes with the names the game uses (the
// stored bytes up to a NUL). Names need the script: a name that no record has, or that two
// records share, is refused.
//
// The dump writes a name where the script gives one that leads back to the same id (one record
// with that id, and no other record with that name), else the number. Parsing a dump gives back
// the same data, so file -> text -> file is exact.
#include "core/BgFormat.h"
#include "core/ScriptFormat.h"

#include <string>
#include <string_view>

// `script` may be null: every room and object is then written as its id.
std::string BackgroundsToText(const BgData& data, const ScriptData* script);

// `script` may be null: names are then refused. On failure returns false and sets `error` to
// "LINE: reason" (lines count from 1).
bool BackgroundsFromText(std::string_view text, const ScriptData* script, BgData& out,
                         std::string& error);

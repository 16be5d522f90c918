#pragma once
// The readable form of "script.dat" (see ScriptFormat.h): what `tarvo-tool script dump`
// prints and what scripts are written in by hand. One statement per line; '#' starts a
// comment (outside quotes); indentation is free.
//
//   player 0 Tarvo                  # record 0; records 0 and 1 are the player characters
//   player Varnagel                 # id omitted: the previous record's id + 1, here 1
//   object 2 "Old door"             # plain objects follow the players
//     on USE sender Tarvo           # a reaction of the object above
//       WALK "Old door"             # messages of the reaction: TYPE TARGET [P1 [P2 [P3]]]
//       GOTO Hall 0 0 0
//   room 100 Hall                   # rooms come last
//     on INITBG status 2
//       SET Hall 100
//   trailing 00 1F                  # bytes after the last record (hex), rarely present
//
// Records: `player|object|room [ID] NAME [reactions K]`. Exactly two `player` records come
// first, then the `object` records, then the `room` records: N = 2 + objects, R = rooms.
// An omitted ID is the previous record's id + 1 (0 for the first record); such an id must
// not be taken by another record. Explicit ids may repeat, as they may in the file.
//
// Names: a bare word (no spaces, '#' or '"', not starting with a digit or '-') or a quoted
// string. The text is UTF-8, the file holds Windows-1251. Inside quotes, \" \\ and \xNN (one
// file byte, two hex digits) are escapes; the dump quotes every name and escapes control
// characters, invisible characters and bytes without a character (such as 0x98), so that any
// stored name - a NUL and the bytes after it included - comes back byte for byte.
//
// Reactions: `on TYPE [status S|any] [sender X|any] [messages M]`. Omitted status and sender
// mean any (-1 and 0xFFFF). S is -128..255 (128..255 are the bytes of -128..-1).
//
// Messages: `TYPE TARGET [P1 [P2 [P3]]]`; omitted parameters are 0. Each parameter takes
// -32768..65535 and keeps the low 16 bits; the dump writes P1 and P2 unsigned, P3 signed.
//
// TYPE is a name or a number 0..65535. Names are the identifiers of MessageTypes.h,
// case-sensitive: the displayed names, SYSTEM2 for type 40 (whose displayed name repeats
// SYSTEM) and QM_AMBIENCE, QM_MUSIC, QM_BASEANIM, QM_RESTOREANIM, QM_ENABLE, QM_DISABLE,
// QM_SETWAIT, QM_LEAVEBG for 47..54. The dump writes numbers above 55.
//
// TARGET and X are an id number, `any` (0xFFFF) or the name of a record, which stands for that
// record's id. A name two records share is refused as ambiguous; a record named "any" is
// referred to in quotes.
//
// Stored counts: a file may say "no reactions" or "no messages" with a negative K or M. The
// dump keeps such a value with `reactions K` / `messages M`, written only when the stored
// count is not the size of the list; only values <= 0 are accepted, with an empty list.
//
// Numbers are decimal or 0x hexadecimal. The dump writes ids as numbers with the referenced
// name as a comment. Parsing a dump gives back the same data, so file -> text -> file and
// dump -> file -> dump are exact.
#include "core/ScriptFormat.h"

#include <string>
#include <string_view>

std::string ScriptToText(const ScriptData& script);

// On failure returns false and sets `error` to "LINE: reason" (lines count from 1).
bool ScriptFromText(std::string_view text, ScriptData& out, std::string& error);

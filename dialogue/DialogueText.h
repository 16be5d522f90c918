#pragma once
// The conversation language: what game authors write and `tarvo-tool dialogue build` turns
// into "dialogue.fix" and "dialogue.lod". The text is UTF-8; names and lines are stored as
// Windows-1251. One statement per line, '#' starts a comment outside quotes.
//
//   name Clockmaker = 7                # a name for an object id (--script adds the script's)
//
//   object Clockmaker                  # whose conversations follow (`any`: every object's)
//     on TALK                          # for which message (a type name or number)
//       entry hello                    # where it begins; the first entry is the default
//     on OBJECTUSE Key                 # Key used on the clockmaker (`OBJECTUSE any`: any item)
//       entry key_shown
//
//   hello:                             # a label: the next statement's address
//     Clockmaker cm01.wav "Good day."  # a phrase: SPEAKER [SPEECH FILE] "TEXT"
//   ask:
//     menu                             # a menu; its choices are the lines indented below it
//       choice Tarvo t01.wav "Why are the clocks stopped?"
//         Clockmaker cm02.wav "The tower clock sets them, and it is broken."
//         goto ask
//       choice key: Tarvo t02.wav "Could we mend it?"
//         Clockmaker cm03.wav "Take my key. The tower is yours."
//         notify 12                    # USERMSG 12 to the script; waits for its CONTINUE
//         disable                      # in a choice's body: this choice is gone from now on
//         enable tower
//         goto ask
//       choice tower: off Tarvo t03.wav "Is the tower open?" -> tower_talk  # `off`: hidden
//       choice quiet Varnagel v01.wav "(Leave.)"
//         end
//     end
//   tower_talk:
//     Clockmaker cm04.wav "It is. Mind the stairs."
//     goto ask
//   key_shown:
//     cycle                            # one of these lines per visit, in turn
//       Clockmaker cm05.wav "A fine key."
//       Clockmaker cm06.wav "Still a fine key."
//         notify 3                     # belongs to the phrase above: said on the same visit
//     end
//
// Labels name the statement after them; choice labels (`choice key:`) name a choice for
// enable and disable. A menu's labels and its choices' labels live apart, and `any` in an
// object or OBJECTUSE line means every object or every item (id 0xfffe).
//
// Phrases: SPEAKER is an object name or id number; a statement that starts with a quoted
// name is always a phrase, so objects named like keywords can speak. The speech file (up to
// 15 characters, a file in "SPEECH\") may be left out for a line without recorded speech.
//
// Menus (1 to 16 choices): `choice [LABEL:] [off] [quiet] SPEAKER [FILE] "TEXT"` followed
// either by `-> LABEL` (the choice goes there) or by its body, the lines indented below it.
// A picked choice with a body is first said by its speaker (unless `quiet`); a body that does
// not end in `goto` or `end` goes on after the menu. `otherwise`, indented like the choices,
// holds what runs when no choice is left; without it the conversation goes on after the
// menu. Menus whose choices all lead only to emptied menus switch those choices off.
//
// Cycles: `cycle [at N]`, then phrases indented below it, one per visit, in turn (N: the
// block said first, from 0). A phrase may hold more lines below it: phrases, notify,
// disable and enable. After the visit the conversation goes on below the cycle.
//
// Statements: `goto LABEL`, `end`, `notify N` (0..65535), `disable`/`enable` with CHOICE (a
// choice label), MENU CHOICE (a menu's label and a choice label or number from 0), or nothing
// inside a choice's body. Labels may stand alone on their line or before a statement, and
// indentation matters only below menus, choices and cycles. The last statement must be
// `end` or `goto`, and so must what ends a last menu: a conversation never runs past its code.
//
// Addresses may be given as @N instead of a label, and the dump writes a few forms the
// language needs only to carry any file over exactly: `say N` (a phrase by its number),
// `word 0xHHHHHHHH` (any code word), `nop`, `endblock`, `phrase N SPEAKER [FILE] "TEXT"
// [ignored V]` (the phrase table written out, when it is not simply the phrases in the order
// the code uses them), `ignored V` after object, on and entry lines, `list V...` after entry
// lines, `default N` after on lines, and `trailing fix|lod HEX...` for bytes after the data.
//
// Phrases are numbered in the order the code uses them, and identical phrases share one
// number. `tarvo-tool dialogue dump --source` writes this form back; building it gives the
// same two files byte for byte.
#include <cstdint>
#include <string>
#include <string_view>

#include "dialogue/DialogueFormat.h"

class ScriptNames;

struct DialogueFiles {
    DialogueTables tables;
    DialoguePhrases phrases;

    bool operator==(const DialogueFiles&) const = default;
};

// Compiles the language. On failure returns false with "LINE: reason" in `error`.
bool DialogueFromText(std::string_view text, const ScriptNames& names, DialogueFiles& out,
                      std::string& error);

// The source form of both files: DialogueFromText of it gives them back exactly. Names from
// `names` are used where they are unambiguous, and declared in the text.
std::string DialogueToText(const DialogueFiles& files, const ScriptNames& names);

// A readable listing: the tables, the code with addresses and disassembly, the phrases.
std::string DialogueListing(const DialogueFiles& files, const ScriptNames& names);

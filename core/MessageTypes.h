#pragma once
// Message types: the 16-bit number that names what a script message asks for and what a
// reaction answers. Numbers 0..55 have constants; the script may hold any 16-bit value.
//
// Two names exist per number. The displayed name is what traces show: types 24 and 40 are
// both "SYSTEM" and types 47..54 have none. The identifier is unique for every number 0..55
// (SYSTEM2 for 40, QM_AMBIENCE .. QM_LEAVEBG for 47..54, as in the enum below) and is what
// the script text writes.
#include <cstdint>
#include <string_view>

enum MessageType : uint16_t {
    QM_ZERO = 0,
    USE = 1,
    QM_SETPOS = 2,
    GOTO = 3,
    LOOK = 4,
    SAY = 5,
    TAKE = 6,
    QM_USE = 7,
    QM_VARNAGELUS = 8,
    WALK = 9,
    TALK = 10,
    END = 11,
    QM_SETANIMATIONID = 12,
    QM_FORCEMOVE = 13,
    SET = 14,
    SHOW = 15,
    HIDE = 16,
    DIALOG = 17,
    ZBUFFER = 18,
    TOTALINIT = 19,
    ANIMATE = 20,
    STATUS = 21,
    ADDINV = 22,
    DELINV = 23,
    SYSTEM = 24,
    CURSOR = 25,
    OBJECTUSE = 26,
    ACTIVE = 27,
    SAID = 28,
    SETSEQ = 29,
    ENDSEQ = 30,
    CHECK = 31,
    IF = 32,
    SHOWDESCRIPTION = 33,
    HALF = 34,
    QM_WALKED = 35,
    WALKTO = 36,
    WALKVARN = 37,
    INITBG = 38,
    USERMSG = 39,
    SYSTEM2 = 40,
    QM_RESERVED1 = 41,
    CONTINUE = 42,
    MAP = 43,
    PASSIVE = 44,
    NOMAP = 45,
    SETINV = 46,
    QM_AMBIENCE = 47,
    QM_MUSIC = 48,
    QM_BASEANIM = 49,
    QM_RESTOREANIM = 50,
    QM_ENABLE = 51,
    QM_DISABLE = 52,
    QM_SETWAIT = 53,
    QM_LEAVEBG = 54,
    QM_MESSAGE_NUMBER = 55
};

// Number of message types with a constant (0..QM_MESSAGE_NUMBER).
inline constexpr int kMessageTypeCount = 56;

// The displayed name of a type; nullptr for 47..54 and for numbers outside 0..55.
const char* MessageTypeName(int type);

// The unique identifier of a type 0..55 (the enum constant's name); nullptr outside.
const char* MessageTypeIdentifier(int type);

// The type with this displayed name or identifier (case-sensitive); "SYSTEM" gives 24.
// -1 when the name is unknown.
int MessageTypeFromName(std::string_view name);

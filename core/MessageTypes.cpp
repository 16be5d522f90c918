#include "core/MessageTypes.h"

namespace {

// Indexed by type number; the identifiers equal the enum constants' names.
constexpr const char* kIdentifiers[kMessageTypeCount] = {
    "QM_ZERO",
    "USE",
    "QM_SETPOS",
    "GOTO",
    "LOOK",
    "SAY",
    "TAKE",
    "QM_USE",
    "QM_VARNAGELUS",
    "WALK",
    "TALK",
    "END",
    "QM_SETANIMATIONID",
    "QM_FORCEMOVE",
    "SET",
    "SHOW",
    "HIDE",
    "DIALOG",
    "ZBUFFER",
    "TOTALINIT",
    "ANIMATE",
    "STATUS",
    "ADDINV",
    "DELINV",
    "SYSTEM",
    "CURSOR",
    "OBJECTUSE",
    "ACTIVE",
    "SAID",
    "SETSEQ",
    "ENDSEQ",
    "CHECK",
    "IF",
    "SHOWDESCRIPTION",
    "HALF",
    "QM_WALKED",
    "WALKTO",
    "WALKVARN",
    "INITBG",
    "USERMSG",
    "SYSTEM2",
    "QM_RESERVED1",
    "CONTINUE",
    "MAP",
    "PASSIVE",
    "NOMAP",
    "SETINV",
    "QM_AMBIENCE",
    "QM_MUSIC",
    "QM_BASEANIM",
    "QM_RESTOREANIM",
    "QM_ENABLE",
    "QM_DISABLE",
    "QM_SETWAIT",
    "QM_LEAVEBG",
    "QM_MESSAGE_NUMBER",
};

bool InRange(int type) {
    return type >= 0 && type < kMessageTypeCount;
}

} // namespace

const char* MessageTypeName(int type) {
    if (!InRange(type)) return nullptr;
    if (type == SYSTEM2) return "SYSTEM"; // the second system message shows the same name
    if (type >= QM_AMBIENCE && type <= QM_LEAVEBG) return nullptr;
    return kIdentifiers[type];
}

const char* MessageTypeIdentifier(int type) {
    return InRange(type) ? kIdentifiers[type] : nullptr;
}

int MessageTypeFromName(std::string_view name) {
    // Identifiers cover every displayed name; "SYSTEM" finds 24 first.
    for (int type = 0; type < kMessageTypeCount; ++type)
        if (name == kIdentifiers[type]) return type;
    return -1;
}

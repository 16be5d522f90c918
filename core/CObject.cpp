#include "core/CObject.h"

#include "core/QMessage.h"
#include "platform/Trace.h"

const RuntimeClass CObject::classCObject{"CObject", nullptr};

TARVO_IMPLEMENT_CLASS(QMessage, CObject)
TARVO_IMPLEMENT_CLASS(QReaction, CObject)

void TraceDump(const CObject& object) {
    std::string text;
    object.Dump(text);
    platform::Trace("%s\n", text.c_str());
}

void QMessage::Dump(std::string& out) const {
    out += "QMessage-> ";
    CObject::Dump(out);
}

void QReaction::Dump(std::string& out) const {
    out += "QReaction-> ";
    CObject::Dump(out);
}

std::unique_ptr<QReaction> QReaction::Rest(const QReaction& from, size_t index) {
    auto rest = std::make_unique<QReaction>();
    rest->type = from.type;
    rest->status = from.status;
    rest->sender = from.sender;
    if (index + 1 < from.messages.size())
        rest->messages.assign(from.messages.begin() + static_cast<std::ptrdiff_t>(index + 1),
                              from.messages.end());
    return rest;
}

bool QReaction::Contains(uint16_t messageType) const {
    for (const QMessage& m : messages)
        if (m.type == messageType) return true;
    return false;
}

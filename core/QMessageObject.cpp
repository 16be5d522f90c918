#include "core/QMessageObject.h"

#include "core/QSystem.h"
#include "platform/Trace.h"

TARVO_IMPLEMENT_CLASS(QVisibleObject, CObject)
TARVO_IMPLEMENT_CLASS(QMessageObject, QVisibleObject)

void QVisibleObject::Dump(std::string& out) const {
    CObject::Dump(out);
    out += "QVisibleObject->" + std::to_string(resourceId);
}

QMessageObject::~QMessageObject() = default;

void QMessageObject::Dump(std::string& out) const {
    QVisibleObject::Dump(out);
    out += "QMessageObject-> " + name;
}

bool QMessageObject::IsRoom() const {
    return IsKindOf(RUNTIME_CLASS(QObjectBG));
}

const char* QMessageObject::OpcodeName(int type) const {
    const char* name = MessageTypeName(type);
    return name != nullptr ? name : "default";
}

void QMessageObject::TraceMessage(const QMessage& message, bool withSender) const {
    if (g_system == nullptr || g_system->loading) return;
    switch (message.type) {
    case SAY:
    case HALF:
    case INITBG:
        return;
    case END:
        if (message.param1 > 19999) return;
        break;
    default:
        break;
    }
    const QMessageObject* target = g_system->FindById(message.target);
    const char* targetName = target != nullptr ? target->name.c_str() : "";
    if (withSender) {
        const char* senderName = message.sender != nullptr ? message.sender->name.c_str() : "NULL";
        platform::Trace("%-15s %-5d \"%s\" \t\"%s\"\n", OpcodeName(message.type), message.param1,
                        targetName, senderName);
    } else {
        platform::Trace("\t%-15s %-5d \"%s\"\n", OpcodeName(message.type), message.param1,
                        targetName);
    }
}

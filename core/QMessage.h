#pragma once
// Messages and reactions: the small records objects talk with.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/CObject.h"
#include "core/MessageTypes.h"

class QMessageObject;

inline constexpr uint16_t kNoId = 0xFFFF;
inline constexpr uint16_t kAny = 0xFFFF;

class QMessage : public CObject {
    TARVO_DECLARE_CLASS(QMessage)
public:
    QMessage() = default;
    QMessage(uint16_t target, uint16_t type, uint16_t p1, uint16_t p2, int16_t p3,
             QMessageObject* sender = nullptr, uint32_t extra = 0)
        : target(target), type(type), param1(p1), param2(p2), param3(p3), sender(sender),
          extra(extra) {}
    QMessage(const QMessage&) = default;
    QMessage& operator=(const QMessage&) = default;
    void Dump(std::string& out) const override;

    uint16_t target = kNoId;
    uint16_t type = 0;
    uint16_t param1 = 0;
    uint16_t param2 = 0;
    int16_t param3 = 0;
    QMessageObject* sender = nullptr; // not owned
    uint32_t extra = 0;
};

class QReaction : public CObject {
    TARVO_DECLARE_CLASS(QReaction)
public:
    void Dump(std::string& out) const override;

    uint16_t type = 0;
    int8_t status = -1;     // required status of the receiver; -1 any
    uint16_t sender = kAny; // required sender id; 0xFFFF any
    std::vector<QMessage> messages;

    // A continuation: copies of the messages after position `index`.
    static std::unique_ptr<QReaction> Rest(const QReaction& from, size_t index);
    bool Contains(uint16_t messageType) const;
};

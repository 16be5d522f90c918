#pragma once
// A script object's state and its message machinery: reactions, continuations and the
// built-in effects of message types (see MessageExecution.cpp).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/QMessage.h"
#include "core/QVisibleObject.h"

class QMessageObject : public QVisibleObject {
    TARVO_DECLARE_CLASS(QMessageObject)
public:
    QMessageObject() = default;
    ~QMessageObject() override;
    QMessageObject(const QMessageObject&) = delete;
    QMessageObject& operator=(const QMessageObject&) = delete;
    void Dump(std::string& out) const override;

    void SetVisible(int flag) override { visible = flag; }

    virtual void HandleMessage(QMessage& message);
    virtual void TraceMessage(const QMessage& message, bool withSender) const;
    virtual const char* OpcodeName(int type) const;

    bool IsRoom() const;

    int32_t x = 0;
    int32_t y = 0;
    int32_t walkX = -1;
    int32_t walkY = -1;
    int32_t frameClock = 0;
    int32_t highlightA = 1; // kept by the options panel and the map for their hover states
    int32_t highlightB = 1;
    int32_t userValue = 0; // free for the screens; nothing else reads it
    int32_t visible = 1;
    int32_t animate = 1;
    int32_t depthFromFrame = 0;
    int32_t busy = 0;
    int32_t active = 1;
    uint8_t status = 0;
    uint16_t id = kNoId;
    std::string name;
    std::string displayName;
    std::vector<std::unique_ptr<QReaction>> reactions;
    std::unique_ptr<QReaction> deferredReaction;
    uint16_t deferredKey = 0;
    uint8_t handled = 0;

protected:
    // The reaction engine: runs matching reactions; true when a dialogue handler took the
    // message instead (no built-in effect follows).
    bool RunReactions(const QMessage& message);
    // The built-in effect of the message type on this object.
    virtual void ApplyBuiltIn(QMessage& message);
};

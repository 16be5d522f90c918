#pragma once
// A plain script object: items, people, doors. It animates, draws its current frame with the
// colour key, is hit per pixel and turns clicks into messages by the cursor mode.
#include "core/QMessageObject.h"
#include "platform/Types.h"

class QFlic;

class QObject : public QMessageObject {
    TARVO_DECLARE_CLASS(QObject)
public:
    QObject();
    void Dump(std::string& out) const override;

    void Draw(platform::Surface& target) override;
    void Update(int elapsedMs) override;
    void SetPos(int x, int y) override;
    int HitTest(int x, int y) override;
    void OnMouseOver(int x, int y) override;
    void OnClick(int x, int y) override;
    void SetVisible(int flag) override;
    void UpdateDepth() override;

protected:
    // The current animation, or null when it cannot be obtained. Rooms show a picture, not an
    // animation, and never ask for one.
    virtual QFlic* Animation() const;
    // The frame's area at (x, y) in room coordinates: the union of its mask rectangles.
    platform::Rect FrameArea(const QFlic& flic) const;
    // Something appeared, vanished or moved over `roomArea`: when the pointer rests there, a
    // fresh mouse move lets the hover and its caption follow without the player moving it.
    static void RehoverIfPointerIn(const platform::Rect& roomArea);
    // Adds the elapsed time to `clock` and advances `flic` by every frame now due, marking
    // each new frame's changes at (x, y) in room coordinates (the cursor and the case's
    // highlights catch up, where a plain object drops a lag).
    static void CatchUpFrames(QFlic& flic, int32_t& clock, int elapsedMs, int x, int y);
};

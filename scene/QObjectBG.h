#pragma once
// A room: its picture, the objects standing in it, ambience and music. A room draws its
// picture opaque and is never an animation: it does not animate and the pointer never hits
// it, so a click on empty floor falls through to walking.
#include "core/QObject.h"

class QObjectBG : public QObject {
    TARVO_DECLARE_CLASS(QObjectBG)
public:
    QObjectBG();

    // Copies the picture, scrolled, into every dirty rectangle of the screen.
    void Draw(platform::Surface& target) override;
    void Update(int elapsedMs) override { (void)elapsedMs; }
    void SetPos(int x, int y) override { this->x = x, this->y = y; }
    int HitTest(int x, int y) override { return (void)x, (void)y, 0; }
    void SetVisible(int flag) override { visible = flag; }
    void UpdateDepth() override {}

    int32_t mapAllowed = 1;
    int32_t ambience = 0;
    int32_t music = 0;

protected:
    QFlic* Animation() const override { return nullptr; }
    void ApplyBuiltIn(QMessage& message) override;

private:
    // After GOTO: the characters placed at the entry point for the room left, the view
    // moved there, all redrawn and the game saved. Nothing when no entry point is found.
    void EnterFrom(int previousRoomId);
};

#pragma once
// A room: its picture, the objects standing in it, ambience and music. A room is drawn
// opaque and is never an animation: it does not animate and the pointer never hits it.
#include "core/QObject.h"

class QObjectBG : public QObject {
    TARVO_DECLARE_CLASS(QObjectBG)
public:
    QObjectBG();

    void Update(int elapsedMs) override { (void)elapsedMs; }
    void SetPos(int x, int y) override { this->x = x, this->y = y; }
    int HitTest(int x, int y) override { return (void)x, (void)y, 0; }
    void SetVisible(int flag) override { visible = flag; }
    void UpdateDepth() override {}

    int32_t mapAllowed = 0;
    int32_t ambience = -1;
    int32_t music = -1;

protected:
    QFlic* Animation() const override { return nullptr; }
    void ApplyBuiltIn(QMessage& message) override;
};

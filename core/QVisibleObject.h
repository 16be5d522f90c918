#pragma once
// Anything drawn: script objects, texts, the debug overlay.
#include <cstdint>

#include "core/CObject.h"

namespace platform {
class Surface;
}

class QVisibleObject : public CObject {
    TARVO_DECLARE_CLASS(QVisibleObject)
public:
    void Dump(std::string& out) const override;

    virtual void Draw(platform::Surface& target) { (void)target; }
    virtual void Update(int elapsedMs) { (void)elapsedMs; }
    virtual void SetPos(int x, int y) { (void)x, (void)y; }
    virtual int HitTest(int x, int y) { return (void)x, (void)y, 0; }
    virtual void OnMouseOver(int x, int y) { (void)x, (void)y; }
    virtual void OnClick(int x, int y) { (void)x, (void)y; }
    virtual void SetVisible(int flag) { (void)flag; }
    virtual void UpdateDepth() {}

    int32_t resourceId = -1;
    int32_t z = 240;
};

#pragma once
// Frame composition: scroll, update, depth sort, drawing inside dirty rectangles, and the
// copy of the back surface to the front.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/PixelFormat.h"
#include "platform/Types.h"

namespace platform {
class Display;
class Surface;
} // namespace platform

// Pixel format shifts of the display, set by Init.
extern platform::PixelShifts g_pixelShifts;
// The display object; surfaces of pictures and animations are created through it.
extern platform::Display* g_directDraw;
class QVideoSystem;
// The main window's video system (the main window owns it and sets this pointer).
extern QVideoSystem* g_video;

class QVideoSystem {
public:
    QVideoSystem() = default;
    virtual ~QVideoSystem();

    // Uses the display as the screen: 1 on success, 0 on failure.
    int Init(platform::Display* display);
    void RenderFrame();
    void InvalidateAll();
    void AddDirtyRect(const platform::Rect& rect);

    const std::vector<platform::Rect>& DirtyRects() const { return dirty_; }
    platform::Surface* Front() const;
    platform::Surface* Back() const { return back_.get(); }

    uint32_t lastFrameTime = 0;

private:
    void Scroll();
    static void SortByDepth(std::vector<class QVisibleObject*>& list);

    platform::Display* display_ = nullptr;
    std::unique_ptr<platform::Surface> back_;
    std::vector<platform::Rect> dirty_;
};

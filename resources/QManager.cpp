#include "resources/QManager.h"

#include <cstdio>
#include <vector>

#include "core/QSystem.h"
#include "graphics/Bitmap.h"
#include "graphics/PictureConvert.h"
#include "graphics/QDebug.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"

QManager* g_manager = nullptr;

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;

std::string Formatted(const char* format, int32_t id) {
    char text[64];
    std::snprintf(text, sizeof text, format, id);
    return text;
}

// Pictures loaded while the debug overlay is on are marked: every other pixel turns black.
void MarkWithCheckerboard(platform::Surface& s, int width) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = (y & 1) ^ 1; x < std::min(width, s.Width()); x += 2)
            s.Set(x, y, 0);
}

std::unique_ptr<platform::Surface> RoomSurface(const platform::Surface& picture) {
    const int w = picture.Width(), h = picture.Height();
    auto surface =
        std::make_unique<platform::Surface>(std::max(w, kScreenW), std::max(h, kScreenH));
    if (w <= kScreenW) {
        surface->Fill(0);
        surface->BltFast((kScreenW - w) / 2, 0, picture, picture.Bounds(), platform::kBltWait);
    } else {
        graphics::StretchToSurface(*surface, picture, 0, 0, 0, 0);
    }
    return surface;
}

} // namespace

QManager::QManager() {
    std::vector<uint8_t> text;
    if (FileReadAll("resource.qrc", text))
        table_ = ParseResourceTable(
            std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

QManager::~QManager() {
    platform::Trace("~QManager\n");
    // The archives belong to the shell, which opened them: a restart builds a new manager
    // over the same archives, and only the shutdown closes them.
    loaded_.clear();
}

void QManager::NoteLoadTime() const {
    if (g_video != nullptr) g_video->lastFrameTime = platform::NowMs();
}

platform::Surface* QManager::GetPicture(int32_t id) {
    if (auto it = loaded_.find(id); it != loaded_.end())
        return it->second.kind == RSC_BITMAP ? it->second.picture.get() : nullptr;
    auto entry = table_.find(id);
    if (entry == table_.end()) return nullptr;
    const std::optional<platform::Surface> picture = LoadBitmapFile(entry->second.fileName);
    if (!picture) return nullptr;
    auto surface = RoomSurface(*picture);
    if (g_system != nullptr) {
        g_system->scrollOffset = 0;
        g_system->roomWidth = picture->Width();
    }
    if (g_debug != nullptr && g_debug->enabled) MarkWithCheckerboard(*surface, picture->Width());
    platform::Surface* result = surface.get();
    loaded_[id] = Loaded{RSC_BITMAP, std::move(surface), nullptr};
    NoteLoadTime();
    return result;
}

platform::Surface* QManager::CreatePicture(int32_t id, int width, int height) {
    if (auto it = loaded_.find(id); it != loaded_.end())
        return it->second.kind == RSC_BITMAP ? it->second.picture.get() : nullptr;
    if (width < 0 || height < 0) return nullptr;
    auto surface = std::make_unique<platform::Surface>(width, height);
    platform::Surface* result = surface.get();
    loaded_[id] = Loaded{RSC_BITMAP, std::move(surface), nullptr};
    NoteLoadTime();
    return result;
}

QFlic* QManager::GetFlic(int32_t id) {
    if (id == -666 || id == -2 || id == -1) return nullptr;
    if (auto it = loaded_.find(id); it != loaded_.end()) {
        if (it->second.kind == RSC_FLIC) return it->second.flic.get();
        platform::ShowMessageBox(Formatted("Resource '%5d' not equal RSC_FLIC", id));
        return nullptr;
    }
    auto entry = table_.find(id);
    if (entry == table_.end()) {
        platform::ShowMessageBox(Formatted("Resource '%5d' not found", id));
        return nullptr;
    }
    // A broken file is kept as an invalid animation: it is reported once, by Open.
    auto flic = std::make_unique<QFlic>();
    flic->Open(entry->second.fileName);
    QFlic* result = flic.get();
    loaded_[id] = Loaded{RSC_FLIC, nullptr, std::move(flic)};
    NoteLoadTime();
    return result;
}

void QManager::FreeResource(int32_t id) {
    loaded_.erase(id);
}

void QManager::PurgeResources() {
    for (auto it = loaded_.begin(); it != loaded_.end();) {
        const auto entry = table_.find(it->first);
        if (entry != table_.end() && !entry->second.keep)
            it = loaded_.erase(it);
        else
            ++it;
    }
}

std::string QManager::GetFileName(int32_t id) const {
    auto entry = table_.find(id);
    if (entry != table_.end()) return entry->second.fileName;
    platform::Trace("manager: resource %d has no file name\n", id);
    return {};
}

std::string QManager::GetSoundName(int32_t id) const {
    auto entry = table_.find(id);
    return entry != table_.end() ? CompanionSoundName(entry->second.fileName) : std::string();
}

void QManager::Adopt(int32_t id, std::unique_ptr<QFlic> flic) {
    loaded_[id] = Loaded{RSC_FLIC, nullptr, std::move(flic)};
}

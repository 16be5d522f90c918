#include "resources/QManager.h"

#include "graphics/QFlic.h"
#include "platform/Trace.h"

QManager* g_manager = nullptr;

QManager::QManager() = default;

QManager::~QManager() { platform::Trace("~QManager\n"); }

QFlic* QManager::GetFlic(int32_t id) {
    // Loading animations from "resource.qrc" comes with the resource table; until then only
    // adopted animations are known, and an unknown number is simply absent.
    auto it = flics_.find(id);
    return it != flics_.end() ? it->second.get() : nullptr;
}

platform::Surface* QManager::GetPicture(int32_t id) {
    auto it = pictures_.find(id);
    return it != pictures_.end() ? it->second.get() : nullptr;
}

platform::Surface* QManager::CreatePicture(int32_t id, int width, int height) {
    auto& slot = pictures_[id];
    if (!slot) slot = std::make_unique<platform::Surface>(width, height);
    return slot.get();
}

void QManager::FreeResource(int32_t id) {
    flics_.erase(id);
    pictures_.erase(id);
}

void QManager::PurgeResources() {
    // Nothing is loaded from files yet, so nothing is purgeable; the engine's own pictures
    // (negative numbers) always stay.
}

std::string QManager::GetSoundName(int32_t id) const { return id == -1 ? std::string() : std::to_string(id) + ".wav"; }

void QManager::Adopt(int32_t id, std::unique_ptr<QFlic> flic) { flics_[id] = std::move(flic); }

bool QManager::IsLoaded(int32_t id) const { return flics_.count(id) != 0 || pictures_.count(id) != 0; }

#pragma once
// Resource numbers to loaded pictures and animations. The manager owns everything it loaded
// and hands out borrowed pointers.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/Surface.h"

class QFlic;

class QManager {
public:
    QManager();
    ~QManager();

    // The animation of number `id`, loading it on first use; null when it cannot be had.
    QFlic* GetFlic(int32_t id);
    platform::Surface* GetPicture(int32_t id);
    // A blank picture under `id` (an existing one is returned unchanged).
    platform::Surface* CreatePicture(int32_t id, int width, int height);
    void FreeResource(int32_t id);
    void PurgeResources();
    // The name of the companion sound of resource `id` (its file name with ".wav").
    std::string GetSoundName(int32_t id) const;

    // Puts an animation under `id` as if it had been loaded (the manager owns it).
    void Adopt(int32_t id, std::unique_ptr<QFlic> flic);
    bool IsLoaded(int32_t id) const;

private:
    std::map<int32_t, std::unique_ptr<QFlic>> flics_;
    std::map<int32_t, std::unique_ptr<platform::Surface>> pictures_;
};

extern QManager* g_manager;

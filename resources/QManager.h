#pragma once
// Resource numbers to loaded pictures and animations, through "resource.qrc". The manager
// owns everything it loaded and hands out borrowed pointers.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/Surface.h"
#include "resources/ResourceTable.h"

class QFlic;

enum ResourceKind { RSC_BITMAP = 1, RSC_FLIC = 2 };

class QManager {
public:
    // Reads "resource.qrc" through the file layer; a missing file leaves the table empty.
    QManager();
    ~QManager();

    // A picture from its file: narrow ones centred on black at 640 x 480, wide ones stretched
    // to 480 rows. Loading one sets the room width and resets the scroll offset.
    platform::Surface* GetPicture(int32_t id);
    // A blank picture under `id`; an existing picture is returned unchanged.
    platform::Surface* CreatePicture(int32_t id, int width, int height);
    // The animation of number `id`, loading it on first use; null (with a message box for a
    // number without a file or of another kind) when it cannot be had.
    QFlic* GetFlic(int32_t id);
    void FreeResource(int32_t id);
    // Frees every loaded resource not marked permanent; the engine's own pictures (numbers
    // without a table entry: texts, scaled characters, the debug overlay) stay.
    void PurgeResources();
    // The file name of `id`; "" (and a trace line) for a number without one.
    std::string GetFileName(int32_t id) const;
    std::string GetSoundName(int32_t id) const;

    // Puts an animation under `id` as if it had been loaded (tests); the manager owns it.
    void Adopt(int32_t id, std::unique_ptr<QFlic> flic);
    bool IsLoaded(int32_t id) const { return loaded_.count(id) != 0; }
    const ResourceTable& Table() const { return table_; }

private:
    struct Loaded {
        ResourceKind kind = RSC_BITMAP;
        std::unique_ptr<platform::Surface> picture;
        std::unique_ptr<QFlic> flic;
    };
    void NoteLoadTime() const;

    ResourceTable table_;
    std::unordered_map<int32_t, Loaded> loaded_;
};

extern QManager* g_manager;

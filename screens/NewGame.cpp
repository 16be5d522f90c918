#include "screens/NewGame.h"

#include <string>
#include <vector>

#include "core/Application.h"
#include "core/QSystem.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QDebug.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

namespace {

// The sounds the world's room has loaded, by name: they outlive the world in the engine.
struct RoomSounds {
    std::vector<std::string> companions; // of the objects on screen
    std::string ambience;
    std::string music;
};

std::string SoundName(int32_t resource) {
    return g_manager != nullptr ? g_manager->GetSoundName(resource) : std::string();
}

RoomSounds SoundsOf(const QSystem& world) {
    RoomSounds sounds;
    if (world.mainInterface)
        for (const QVisibleObject* o : world.mainInterface->objects)
            if (dynamic_cast<const QMessageObject*>(o) != nullptr)
                sounds.companions.push_back(SoundName(o->resourceId));
    sounds.ambience = SoundName(world.currentAmbience);
    sounds.music = SoundName(world.currentMusic);
    return sounds;
}

// The old room's ambience and music stop unless the new game's room plays the same.
void HandOverRoomSounds(const RoomSounds& old, const QSystem& world) {
    if (g_sound == nullptr) return;
    if (old.ambience != SoundName(world.currentAmbience)) g_sound->RemoveSound(old.ambience);
    if (old.music != SoundName(world.currentMusic)) g_sound->RemoveSound(old.music);
}

} // namespace

void StartNewGame() {
    platform::Trace("New game\n");
    const RoomSounds old = SoundsOf(*g_system);
    const std::string saveFolder = g_system->saveFolder;
    const int32_t paused = g_system->paused; // the sound engine stays paused as it is
    delete g_system;
    g_system = nullptr;
    // A continuation waiting for a conversation names objects of the world just deleted.
    g_afterDialogue.reset();
    delete g_manager;
    g_manager = new QManager;
    // The debug overlay stays, but its picture belonged to the old manager.
    if (g_debug != nullptr) g_manager->CreatePicture(g_debug->resourceId, 640, 480);
    if (g_dialogue != nullptr) g_dialogue->ResetCode();
    if (g_sound != nullptr)
        for (const std::string& name : old.companions)
            g_sound->RemoveSound(name);
    g_system = new QSystem;
    g_system->saveFolder = saveFolder;
    g_system->paused = paused;
    std::string error;
    const bool loaded = g_system->Load(error);
    HandOverRoomSounds(old, *g_system);
    if (g_video != nullptr) g_video->InvalidateAll();
    if (loaded) return;
    platform::ShowMessageBox("The new game could not start: " + error);
    PostQuitMessage();
}

// Saving the world's changeable state and putting it back: object fields, the inventory, the
// room, the characters' feet, the conversation code and the cursor. The file is parsed whole
// before anything changes, so a damaged save leaves the world as it was.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/QSystem.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QFlic.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectCase.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/MessageBox.h"
#include "platform/PlayerFiles.h"
#include "platform/Trace.h"
#include "resources/QManager.h"

namespace {

// Walk animations follow the base animation: base + 10 + direction (0..7).
constexpr int32_t kFirstWalkOffset = 10;
constexpr int32_t kWalkDirections = 8;

// The point a character stands on, from its animation's frame size and its scale. An
// animation not loaded has not been shown yet: its feet are where it was last put.
SavedFoot FootOf(const QObjectTarvo& c) {
    const QFlic* flic =
        c.resourceId != -1 && g_manager != nullptr && g_manager->IsLoaded(c.resourceId)
            ? g_manager->GetFlic(c.resourceId)
            : nullptr;
    if (flic == nullptr) return SavedFoot{c.footX, c.footY};
    return SavedFoot{c.x + static_cast<int32_t>(std::trunc(flic->Width() * c.scale * 0.5)),
                     c.y + static_cast<int32_t>(std::trunc(flic->Height() * c.scale))};
}

SavedObject RecordOf(const QMessageObject& o) {
    return SavedObject{o.name, o.displayName, o.busy,    o.status, o.resourceId, o.z,
                       o.x,    o.y,           o.visible, o.active, o.animate};
}

void RestoreFields(QMessageObject& o, const SavedObject& r) {
    // z and the display name are the script's and the room table's: written, not read.
    o.busy = r.busy;
    o.status = r.status;
    o.resourceId = r.resourceId;
    o.x = r.x;
    o.y = r.y;
    o.visible = r.visible;
    o.active = r.active;
    o.animate = r.animate;
}

// Walks are not saved: a character saved on the way stands where he was put, busy no
// more (else every message to him would wait for a walk that never ends), and shows his
// standing animation rather than walking on the spot.
void SettleCharacter(QObjectTarvo& c) {
    c.busy = 0;
    const int32_t walk = c.resourceId - c.baseAnimation - kFirstWalkOffset;
    if (c.baseAnimation != -1 && walk >= 0 && walk < kWalkDirections)
        c.resourceId = c.baseAnimation;
    c.standing = c.resourceId == c.baseAnimation;
}

void RestoreInventory(QObjectCase& c, const std::vector<uint16_t>& ids) {
    c.items = ids;
    if (c.firstShown >= static_cast<int32_t>(c.items.size()))
        c.firstShown = std::max(static_cast<int32_t>(c.items.size()) - 1, 0) / 6 * 6;
    c.Refresh();
}

void RestoreCursor(QObjectCursor& cursor, const SavedGame& g) {
    cursor.resourceId = g.cursorResource;
    cursor.mode = g.cursorMode;
    cursor.heldObject = g.heldId != -1 && g_system != nullptr
                            ? g_system->FindById(static_cast<uint16_t>(g.heldId))
                            : nullptr;
    // Holding nothing is no mode to be in: a click would use an item that is not there.
    if (cursor.mode == kCursorHolding && cursor.heldObject == nullptr) cursor.Drop();
}

void RestoreDialogue(const std::vector<uint8_t>& block) {
    if (g_dialogue == nullptr) return;
    platform::ByteReader in(block);
    const DialogueStateLoad result = g_dialogue->LoadState(&in);
    if (result != DialogueStateLoad::Loaded)
        platform::Trace("Restore: the saved conversation code was not taken (%d)\n",
                        static_cast<int>(result));
}

} // namespace

std::string QSystem::SavePath(const std::string& fileName) const {
    return saveFolder.empty() ? fileName : (std::filesystem::path(saveFolder) / fileName).string();
}

SavedGame QSystem::CaptureGame() const {
    SavedGame g;
    const size_t records = objects.size() >= kUnsavedObjects ? objects.size() - kUnsavedObjects : 0;
    for (size_t i = 0; i < records; ++i)
        g.objects.push_back(RecordOf(*objects[i]));
    if (inventoryCase) g.inventory = inventoryCase->items;
    if (currentRoom != nullptr) g.roomName = currentRoom->name;
    g.tarvoFoot = FootOf(tarvo);
    g.varnagelFoot = FootOf(varnagel);
    platform::ByteWriter dialogue;
    if (g_dialogue != nullptr) g_dialogue->SaveState(&dialogue);
    if (dialogue.Size() == 0) dialogue.U32(0); // no interpreter: an empty code block
    g.dialogueState = dialogue.Take();
    if (cursor) {
        g.cursorResource = cursor->resourceId;
        g.cursorMode = cursor->mode;
        g.heldId = cursor->heldObject != nullptr ? cursor->heldObject->id : -1;
    }
    return g;
}

int QSystem::Save(const std::string& fileName) {
    return WriteGame(fileName, CaptureGame());
}

int QSystem::WriteGame(const std::string& fileName, const SavedGame& game) {
    const std::string path = SavePath(fileName);
    std::string error;
    std::error_code ec;
    if (!saveFolder.empty()) std::filesystem::create_directories(saveFolder, ec);
    if (ec) {
        error = "cannot make the folder " + saveFolder + ": " + ec.message();
    } else if (platform::ReplaceFile(path, WriteSavedGame(game), error)) {
        platform::Trace("Saved %s\n", fileName.c_str());
        return 1;
    }
    platform::Trace("Save of %s failed: %s\n", fileName.c_str(), error.c_str());
    platform::ShowMessageBox("Save error: " + path + " could not be written: " + error +
                             ". Any earlier " + fileName + " is unchanged.");
    return 0;
}

int QSystem::Restore(const std::string& fileName) {
    const std::string path = SavePath(fileName);
    std::vector<uint8_t> bytes;
    std::string error;
    switch (platform::ReadPlayerFile(path, bytes, error)) {
    case platform::FileRead::Missing:
        platform::Trace("Restore: there is no %s\n", fileName.c_str());
        return 0;
    case platform::FileRead::Failed:
        platform::ShowMessageBox("Load error: " + path + " cannot be read: " + error);
        return 0;
    case platform::FileRead::Read:
        break;
    }
    SavedGame game;
    if (!ParseSavedGame(bytes, game, error)) {
        platform::Trace("Restore of %s refused: %s\n", fileName.c_str(), error.c_str());
        platform::ShowMessageBox("Load error: " + path +
                                 " is damaged and was not loaded: " + error + ".");
        return 0;
    }
    ApplyGame(game);
    platform::Trace("Restored %s\n", fileName.c_str());
    return 1;
}

void QSystem::ApplyGame(const SavedGame& g) {
    if (mainInterface) mainInterface->dialogue.Abandon();
    tarvo.StopWalk();
    varnagel.StopWalk();
    for (const SavedObject& record : g.objects)
        if (QMessageObject* o = FindByName(record.name)) RestoreFields(*o, record);
    SettleCharacter(tarvo);
    SettleCharacter(varnagel);
    if (inventoryCase) RestoreInventory(*inventoryCase, g.inventory);

    QMessageObject* room = FindByName(g.roomName);
    if (room != nullptr && room->IsRoom() && mainInterface)
        mainInterface->ChangeBG(room->id);
    else
        platform::ShowMessageBox("Load error: Background '" + g.roomName + "' not found");

    tarvo.SetPos(g.tarvoFoot.x, g.tarvoFoot.y);
    scrollOffset = std::clamp(g.tarvoFoot.x - 320, 0, std::max(roomWidth - 640, 0));
    varnagel.SetPos(g.varnagelFoot.x, g.varnagelFoot.y);
    RestoreDialogue(g.dialogueState);
    if (cursor) RestoreCursor(*cursor, g);
    if (g_video != nullptr) g_video->InvalidateAll();
}

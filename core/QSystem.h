#pragma once
// The world: owner of every script object, the message queue, the cursor, the case, the
// action menu, the four interfaces and the rooms' perspectives. It builds itself from the
// script and delivers queued messages once per main-loop pass.
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/QMessage.h"
#include "core/QObjectCursor.h"
#include "core/SaveFormat.h"
#include "scene/QObjectBG.h"
#include "scene/QObjectTarvo.h"

struct ScriptData;
class QObjectCase;
class QObjectStar;
class QInterface;
class QInterfaceMain;
class QInterfaceSequence;
class QInterfacePanel;
class QInterfaceMap;

struct RoomPerspective {
    double scaleBase = 1.0;
    double scaleGradient = 0.0;
    int16_t topRow = 0;
    int16_t bottomRow = 480;
    double scaleMax = 1.0;
};

// Parses "%lf %lf %d %d %lf" over the defaults; numbers missing at the end keep them.
RoomPerspective ParsePerspective(const std::string& value);

class QSystem : public CObject {
    TARVO_DECLARE_CLASS(QSystem)
public:
    QSystem();
    ~QSystem() override;

    // Reads "script.dat", the names and perspectives, posts TOTALINIT, creates the cursor,
    // case, menu and interfaces, and starts the main interface. False with `error` set when
    // the script is missing or malformed (nothing is started then).
    bool Load(std::string& error);
    // Builds the world from parsed script data (the part of Load after reading the file).
    void Build(const ScriptData& script);
    // Creates the engine's own objects and the interfaces, then starts the main interface.
    void Start();

    void Post(uint16_t target, uint16_t type, uint16_t p1, uint16_t p2, int16_t p3, uint32_t extra,
              QMessageObject* sender);
    void Broadcast(uint16_t type, uint16_t p1, uint16_t p2, int16_t p3, uint32_t extra,
                   QMessageObject* sender);
    void DispatchQueue();
    QMessageObject* FindById(uint16_t id) const;
    QMessageObject* FindByName(const std::string& name) const;
    // Runs the continuation in `holder` on behalf of `sender`; see MessageExecution.cpp.
    void RunReaction(std::unique_ptr<QReaction>* holder, QMessageObject* sender);

    // Saves the game to `fileName` in the save folder, crash-safe: 1 on success; on failure
    // a message box says why and an earlier file of that name is kept (0).
    int Save(const std::string& fileName);
    // Restores the game from `fileName` in the save folder: 1 when it was restored. A missing
    // file changes nothing; an unreadable or damaged one is refused whole with a message box.
    int Restore(const std::string& fileName);
    // The state a save holds, taken from the world, and the writing of it.
    SavedGame CaptureGame() const;
    int WriteGame(const std::string& fileName, const SavedGame& game);
    // Puts a parsed save into the running world.
    void ApplyGame(const SavedGame& game);
    // Where `fileName` lives: in saveFolder, or in the working directory when that is empty.
    std::string SavePath(const std::string& fileName) const;
    std::string saveFolder;

    const RoomPerspective* PerspectiveOf(const std::string& roomName) const;

    std::list<QMessage> queue;
    std::vector<QMessageObject*> objects; // every object, in load order; not owned
    std::map<std::string, RoomPerspective> perspectives;
    int32_t loading = 0;
    int32_t paused = 0;
    int32_t countedLoadTime = 0;
    int32_t scrollOffset = 0;
    int32_t scrollTarget = 0;
    int32_t roomWidth = 640;
    int32_t objectCount = 0;
    int32_t roomCount = 0;
    int32_t currentAmbience = 0;
    int32_t currentMusic = 0;
    std::vector<std::unique_ptr<QObject>> plainObjects;
    std::vector<std::unique_ptr<QObjectBG>> rooms;
    std::unique_ptr<QObjectCursor> cursor;
    std::unique_ptr<QObjectCase> inventoryCase;
    std::unique_ptr<QObjectStar> actionMenu;
    QObjectBG* currentRoom = nullptr;
    QObjectTarvo tarvo;
    QObjectVarnagel varnagel;
    QInterface* currentInterface = nullptr;
    std::unique_ptr<QInterfaceMain> mainInterface;
    std::unique_ptr<QInterfaceSequence> sequenceInterface;
    std::unique_ptr<QInterfacePanel> panelInterface;
    std::unique_ptr<QInterfaceMap> mapInterface;
};

extern QSystem* g_system;
// The rest of a reaction waiting for the current dialogue to end; null when none.
extern std::unique_ptr<QReaction> g_afterDialogue;

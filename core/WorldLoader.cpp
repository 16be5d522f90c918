// Building the world from "script.dat", ".\names.ini" and ".\BGs.ini", and starting it.
#include <vector>

#include "core/Application.h"
#include "core/QSystem.h"
#include "core/ScriptFormat.h"
#include "graphics/QVideoSystem.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QInterfaceSequence.h"
#include "interfaces/QObjectCase.h"
#include "interfaces/QObjectStar.h"
#include "platform/Clock.h"
#include "platform/Display.h"
#include "platform/Ini.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"
#include "screens/QInterfaceMap.h"
#include "screens/QInterfacePanel.h"

namespace {

std::unique_ptr<QReaction> MakeReaction(const ScriptReaction& r) {
    auto reaction = std::make_unique<QReaction>();
    reaction->type = r.type;
    reaction->status = r.status;
    reaction->sender = r.sender;
    for (const ScriptMessage& m : r.messages)
        reaction->messages.emplace_back(m.target, m.type, m.param1, m.param2, m.param3);
    return reaction;
}

void Fill(QMessageObject& o, const ScriptObject& record) {
    o.id = record.id;
    o.name = record.Name();
    for (const ScriptReaction& r : record.reactions)
        o.reactions.push_back(MakeReaction(r));
    char displayName[30];
    platform::GetPrivateProfileString("all", o.name, "", displayName, sizeof displayName,
                                      ".\\names.ini");
    o.displayName = displayName;
}

} // namespace

bool QSystem::Load(std::string& error) {
    loading = 1;
    std::vector<uint8_t> image;
    if (!FileReadAll("script.dat", image)) {
        error = "script.dat: the file is missing or cannot be read";
        return false;
    }
    ScriptData script;
    std::string why;
    if (!ParseScript(image, script, why)) {
        error = "script.dat: " + why;
        return false;
    }
    image.clear();
    Build(script);
    Start();
    if (!mainInterface->startError.empty()) {
        error = mainInterface->startError;
        return false;
    }
    return true;
}

void QSystem::Build(const ScriptData& script) {
    loading = 1;
    objectCount = script.objectCount;
    roomCount = script.roomCount;
    const size_t plainCount = static_cast<size_t>(objectCount) - 2;
    for (size_t i = 0; i < plainCount; ++i)
        plainObjects.push_back(std::make_unique<QObject>());
    for (int32_t i = 0; i < roomCount; ++i)
        rooms.push_back(std::make_unique<QObjectBG>());

    for (size_t i = 0; i < script.objects.size(); ++i) {
        QMessageObject* o = nullptr;
        if (i == 0)
            o = &tarvo;
        else if (i == 1)
            o = &varnagel;
        else if (i < static_cast<size_t>(objectCount))
            o = plainObjects[i - 2].get();
        else
            o = rooms[i - static_cast<size_t>(objectCount)].get();
        Fill(*o, script.objects[i]);
        objects.push_back(o);
    }
    for (const auto& room : rooms) {
        char value[100];
        platform::GetPrivateProfileString("Settings", room->name, "", value, sizeof value,
                                          ".\\BGs.ini");
        perspectives[room->name] = ParsePerspective(value);
    }
}

void QSystem::Start() {
    for (QMessageObject* o : objects)
        Post(o->id, TOTALINIT, 0, 0, 0, 0, nullptr);

    const platform::Point pointer =
        g_directDraw != nullptr ? g_directDraw->PointerPosition() : platform::Point{};
    cursor = std::make_unique<QObjectCursor>(pointer.x, pointer.y);
    inventoryCase = std::make_unique<QObjectCase>();
    actionMenu = std::make_unique<QObjectStar>();
    objects.push_back(cursor.get());
    objects.push_back(inventoryCase.get());
    objects.push_back(actionMenu.get());

    mainInterface = std::make_unique<QInterfaceMain>();
    sequenceInterface = std::make_unique<QInterfaceSequence>();
    panelInterface = std::make_unique<QInterfacePanel>();
    mapInterface = std::make_unique<QInterfaceMap>();
    currentInterface = mainInterface.get();

    platform::Trace("Load phase 2: %d\n", static_cast<int>(platform::NowMs() - g_clockMark));
    g_clockMark = platform::NowMs();
    currentInterface->Start();
}

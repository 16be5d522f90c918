#pragma once
// Builds small worlds for tests: script data written in C++, and the singletons the world
// talks to, created and torn down around each test.
#include <memory>
#include <string>
#include <vector>

#include "core/Application.h"
#include "core/QSystem.h"
#include "core/ScriptFormat.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QDebug.h"
#include "graphics/QVideoSystem.h"
#include "platform/Display.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "sound/DSengine.h"

namespace testing_support {

class ScriptBuilder {
public:
    ScriptBuilder() {
        Object(0, "Tarvo");
        Object(1, "Varnagel");
    }

    ScriptObject& Object(uint16_t id, const std::string& name) {
        objects_.push_back(ScriptObject{id, name, 0, {}});
        return objects_.back();
    }
    ScriptObject& Room(uint16_t id, const std::string& name) {
        rooms_.push_back(ScriptObject{id, name, 0, {}});
        return rooms_.back();
    }
    ScriptObject& Get(uint16_t id) {
        for (auto& o : objects_)
            if (o.id == id) return o;
        for (auto& o : rooms_)
            if (o.id == id) return o;
        return objects_.front();
    }
    // A reaction of object `id` to `type`; add messages with Send.
    ScriptReaction& On(uint16_t id, uint16_t type, int8_t status = -1, uint16_t sender = 0xFFFF) {
        ScriptObject& o = Get(id);
        o.reactions.push_back(ScriptReaction{type, status, sender, 0, {}});
        o.reactionCount = static_cast<int32_t>(o.reactions.size());
        return o.reactions.back();
    }
    static ScriptReaction& Send(ScriptReaction& r, uint16_t target, uint16_t type, uint16_t p1 = 0,
                                uint16_t p2 = 0, int16_t p3 = 0) {
        r.messages.push_back(ScriptMessage{target, type, p1, p2, p3});
        r.messageCount = static_cast<int32_t>(r.messages.size());
        return r;
    }

    ScriptData Data() const {
        ScriptData d;
        d.objectCount = static_cast<int32_t>(objects_.size());
        d.roomCount = static_cast<int32_t>(rooms_.size());
        d.objects = objects_;
        d.objects.insert(d.objects.end(), rooms_.begin(), rooms_.end());
        return d;
    }

private:
    std::vector<ScriptObject> objects_;
    std::vector<ScriptObject> rooms_;
};

// Replaces the interpreter by one whose only conversation, for object `id` on message `type`,
// is one line said by that object: a dialogue that stays on screen until it is stepped on.
inline void UseOneLineDialogue(uint16_t id, uint16_t type) {
    DialogueHandler handler;
    handler.type = type;
    handler.entries.push_back(DialogueEntry{0, {}, 0});
    DialogueTables tables;
    tables.objects.push_back(DialogueObject{id, 0, {handler}});
    tables.code = {0x07000000, kDialogueEndWord}; // phrase 0, end
    DialoguePhrase line;
    line.speakerId = id;
    line.text = "A word.";
    delete g_dialogue;
    g_dialogue = new BigDialogue(std::move(tables), {line});
}

// The subsystems the world uses, without a display: created in the constructor, deleted in
// the destructor in the shutdown order. The trace is captured.
class TestWorld {
public:
    TestWorld() {
        platform::TraceToFunction([this](std::string_view line) { trace.emplace_back(line); });
        platform::DisplayOptions options;
        options.headless = true;
        std::string error;
        display = platform::Display::Create(options, error);
        video.Init(display.get());
        g_dialogue = new BigDialogue;
        g_sound = new DSengine;
        g_sound->Init(SoundOutput{}); // mixed on the clock: tests call AdvanceTo
        g_manager = new QManager;
        g_debug = new QDebug;
        g_video = &video;
        g_system = new QSystem;
    }
    ~TestWorld() {
        delete g_system;
        g_system = nullptr;
        delete g_debug;
        g_debug = nullptr;
        delete g_manager;
        g_manager = nullptr;
        delete g_sound;
        g_sound = nullptr;
        delete g_dialogue;
        g_dialogue = nullptr;
        g_afterDialogue.reset();
        g_video = nullptr;
        ClearQuitRequest();
        platform::TraceOff();
    }
    TestWorld(const TestWorld&) = delete;
    TestWorld& operator=(const TestWorld&) = delete;

    // Builds and starts the world from `script` (TOTALINIT reactions run during the start).
    QSystem& Load(const ScriptBuilder& script) {
        g_system->Build(script.Data());
        g_system->Start();
        return *g_system;
    }

    QSystem& world() { return *g_system; }
    QMessageObject& Obj(uint16_t id) { return *g_system->FindById(id); }
    // The types of queued messages to `target`, in order.
    std::vector<uint16_t> Queued(uint16_t target) const {
        std::vector<uint16_t> types;
        for (const QMessage& m : g_system->queue)
            if (m.target == target) types.push_back(m.type);
        return types;
    }
    bool Traced(const std::string& line) const {
        for (const auto& t : trace)
            if (t == line) return true;
        return false;
    }

    std::unique_ptr<platform::Display> display;
    QVideoSystem video;
    std::vector<std::string> trace;
};

} // namespace testing_support

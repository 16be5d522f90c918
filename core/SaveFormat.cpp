#include "core/SaveFormat.h"

#include "platform/Cp1251.h"

#include <cstdio>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace {

// Two lengths, busy, status, resource, z, x, y, visible, active, animate.
constexpr size_t kMinObjectRecord = 4 + 4 + 4 + 1 + 7 * 4;

class Parser {
public:
    explicit Parser(std::span<const uint8_t> bytes) : in_(bytes) {}

    bool Run(SavedGame& out, std::string& error);

private:
    bool Fail(std::string reason) {
        if (error_.empty()) error_ = std::move(reason);
        return false;
    }
    bool Ended(const std::string& where) {
        return Fail("the file ends inside " + where + " (at byte " + std::to_string(in_.Size()) +
                    ")");
    }
    // A count read as i32 that must be >= 0 and fit `size`-byte items into what is left.
    bool Count(const std::string& what, size_t size, size_t& count);
    bool Text(const std::string& what, std::string& out);
    bool Objects(std::vector<SavedObject>& out);
    bool Object(size_t index, SavedObject& o);
    bool Inventory(std::vector<uint16_t>& out);
    bool Characters(SavedGame& g);
    bool Dialogue(std::vector<uint8_t>& out);
    bool Cursor(SavedGame& g);

    platform::ByteReader in_;
    std::string error_;
};

bool Parser::Count(const std::string& what, size_t size, size_t& count) {
    const int32_t value = in_.I32();
    if (in_.Failed()) return Ended(what);
    if (value < 0) return Fail(what + " is " + std::to_string(value));
    if (static_cast<size_t>(value) > in_.Remaining() / size)
        return Fail(what + " is " + std::to_string(value) + ", more than the " +
                    std::to_string(in_.Remaining()) + " bytes left can hold");
    count = static_cast<size_t>(value);
    return true;
}

bool Parser::Text(const std::string& what, std::string& out) {
    size_t length = 0;
    if (!Count("the length of " + what, 1, length)) return false;
    const std::span<const uint8_t> bytes = in_.Bytes(length);
    out.assign(bytes.begin(), bytes.end());
    return true;
}

bool Parser::Objects(std::vector<SavedObject>& out) {
    const int32_t n = in_.I32();
    if (in_.Failed()) return Ended("the object count");
    if (n < kUnsavedObjects)
        return Fail("the object count is " + std::to_string(n) + ", below the " +
                    std::to_string(kUnsavedObjects) + " objects every world has");
    const size_t records = static_cast<size_t>(n - kUnsavedObjects);
    if (records > in_.Remaining() / kMinObjectRecord)
        return Fail("the object count is " + std::to_string(n) + ", more records than the " +
                    std::to_string(in_.Remaining()) + " bytes left can hold");
    out.resize(records);
    for (size_t i = 0; i < records; ++i)
        if (!Object(i, out[i])) return false;
    return true;
}

bool Parser::Object(size_t index, SavedObject& o) {
    const std::string where = "object record " + std::to_string(index);
    if (!Text("the name of " + where, o.name)) return false;
    if (!Text("the display name of " + where + " (\"" + o.name + "\")", o.displayName))
        return false;
    o.busy = in_.I32();
    o.status = in_.U8();
    o.resourceId = in_.I32();
    o.z = in_.I32();
    o.x = in_.I32();
    o.y = in_.I32();
    o.visible = in_.I32();
    o.active = in_.I32();
    o.animate = in_.I32();
    return !in_.Failed() || Ended(where + " (\"" + o.name + "\")");
}

bool Parser::Inventory(std::vector<uint16_t>& out) {
    size_t count = 0;
    if (!Count("the inventory count", 2, count)) return false;
    out.resize(count);
    for (uint16_t& id : out)
        id = in_.U16();
    return true;
}

bool Parser::Characters(SavedGame& g) {
    for (SavedFoot* foot : {&g.tarvoFoot, &g.varnagelFoot}) {
        foot->x = in_.I32();
        foot->y = in_.I32();
    }
    return !in_.Failed() || Ended("the characters' positions");
}

bool Parser::Dialogue(std::vector<uint8_t>& out) {
    const size_t start = in_.Tell();
    size_t words = 0;
    // The size word is unsigned; read as i32, a size of 2^31 or more is refused like any
    // count the file cannot hold.
    if (!Count("the dialogue code size", 4, words)) return false;
    in_.Seek(start);
    const std::span<const uint8_t> block = in_.Bytes(4 + words * 4);
    out.assign(block.begin(), block.end());
    return true;
}

bool Parser::Cursor(SavedGame& g) {
    g.cursorResource = in_.I32();
    g.cursorMode = in_.I32();
    g.heldId = in_.I32();
    if (in_.Failed()) return Ended("the cursor fields");
    if (g.cursorMode < 0 || g.cursorMode > kLastCursorMode)
        return Fail("the cursor mode is " + std::to_string(g.cursorMode) + " (0 to " +
                    std::to_string(kLastCursorMode) + ")");
    if (g.heldId < -1 || g.heldId > 0xFFFF)
        return Fail("the held object id is " + std::to_string(g.heldId));
    if (!in_.AtEnd())
        return Fail(std::to_string(in_.Remaining()) + " stray bytes follow the cursor fields");
    return true;
}

bool Parser::Run(SavedGame& out, std::string& error) {
    SavedGame g;
    const bool ok = Objects(g.objects) && Inventory(g.inventory) &&
                    Text("the room name", g.roomName) && Characters(g) &&
                    Dialogue(g.dialogueState) && Cursor(g);
    if (!ok) {
        error = error_;
        return false;
    }
    out = std::move(g);
    return true;
}

void PutText(platform::ByteWriter& out, const std::string& text) {
    out.I32(static_cast<int32_t>(text.size()));
    out.Bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

} // namespace

bool ParseSavedGame(std::span<const uint8_t> bytes, SavedGame& out, std::string& error) {
    return Parser(bytes).Run(out, error);
}

std::vector<uint8_t> WriteSavedGame(const SavedGame& g) {
    platform::ByteWriter out;
    out.I32(static_cast<int32_t>(g.objects.size()) + kUnsavedObjects);
    for (const SavedObject& o : g.objects) {
        PutText(out, o.name);
        PutText(out, o.displayName);
        out.I32(o.busy);
        out.U8(o.status);
        for (int32_t v : {o.resourceId, o.z, o.x, o.y, o.visible, o.active, o.animate})
            out.I32(v);
    }
    out.I32(static_cast<int32_t>(g.inventory.size()));
    for (uint16_t id : g.inventory)
        out.U16(id);
    PutText(out, g.roomName);
    for (const SavedFoot& foot : {g.tarvoFoot, g.varnagelFoot}) {
        out.I32(foot.x);
        out.I32(foot.y);
    }
    out.Bytes(g.dialogueState);
    out.I32(g.cursorResource);
    out.I32(g.cursorMode);
    out.I32(g.heldId);
    return out.Take();
}

std::string DescribeSavedGame(const SavedGame& g) {
    std::string text;
    char line[200];
    // Names are the game's Windows-1251 bytes; the listing is read in a UTF-8 terminal.
    auto quoted = [&](const std::string& name) {
        text += '"';
        text += platform::Cp1251ToUtf8(name);
        text += '"';
    };
    std::snprintf(line, sizeof line, "objects %zu (%zu records)\n",
                  g.objects.size() + kUnsavedObjects, g.objects.size());
    text += line;
    for (const SavedObject& o : g.objects) {
        text += "  ";
        quoted(o.name);
        text += ' ';
        quoted(o.displayName);
        std::snprintf(line, sizeof line,
                      " busy %d status %u resource %d z %d at %d,%d visible %d active %d "
                      "animate %d\n",
                      o.busy, static_cast<unsigned>(o.status), o.resourceId, o.z, o.x, o.y,
                      o.visible, o.active, o.animate);
        text += line;
    }
    text += "inventory";
    for (uint16_t id : g.inventory)
        text += ' ' + std::to_string(id);
    text += "\nroom ";
    quoted(g.roomName);
    const size_t words = g.dialogueState.size() >= 4 ? g.dialogueState.size() / 4 - 1 : 0;
    std::snprintf(line, sizeof line,
                  "\nfeet %d,%d and %d,%d\ndialogue code %zu words\n"
                  "cursor resource %d mode %d held %d\n",
                  g.tarvoFoot.x, g.tarvoFoot.y, g.varnagelFoot.x, g.varnagelFoot.y, words,
                  g.cursorResource, g.cursorMode, g.heldId);
    text += line;
    return text;
}

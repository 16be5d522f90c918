#include "dialogue/BigDialogue.h"

#include "core/MessageTypes.h"
#include "core/QSystem.h"
#include "platform/Trace.h"
#include "resources/FileAccess.h"

#include <cstdio>
#include <fstream>

BigDialogue* g_dialogue = nullptr;

namespace {

constexpr const char* kTablesFile = "dialogue.fix";
constexpr const char* kPhrasesFile = "dialogue.lod";
constexpr const char* kErrorLogFile = "dialogue.err";

DialogueTables ReadTables() {
    std::vector<uint8_t> bytes;
    if (!FileReadAll(kTablesFile, bytes)) return {};
    DialogueTables tables;
    std::string error;
    if (ParseDialogueTables(bytes, tables, error)) return tables;
    platform::Trace("%s: %s; no dialogues\n", kTablesFile, error.c_str());
    return {};
}

// Any earlier log is replaced.
void WriteErrorLog(const std::string& text) {
    std::ofstream log(kErrorLogFile, std::ios::trunc);
    log << text;
    if (!log) platform::Trace("%s could not be written\n", kErrorLogFile);
}

} // namespace

BigDialogue::BigDialogue() : machine_(ReadTables()) {
    InstallHooks();
}

BigDialogue::BigDialogue(DialogueTables tables) : machine_(std::move(tables)) {
    InstallHooks();
}

BigDialogue::BigDialogue(DialogueTables tables, std::vector<DialoguePhrase> phrases)
    : machine_(std::move(tables)) {
    machine_.SetPhrases(std::move(phrases));
    InstallHooks();
}

BigDialogue::~BigDialogue() {
    platform::Trace("~BigDialogue\n");
}

void BigDialogue::InstallHooks() {
    DialogueHooks hooks;
    hooks.notify = [this](uint16_t argument) {
        if (notificationHandler_)
            notificationHandler_(argument);
        else
            PostNotification(argument);
    };
    hooks.errorLog = &WriteErrorLog;
    machine_.SetHooks(std::move(hooks));
}

void BigDialogue::Start(uint16_t objectId, uint32_t key, int entryIndex) {
    LoadPhrases();
    machine_.Start(objectId, key, entryIndex);
}

void BigDialogue::LoadPhrases() {
    if (machine_.PhraseCount() != 0) return;
    std::vector<uint8_t> bytes;
    if (!FileReadAll(kPhrasesFile, bytes)) return;
    DialoguePhrases phrases;
    std::string error;
    if (!ParseDialoguePhrases(bytes, phrases, error)) {
        platform::Trace("%s: %s; no phrases\n", kPhrasesFile, error.c_str());
        return;
    }
    machine_.SetPhrases(std::move(phrases.phrases));
}

DialogueStateLoad BigDialogue::LoadState(platform::ByteReader* in) {
    const DialogueStateLoad result = machine_.LoadState(in);
    if (result == DialogueStateLoad::SizeMismatch)
        platform::Trace("Saved dialogue state is for another %s; the loaded code is kept\n",
                        kTablesFile);
    return result;
}

void BigDialogue::SetNotificationHandler(std::function<void(uint16_t)> handler) {
    notificationHandler_ = std::move(handler);
}

void BigDialogue::PostNotification(uint16_t argument) {
    if (g_system == nullptr) return;
    g_system->Post(g_system->varnagel.id, USERMSG, argument, 0, 0, 0, nullptr);
}

void BigDialogue::ReportMissingSpeaker(int32_t speakerId) {
    char opening[64];
    char position[96];
    std::snprintf(opening, sizeof opening, "Error: speaker %d is no object\n", speakerId);
    std::snprintf(position, sizeof position, "ip=%04xh speaker=%d codesize=%04xh\n",
                  static_cast<unsigned>(machine_.InstructionPointer().value_or(0)), speakerId,
                  static_cast<unsigned>(machine_.Code().size()));
    machine_.Fail(opening, position);
}

void BigDialogue::ReportMissingPhrase() {
    const int ip = machine_.InstructionPointer().value_or(0);
    const std::span<const uint32_t> code = machine_.Code();
    const unsigned index = ip >= 0 && static_cast<size_t>(ip) < code.size()
                               ? code[static_cast<size_t>(ip)] & 0xFFFF
                               : 0;
    char opening[64];
    char position[96];
    std::snprintf(opening, sizeof opening, "Error: phrase %u is not in %s\n", index, kPhrasesFile);
    std::snprintf(position, sizeof position, "ip=%04xh phrases=%d codesize=%04xh\n",
                  static_cast<unsigned>(ip), static_cast<int>(machine_.PhraseCount()),
                  static_cast<unsigned>(code.size()));
    machine_.Fail(opening, position);
}

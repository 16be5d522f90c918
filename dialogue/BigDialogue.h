#pragma once
// The game's conversation interpreter (g_dialogue): the bytecode machine fed from the data
// files. "dialogue.fix" is read when it is created, "dialogue.lod" when the first dialogue
// starts; either may lie loose or in an archive. A broken conversation writes "dialogue.err"
// in the working directory and ends; a notification posts USERMSG to the second player
// character unless the dialogue interface has taken the notification over.
#include <cstdint>
#include <functional>

#include "dialogue/DialogueMachine.h"

class BigDialogue {
public:
    // Reads "dialogue.fix". When it is missing or malformed (the reason is traced), no
    // dialogue is ever found.
    BigDialogue();
    // An interpreter over tables already parsed; the phrases still come from "dialogue.lod".
    explicit BigDialogue(DialogueTables tables);
    // An interpreter over tables and phrases already parsed (no file is read).
    BigDialogue(DialogueTables tables, std::vector<DialoguePhrase> phrases);
    ~BigDialogue();
    BigDialogue(const BigDialogue&) = delete;
    BigDialogue& operator=(const BigDialogue&) = delete;

    const DialogueHandler* FindDialogue(uint16_t objectId, uint32_t key, bool& wildcard) const {
        return machine_.FindDialogue(objectId, key, wildcard);
    }
    // Positions the interpreter at the handler's entry (the default one for a negative
    // entryIndex); loads the phrases first if they are not loaded.
    void Start(uint16_t objectId, uint32_t key, int entryIndex);

    DialogueStop Classify() { return machine_.Classify(); }
    void Run(int choice) { machine_.Run(choice); }
    const DialoguePhrase* GetPhrase(int index) { return machine_.GetPhrase(index); }
    int CountChoices() const { return machine_.CountChoices(); }

    // The code segment (with its switched-off choices and cycle positions) in a save file.
    void SaveState(platform::ByteWriter* out) const { machine_.SaveState(out); }
    // A block for another code size is skipped and the loaded code kept (traced).
    DialogueStateLoad LoadState(platform::ByteReader* in);
    // Back to the code as "dialogue.fix" had it, for a new game: choices the last game
    // switched off are offered again.
    void ResetCode() { machine_.ResetCode(); }

    // Who handles a reached notification. The dialogue interface installs its own steps
    // (SAID to the speaker, pausing) and then calls PostNotification; until one is
    // installed, the notification is posted straight away.
    void SetNotificationHandler(std::function<void(uint16_t argument)> handler);
    // Posts USERMSG with `argument` as its first parameter to the second player character.
    static void PostNotification(uint16_t argument);

    // For the phrase step of the dialogue interface: the phrase's speaker id names no
    // object, so the conversation ends with the error log instead of using it.
    void ReportMissingSpeaker(int32_t speakerId);
    // The same for a phrase word whose index "dialogue.lod" does not have.
    void ReportMissingPhrase();

    const DialogueMachine& Machine() const { return machine_; }

private:
    void InstallHooks();
    void LoadPhrases();

    DialogueMachine machine_;
    std::function<void(uint16_t)> notificationHandler_;
};

extern BigDialogue* g_dialogue;

#pragma once
// Conversations on screen. The interpreter (g_dialogue) stops at what the player must see; the
// dialogue interface shows it through the current interface: a phrase in its speaker's colour
// with the recorded line from "SPEECH\" placed by the speaker's position, a menu of choices,
// or nothing while the script answers a notification. The speakers switch between talking
// (SAY) and standing (SAID). At the end the action menu comes back and the rest of the
// reaction that waited for the dialogue runs with the partner as its sender.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/CObject.h"
#include "platform/Event.h"

class QMessageObject;

// Phrase colours by speaker, and the outline of phrases; the menu's colours.
inline constexpr uint32_t kTarvoPhraseColor = 0x00FFFF;
inline constexpr uint32_t kVarnagelPhraseColor = 0x00FF00;
inline constexpr uint32_t kOtherPhraseColor = 0xFF00FF;
inline constexpr uint32_t kPhraseOutline = 0x7F;
inline constexpr uint32_t kChoiceColor = 0xFFFFFF;
inline constexpr uint32_t kChoiceOutline = 0x0A0A0A;
inline constexpr uint32_t kChoiceHighlight = 0xFF0000;

// The player's subtitles setting, in section "Options" of the profile.
inline constexpr const char* kSubtitlesKey = "Subtitles";

// StepDialogue's argument: go on from a phrase or a pause, or the first step of a dialogue.
inline constexpr int kGoOn = -1;
inline constexpr int kFirstStep = -2;

class QDialogInterface : public CObject {
    TARVO_DECLARE_CLASS(QDialogInterface)
public:
    enum State : int32_t { kShowingPhrase = 1, kShowingMenu = 2, kIdle = 3 };

    QDialogInterface();
    ~QDialogInterface() override;
    QDialogInterface(const QDialogInterface&) = delete;
    QDialogInterface& operator=(const QDialogInterface&) = delete;

    // Begins a conversation where the interpreter stands, with `partner` (or none).
    void StartDialogue(int number, QMessageObject* partner);
    // Moves on: kGoOn after a phrase or a pause, or the visible number of a menu choice.
    // A choice while a phrase is shown and kGoOn while a menu is shown are ignored.
    void StepDialogue(int choice);
    // CONTINUE from the script: the pause of a notification ends and the dialogue goes on.
    void Continue();
    // A click on the line or Space: its speech stops and the dialogue goes on.
    void SkipPhrase();
    // A saved game is being restored: a conversation shown now belongs to the world left
    // behind. It ends without its continuation, and the player has the room back.
    void Abandon();

    bool IsIdle() const { return state == kIdle; }
    // Whether the phrase shown times by its speech, and whether that speech has ended.
    bool SpeechPresent() const { return speechPresent != 0; }
    bool SpeechEnded() { return speechEnd.TryWait(); }
    // The options panel's speed, 0..100 (100 when there is no panel): lines without speech
    // stay longer at lower speeds.
    int SpeedPercent() const;

    int32_t paused = 0;
    int32_t wasPaused = 0;
    int32_t speechPresent = 0;
    int32_t firstStep = 1;
    int32_t number = -1;
    int32_t state = kIdle;
    platform::Event speechEnd{true, false};
    std::string speechName;
    QMessageObject* partner = nullptr;
    QMessageObject* speaker = nullptr;
    // The player's choice (profile key "Subtitles"): with 0, a line that has speech is heard
    // but not written; lines without speech are always written.
    int32_t subtitles = 1;

private:
    void ShowPhraseStop(std::optional<int32_t> previousSpeakerId);
    void ShowMenuStop();
    void EndStop();
    void NotificationStop();
    void OnNotification(uint16_t argument);
    void PlaySpeech(const std::string& file, const QMessageObject& who);
    // The speaker, if any, gets SAID at once (not queued) and is forgotten.
    void Silence();

    std::vector<std::string> choices_;
};

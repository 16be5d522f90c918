#include "interfaces/QDialogInterface.h"

#include <algorithm>

#include "core/Application.h"
#include "core/QSystem.h"
#include "dialogue/BigDialogue.h"
#include "graphics/QFlic.h"
#include "interfaces/QInterfaceMain.h"
#include "interfaces/QObjectStar.h"
#include "platform/Profile.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "screens/QInterfacePanel.h"
#include "sound/DSengine.h"

TARVO_IMPLEMENT_CLASS(QDialogInterface, CObject)

namespace {

QInterface* CurrentInterface() {
    return g_system != nullptr ? g_system->currentInterface : nullptr;
}

void ShowEmptyPhrase() {
    if (QInterface* ui = CurrentInterface()) ui->ShowPhrase("", kOtherPhraseColor, kPhraseOutline);
}

void SetActionMenuActive(int32_t active) {
    if (g_system != nullptr && g_system->actionMenu) g_system->actionMenu->active = active;
}

uint32_t PhraseColorOf(const QMessageObject& who) {
    if (who.IsKindOf(RUNTIME_CLASS(QObjectVarnagel))) return kVarnagelPhraseColor;
    if (who.IsKindOf(RUNTIME_CLASS(QObjectTarvo))) return kTarvoPhraseColor;
    return kOtherPhraseColor;
}

QMessageObject* FindSpeaker(int32_t id) {
    if (g_system == nullptr || id < 0 || id > 0xFFFF) return nullptr;
    return g_system->FindById(static_cast<uint16_t>(id));
}

} // namespace

QDialogInterface::QDialogInterface() {
    // Subtitles are a setting of our own beside the panel's, on unless the player wrote 0.
    // The value is written back, so that the key shows in the player's settings file.
    if (g_profile == nullptr) return;
    subtitles = g_profile->GetInt("Options", kSubtitlesKey, 1) != 0 ? 1 : 0;
    g_profile->WriteInt("Options", kSubtitlesKey, subtitles);
}

QDialogInterface::~QDialogInterface() {
    platform::Trace("~QDialogInterface\n");
    // The interpreter outlives the world; it must not call back into a destroyed interface.
    if (g_dialogue != nullptr) g_dialogue->SetNotificationHandler(nullptr);
    if (g_sound != nullptr && !speechName.empty()) g_sound->RemoveSound(speechName);
}

int QDialogInterface::SpeedPercent() const {
    if (g_system == nullptr || !g_system->panelInterface) return 100;
    return std::clamp(static_cast<int>(g_system->panelInterface->speedPercent), 0, 100);
}

void QDialogInterface::StartDialogue(int dialogueNumber, QMessageObject* who) {
    if (g_dialogue != nullptr)
        g_dialogue->SetNotificationHandler([this](uint16_t a) { OnNotification(a); });
    // A conversation that replaces a running one leaves nobody talking.
    Silence();
    number = dialogueNumber;
    SetActionMenuActive(0);
    speechPresent = 0;
    paused = 0;
    wasPaused = 0;
    firstStep = 1;
    state = kIdle;
    partner = who;
    speechName.clear();
    StepDialogue(kFirstStep);
}

void QDialogInterface::StepDialogue(int choice) {
    if ((choice == kGoOn && state == kShowingMenu) || (choice != kGoOn && state == kShowingPhrase))
        return;
    if (state == kShowingMenu && choice >= 0 && static_cast<size_t>(choice) < choices_.size())
        platform::Trace("Choice: %s\n", choices_[static_cast<size_t>(choice)].c_str());
    std::optional<int32_t> previousSpeakerId;
    if (choice == kGoOn && wasPaused == 0 && g_dialogue != nullptr)
        if (const DialoguePhrase* shown = g_dialogue->GetPhrase(-1))
            previousSpeakerId = shown->speakerId;
    wasPaused = paused;
    if (paused != 0) return;
    if (g_dialogue == nullptr) {
        EndStop();
        return;
    }
    if (firstStep != 0)
        firstStep = 0;
    else
        g_dialogue->Run(choice);
    switch (g_dialogue->Classify()) {
    case DialogueStop::Phrase:
        ShowPhraseStop(previousSpeakerId);
        break;
    case DialogueStop::Menu:
        ShowMenuStop();
        break;
    case DialogueStop::End:
        EndStop();
        break;
    case DialogueStop::Notification:
        NotificationStop();
        break;
    }
}

void QDialogInterface::Continue() {
    paused = 0;
    StepDialogue(kGoOn);
}

void QDialogInterface::SkipPhrase() {
    // Removing the sound stops it first.
    if (g_sound != nullptr && !speechName.empty()) g_sound->RemoveSound(speechName);
    speechName.clear();
    StepDialogue(kGoOn);
}

void QDialogInterface::Abandon() {
    if (IsIdle()) return;
    Silence();
    if (g_sound != nullptr && !speechName.empty()) g_sound->RemoveSound(speechName);
    speechName.clear();
    speechPresent = 0;
    paused = 0;
    state = kIdle;
    number = -1;
    partner = nullptr;
    g_afterDialogue.reset();
    SetActionMenuActive(1);
    if (QInterface* ui = CurrentInterface()) ui->RemoveTexts();
}

void QDialogInterface::ShowPhraseStop(std::optional<int32_t> previousSpeakerId) {
    const DialoguePhrase* phrase = g_dialogue->GetPhrase(-1);
    QMessageObject* next = phrase != nullptr ? FindSpeaker(phrase->speakerId) : nullptr;
    if (next == nullptr) {
        // A line nobody can say ends the conversation with the error log.
        if (phrase == nullptr)
            g_dialogue->ReportMissingPhrase();
        else
            g_dialogue->ReportMissingSpeaker(phrase->speakerId);
        EndStop();
        return;
    }
    PlaySpeech(phrase->SoundName(), *next);
    const bool sameSpeaker = previousSpeakerId == phrase->speakerId;
    if (!sameSpeaker) Silence();
    speaker = next;
    platform::Trace("Phrase: %s\n", phrase->text.c_str());
    const bool written = subtitles != 0 || speechPresent == 0;
    if (QInterface* ui = CurrentInterface())
        ui->ShowPhrase(written ? phrase->text : std::string(), PhraseColorOf(*next),
                       kPhraseOutline);
    if (!sameSpeaker) g_system->Post(next->id, SAY, 0, 0, 0, 0, nullptr);
    state = kShowingPhrase;
}

void QDialogInterface::PlaySpeech(const std::string& file, const QMessageObject& who) {
    const std::string path = file.empty() ? std::string() : "SPEECH\\" + file;
    speechPresent = g_sound != nullptr && !path.empty() && g_sound->LoadSound(path, kSoundSpeech);
    // The same line said again keeps its loaded sound.
    if (g_sound != nullptr && !speechName.empty() && speechName != path)
        g_sound->RemoveSound(speechName);
    speechName = path;
    if (speechPresent == 0) return;
    QFlic* flic = g_manager != nullptr ? g_manager->GetFlic(who.resourceId) : nullptr;
    if (flic != nullptr) {
        const platform::Rect frame = flic->BoundingRect();
        g_sound->PanSound(path, who.x + frame.left + frame.Width() / 2, g_system->roomWidth);
    }
    g_sound->PlaySound(path, false, &speechEnd);
}

void QDialogInterface::ShowMenuStop() {
    Silence();
    choices_.clear();
    const int count = g_dialogue->CountChoices();
    for (int i = 0; i < count; ++i) {
        const DialoguePhrase* choice = g_dialogue->GetPhrase(i);
        choices_.push_back(choice != nullptr ? choice->text : std::string());
    }
    std::string listing;
    for (const std::string& c : choices_)
        listing += (listing.empty() ? "" : " | ") + c;
    platform::Trace("Menu: %s\n", listing.c_str());
    if (g_system != nullptr && g_system->mainInterface)
        g_system->mainInterface->ShowChoices(choices_, kChoiceColor, kChoiceOutline,
                                             kChoiceHighlight);
    state = kShowingMenu;
}

void QDialogInterface::EndStop() {
    Silence();
    ShowEmptyPhrase();
    SetActionMenuActive(1);
    state = kIdle;
    number = -1;
    // Nothing is said any more: a phrase shown later (a cut-scene's) times by its length.
    speechPresent = 0;
    if (QInterface* ui = CurrentInterface()) ui->RemoveTexts();
    if (g_afterDialogue && g_system != nullptr) g_system->RunReaction(&g_afterDialogue, partner);
    partner = nullptr;
}

void QDialogInterface::NotificationStop() {
    speaker = nullptr; // the notification has already sent it SAID
    ShowEmptyPhrase();
    state = kShowingPhrase;
}

void QDialogInterface::OnNotification(uint16_t argument) {
    Silence();
    paused = 1;
    BigDialogue::PostNotification(argument);
}

void QDialogInterface::Silence() {
    QMessageObject* who = speaker;
    speaker = nullptr;
    if (who == nullptr) return;
    QMessage said(who->id, SAID, 0, 0, 0);
    who->HandleMessage(said);
}

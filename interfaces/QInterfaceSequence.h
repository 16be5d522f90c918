#pragma once
// Cut-scenes: a room's description (the room object and its objects from "backgrnd.bg")
// played on its own, without the characters, cursor, case or action menu, until the scene's
// script ends it. The player can only click the phrase shown, or skip the whole scene.
#include <cstdint>

#include "interfaces/QInterface.h"

class QInterfaceSequence : public QInterface {
    TARVO_DECLARE_CLASS(QInterfaceSequence)
public:
    ~QInterfaceSequence() override;

    // A click goes to the text shown (a phrase skips its line); nothing else takes clicks.
    void OnLeftClick(int x, int y) override;
    // Ends the sequence: the scene's resources and sounds go and the room is back as it was.
    // Nothing while no sequence plays.
    void Cancel() override;

    // Plays the scene of room `roomId`, replacing one that plays. A room id that names no
    // room starts nothing.
    void BeginSequence(int roomId);
    // Plays the rest of the scene at once, without drawing: step by step the queue is
    // delivered, a phrase shown is clicked away (as the player would, which stops its
    // speech) and the scene's animations advance a frame, until the script ends the scene,
    // so that every reaction of it still runs. A scene that has not ended after kSkipSteps
    // steps is ended as the other commands end it.
    void Skip();

    bool Playing() const { return roomId != -1; }

    // The scene's room while a sequence plays, -1 otherwise.
    int32_t roomId = -1;

    static constexpr int kSkipSteps = 20000;
    static constexpr int kSkipStepMs = 1000;

private:
    // Frees the pictures, animations and companion sounds of the scene's script objects.
    void ReleaseScene();
    void AdvanceScene(int elapsedMs);
    // Clicks the phrase shown away, if one is shown.
    void PassPhrase();

    // The room's view, put back when the scene ends: the scene is shown unscrolled.
    int32_t mainScrollOffset_ = 0;
    int32_t mainScrollTarget_ = 0;
    int32_t mainRoomWidth_ = 640;
};

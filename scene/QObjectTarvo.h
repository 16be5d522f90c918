#pragma once
// The player characters. They walk along paths their walker finds in the room's walk area,
// with a walk animation per direction, drawn scaled by the room's perspective into a private
// picture (-5 for Tarvo, -6 for Varnagel); they keep the rest of a reaction that started a
// walk and run it on arrival, and switch between standing and talking on the dialogue
// messages.
#include <memory>

#include "core/QObject.h"

class Walk;

class QObjectTarvo : public QObject {
    TARVO_DECLARE_CLASS(QObjectTarvo)
public:
    QObjectTarvo();
    ~QObjectTarvo() override;

    void Draw(platform::Surface& target) override;
    // Advances the animation by its frame time (faster while walking, by the game speed) and
    // takes one walk step per frame.
    void Update(int elapsedMs) override;
    // Places the feet at (x, y) (y at most 480); x, y become the scaled image's top-left.
    void SetPos(int x, int y) override;
    // One pixel of the scaled image, in room coordinates.
    int HitTest(int x, int y) override;
    // The depth is the row of the feet.
    void UpdateDepth() override;
    void HandleMessage(QMessage& message) override;

    // Moves the character to where its walker is.
    virtual void FollowWalker();
    // The current room's perspective factor for feet at row y.
    virtual double GetScale(int y) const;
    // Walks to (x, y) along a path in the walk area. A character without a walker, or not
    // visible, is put there at once; a walk shorter than 5 pixels does not start.
    virtual void WalkTo(int x, int y);
    // One step of the walk, for every frame the walk animation advances.
    virtual void WalkTick();
    // Ends a walk at once; a pending after-walk continuation is dropped.
    virtual void StopWalk();
    // Makes copies of the messages after `index` of `reaction` the after-walk continuation,
    // run with `sender` on arrival. The caller keeps (or deletes) the reaction itself.
    virtual void SetAfterWalk(int index, const QReaction& reaction, QMessageObject* sender);

    const QReaction* AfterWalk() const { return afterWalk_.get(); }
    // Forgets the after-walk continuation without running it.
    void DropAfterWalk() {
        afterWalk_.reset();
        afterWalkSender_ = nullptr;
    }
    QMessageObject* AfterWalkSender() const { return afterWalkSender_; }
    Walk* Walker() const { return walker_.get(); }

    int32_t standing = 1;
    int32_t scaledWidth = 0;
    int32_t scaledHeight = 0;
    int32_t footX = 0;
    int32_t footY = 0;
    int32_t scaledImageId = -5;
    int32_t baseAnimation = -1;
    double scale = 1.0;
    int32_t walking = 0;
    int32_t cameraFollows = 1;

protected:
    platform::Rect ScreenRect() const;
    // Marks the scaled box for redraw, and lets the hover follow when the pointer rests on it.
    void MarkShownArea() const;
    const char* WarningName() const { return id == 0 ? "Tarvo" : "Varnagel"; }
    // Shows walk animation base + 10 + the walker's direction from its first frame.
    void ShowWalkAnimation();
    void Arrive();
    void NewWalker();
    void FollowCamera(int footRoomX) const;

    std::unique_ptr<Walk> walker_;
    std::unique_ptr<QReaction> afterWalk_;
    QMessageObject* afterWalkSender_ = nullptr;
};

class QObjectVarnagel : public QObjectTarvo {
    TARVO_DECLARE_CLASS(QObjectVarnagel)
public:
    QObjectVarnagel();
};

// The game speed as a percentage, 0..100, from the options panel (100 until there is one).
int GameSpeedPercent();

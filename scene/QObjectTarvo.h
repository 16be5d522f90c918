#pragma once
// The player characters. They keep the rest of a reaction that started a walk and run it on
// arrival, and switch between standing and talking animations on the dialogue messages.
#include <memory>

#include "core/QObject.h"

class QObjectTarvo : public QObject {
    TARVO_DECLARE_CLASS(QObjectTarvo)
public:
    QObjectTarvo();
    ~QObjectTarvo() override;

    void HandleMessage(QMessage& message) override;
    // Places the feet at (x, y) (y at most 480); x, y become the scaled image's top-left.
    void SetPos(int x, int y) override;

    // The current room's perspective factor at row y.
    virtual double GetScale(int y) const;

    virtual void WalkTo(int x, int y);
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

    // Every WalkTo, for tests, until walking lands: (x, y) pairs.
    std::vector<platform::Point> walkRequests;

protected:
    platform::Rect ScreenRect() const;
    // Marks what the character covers for redraw: the scaled box, and the current frame as
    // drawn at (x, y), which reaches beyond the box while the picture is drawn unscaled.
    void MarkShownArea() const;
    const char* WarningName() const { return id == 0 ? "Tarvo" : "Varnagel"; }

    std::unique_ptr<QReaction> afterWalk_;
    QMessageObject* afterWalkSender_ = nullptr;
};

class QObjectVarnagel : public QObjectTarvo {
    TARVO_DECLARE_CLASS(QObjectVarnagel)
public:
    QObjectVarnagel();
};

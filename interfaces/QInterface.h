#pragma once
// A screen in which the player acts. The current interface's object list is what the video
// system updates and draws; input goes to it in room coordinates.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CObject.h"

class QVisibleObject;

class QInterface : public CObject {
    TARVO_DECLARE_CLASS(QInterface)
public:
    QInterface() = default;
    ~QInterface() override;

    virtual void Start() {}
    virtual void OnLeftClick(int x, int y) { (void)x, (void)y; }
    virtual void OnMouseMove(int x, int y) { (void)x, (void)y; }
    virtual void RemoveTexts();
    virtual void ShowText(const std::string& text, uint32_t color, uint32_t outlineColor);
    virtual void ShowPhrase(const std::string& text, uint32_t color, uint32_t outlineColor);
    virtual void AfterUpdate() {}
    virtual void OnRightClick(int x, int y) { (void)x, (void)y; }
    virtual void Cancel();

    bool Contains(const QVisibleObject* object) const;
    void Remove(const QVisibleObject* object);

    std::vector<QVisibleObject*> objects; // not owned, except text objects
    int32_t firstAnimated = 0;
    // The text shown last (until text objects land, the interface keeps the text itself).
    std::string shownText;
};

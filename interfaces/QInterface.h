#pragma once
// A screen in which the player acts. The current interface's object list is what the video
// system updates and draws; input goes to it in room coordinates. The list does not own its
// objects, except the one text object shown at a time.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CObject.h"

class QVisibleObject;
class QText;

// Caption colours: names under the pointer, and the shared outline.
inline constexpr uint32_t kCaptionColor = 0xFFFFC0;
inline constexpr uint32_t kScriptNameColor = 0x000080;
inline constexpr uint32_t kOutlineColor = 0x0A0A0A;

class QInterface : public CObject {
    TARVO_DECLARE_CLASS(QInterface)
public:
    QInterface();
    ~QInterface() override;

    virtual void Start() {}
    virtual void OnLeftClick(int x, int y) { (void)x, (void)y; }
    virtual void OnMouseMove(int x, int y) { (void)x, (void)y; }
    // Removes and deletes every text object, marking its area for redraw.
    virtual void RemoveTexts();
    // A caption; an empty text only removes the one shown.
    virtual void ShowText(const std::string& text, uint32_t color, uint32_t outlineColor);
    virtual void ShowPhrase(const std::string& text, uint32_t color, uint32_t outlineColor);
    virtual void AfterUpdate() {}
    virtual void OnRightClick(int x, int y) { (void)x, (void)y; }
    // Removes the text shown and redraws the whole screen.
    virtual void Cancel();

    bool Contains(const QVisibleObject* object) const;
    void Remove(const QVisibleObject* object);
    // The text object shown, or null.
    QText* ShownText() const;

    std::vector<QVisibleObject*> objects;
    int32_t firstAnimated = 0;

protected:
    // Appends a text object the interface then owns.
    void AddText(std::unique_ptr<QText> text);

private:
    std::vector<std::unique_ptr<QText>> texts_;
};

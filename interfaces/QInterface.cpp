#include "interfaces/QInterface.h"

#include <algorithm>

#include "core/QVisibleObject.h"
#include "graphics/QVideoSystem.h"
#include "platform/Trace.h"
#include "resources/QManager.h"
#include "text/QText.h"

TARVO_IMPLEMENT_CLASS(QInterface, CObject)

QInterface::QInterface() = default;

QInterface::~QInterface() {
    platform::Trace("~QInterface\n");
}

bool QInterface::Contains(const QVisibleObject* object) const {
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

void QInterface::Remove(const QVisibleObject* object) {
    std::erase(objects, object);
}

QText* QInterface::ShownText() const {
    return texts_.empty() ? nullptr : texts_.back().get();
}

void QInterface::AddText(std::unique_ptr<QText> text) {
    objects.push_back(text.get());
    texts_.push_back(std::move(text));
}

void QInterface::RemoveTexts() {
    for (auto it = objects.begin(); it != objects.end();) {
        if ((*it)->resourceId != kTextPicture) {
            ++it;
            continue;
        }
        auto owned = std::find_if(texts_.begin(), texts_.end(),
                                  [&](const auto& t) { return t.get() == *it; });
        if (owned != texts_.end()) {
            if (g_video != nullptr) g_video->AddDirtyRect((*owned)->ScreenRect());
            texts_.erase(owned);
        }
        it = objects.erase(it);
        if (g_manager != nullptr) g_manager->FreeResource(kTextPicture);
    }
}

void QInterface::ShowText(const std::string& text, uint32_t color, uint32_t outlineColor) {
    RemoveTexts();
    if (!text.empty()) AddText(std::make_unique<QText>(text, color, outlineColor));
}

void QInterface::ShowPhrase(const std::string& text, uint32_t color, uint32_t outlineColor) {
    RemoveTexts();
    AddText(std::make_unique<QTextPhrase>(text, color, outlineColor));
}

void QInterface::Cancel() {
    ShowText("", kCaptionColor, kOutlineColor);
    if (g_video != nullptr) g_video->InvalidateAll();
}

#include "sound/QSoundEngine.h"

#include "platform/Trace.h"

QSoundEngine* g_sound = nullptr;

QSoundEngine::~QSoundEngine() = default;

bool QSoundEngine::LoadSound(const std::string& name, int category) {
    calls_.push_back("LoadSound " + name + " " + std::to_string(category));
    if (name.empty()) return false;
    loaded_.insert(name);
    return true;
}

void QSoundEngine::RemoveSound(const std::string& name) {
    calls_.push_back("RemoveSound " + name);
    loaded_.erase(name);
    playing_.erase(name);
}

void QSoundEngine::PlaySound(const std::string& name, bool looped) {
    if (!IsLoaded(name) || IsPlaying(name)) return;
    calls_.push_back((looped ? "PlayLooped " : "PlaySound ") + name);
    playing_.insert(name);
}

void QSoundEngine::PanSound(const std::string& name, int x, int roomWidth) {
    if (!IsPlaying(name)) return;
    calls_.push_back("PanSound " + name + " " + std::to_string(x) + " " +
                     std::to_string(roomWidth));
}

void QSoundEngine::StopSound(const std::string& name) {
    calls_.push_back("StopSound " + name);
    playing_.erase(name);
}

void QSoundEngine::PauseAll() {
    calls_.push_back("PauseAll");
    paused_ = true;
}

void QSoundEngine::ResumeAll() {
    calls_.push_back("ResumeAll");
    paused_ = false;
}

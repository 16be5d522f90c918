#pragma once
// The sound engine's operations as the game calls them. Until sound output lands this engine
// keeps the state a caller can observe (loaded names, what plays, the pause) and plays
// nothing.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

enum SoundCategory { kSoundSpeech = 0, kSoundEffects = 1, kSoundMusic = 2 };

class QSoundEngine {
public:
    ~QSoundEngine();

    bool LoadSound(const std::string& name, int category);
    void RemoveSound(const std::string& name);
    // Plays a loaded sound that is not already playing, once or looped.
    void PlaySound(const std::string& name, bool looped = false);
    // Pans a playing sound by a position across a room of the given width.
    void PanSound(const std::string& name, int x, int roomWidth);
    void StopSound(const std::string& name);
    void PauseAll();
    void ResumeAll();

    bool IsLoaded(const std::string& name) const { return loaded_.count(name) != 0; }
    bool IsPlaying(const std::string& name) const { return playing_.count(name) != 0; }
    bool Paused() const { return paused_; }
    // Every call made, one line each ("LoadSound door.wav 1"), for tests and the trace.
    const std::vector<std::string>& Calls() const { return calls_; }

private:
    std::set<std::string> loaded_;
    std::set<std::string> playing_;
    bool paused_ = false;
    std::vector<std::string> calls_;
};

extern QSoundEngine* g_sound;

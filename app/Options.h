#pragma once
// The `tarvo` command line: tarvo [GAME_DIR] [options].
#include <cstdint>
#include <string>

struct Options {
    std::string gameDir = ".";
    bool headless = false;
    bool fullscreen = false;
    bool windowed = false;
    bool integerScaling = false;
    bool vsync = true;
    int64_t frames = -1;   // quit after this many rendered frames; -1: no limit
    uint32_t frameMs = 20; // virtual clock step of headless runs
    std::string replayFile;
    std::string recordFile;
    std::string screenshotDir = "."; // the folder the game was started from, not the game's
    std::string saveDir;      // empty: the game folder when writable, else the player's data folder
    std::string audioOutFile; // --audio-out: the mixed sound into this WAV file
    bool trace = false;
    std::string traceFile = "-"; // "-": stderr
    bool help = false;
    bool version = false;
};

// Parses argv; false with a one-line reason in `error` on a bad option.
bool ParseOptions(int argc, const char* const* argv, Options& out, std::string& error);
// The game runs inside its folder, so the files named on the command line are made absolute
// against `base` (the working directory at start) first, and the screenshot folder is
// created when missing. False with the reason when it cannot be.
bool PreparePaths(Options& options, const std::string& base, std::string& error);
const char* UsageText();

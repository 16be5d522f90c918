#pragma once
// The two fonts of the game, created at start-up and kept to the end: Arial bold at cell
// heights 20 (captions, phrases, choices, the debug line) and 16 (descriptions).
namespace platform {
class Font;
}

extern platform::Font* g_fontLarge;
extern platform::Font* g_fontSmall;

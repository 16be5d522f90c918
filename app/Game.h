#pragma once
// Start-up, the main loop and shutdown of the game.
#include <string>

struct Options;

// Creates the dialogue interpreter, sound engine, resource manager, debug overlay and the
// world, and loads the world. False with `error` set when one of them cannot be had.
bool CreateSubsystems(std::string& error);
// Deletes them again, in the reverse order, each only if it exists.
void DestroySubsystems();
// The restart command: the subsystems rebuilt while window, video, fonts and archives stay.
void RestartGame();

// Runs the whole game from the game folder, which is the working directory: start-up, the
// main loop, shutdown. Returns the process exit status; on a failure `error` holds the
// one-line reason (a failed start-up has also been shown in a message box, when not headless).
int RunGame(const Options& options, std::string& error);

// A start-up failure when playing in a window: a message box as well, since someone who
// started the game from a desktop launcher sees no terminal. Headless, it does nothing (the
// caller writes the reason to stderr in any case).
void ShowStartFailure(const Options& options, const std::string& reason);

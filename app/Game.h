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

// Runs the whole game: start-up, the main loop, shutdown. Returns the process exit status;
// on a failed start-up `error` holds the one-line reason.
int RunGame(const Options& options, std::string& error);

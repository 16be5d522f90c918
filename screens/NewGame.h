#pragma once
// The options panel's new game: the world and the resource manager are deleted and made
// afresh from the game's data, and the conversations' code is as "dialogue.fix" has it. The
// sound engine stays, so that the music of a room the new game starts in plays on.
//
// The panel that asks for it belongs to the world deleted here: its caller returns straight
// out and touches nothing of itself afterwards. When the new world cannot be loaded, a
// message box says why and the game ends (there is nothing left to play).
void StartNewGame();

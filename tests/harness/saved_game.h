// tests/harness/saved_game.h: a game in progress, continued the way a
// player continues one. The game boots on a game folder of its own, where
// the running game is made (a new game past its opening scenes, then what
// the test changes) and written into slot 0 by the game's own save writer;
// the game then starts again on that folder and the title's Load takes the
// slot up, into the scene it was saved in. Tests that need a game under way
// start here rather than playing a New Game's opening scenes.
#pragma once
#include "engine/save_file.h"
#include "tests/harness/harness.h"

// Boots on a saved game, with the options' seed, frame skip, device and
// loader waits, at 640 x 480 (gameDir is the saved game's own folder). The
// game is the first morning of a new game once its opening scenes have
// played (a new game's state with those scenes seen); change, when given,
// edits it before it is written. True once the loaded game's scene is up
// and no load runs; false, with the reason on stderr, when it did not come
// up. harnessShutdown ends the run; the folder stays until the next saved
// game boots or the test program ends. The files of a game written once
// (the same change and seed) are copied into the folder of a later boot
// rather than written again: the writer flushes 37 MB to the disk each time.
bool harnessBootSavedGame(const HarnessOptions& options, void (*change)(GameState& game) = nullptr);

// story/game_over.h: the game-over and new-loop scene (mode 2): the game-over
// event, the Survival record, the carry-over into a new loop and the way back
// to the shop, or to the title after a Survival run. Main thread.
#pragma once

// Enters mode 2; a game saved during this scene resumes after its carry-over.
void enterGameOverScene();
// Enters mode 7, the save after the ending (day 36 paid).
void enterEndingSaveScene();

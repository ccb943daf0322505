// story/title.h: the title screen (game mode 0).
#pragma once
#include <cstdint>

struct TitleState {
    int32_t quitFlag;      // the title's own Exit posted the close: no quit question
    int32_t idleCounter;   // ticks without input
};
extern TitleState gTitleState;

void enterTitleScreen();
void updateTitleScreen();
void drawTitleScreen();
bool isTitleIdle();     // no sub-window shown and nothing chosen
// The music track chosen in the records window while it is open, else -1.
int32_t getTitleMusicOverride();

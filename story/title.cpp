#include "story/title.h"

#include "engine/sound.h"

TitleState gTitleState;

// The menu, the save list and the rest of the title arrive with the title
// screen; until then the title is an idle, empty screen.
void enterTitleScreen() {
    gTitleState = TitleState{};
    clearForcedMusic();
}
void updateTitleScreen() {}
void drawTitleScreen() {}
bool isTitleIdle() { return true; }
// The title offers no choice of music, so its own track always plays.
int32_t getTitleMusicOverride() { return -1; }

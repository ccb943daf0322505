// story/title.h: the title screen (game mode 0).
// Every run starts here and every game returns here. The menu is built from
// what the file image gSaveImage holds; from it the title slides in the slot
// chooser, the options and the records windows (story/save_list.h,
// story/options_window.h), opens the Survival popup, and after a long idle
// spell fades out toward the opening movie. A chosen game is set up in the
// running slot and the scene switches to its mode (story/game_start.h).
// updateTitleScreen runs once per tick, drawTitleScreen once per frame;
// main thread only.
#pragma once
#include <cstdint>

#include "engine/save_file.h"
#include "story/story.h"
#include "story/story_state.h"

constexpr char TITLE_MOVIE_FILE[] = "tolli_op.wmv";

// Rebuilds the entries, their layout and (with a played slot) the cursor.
void buildTitleMenu();
// Bit 1: some slot of the file image holds a cleared game; bit 2: some
// cleared game holds a True Card. Fills slotHasCard.
int32_t scanClearedSlots();

// Pure helpers of the drawing and the menu.
struct TitleMenuLayout {
    float spacing;
    float offset;
};
TitleMenuLayout titleMenuLayout(int32_t entryCount);
// The illustration cell of a menu code.
int32_t titleMenuPictureCell(int32_t code);
// Grey level of an entry label: 95, or for the selected entry the flash of a
// confirmed choice over a slow pulse, at most 255.
int32_t titleEntryGrey(bool selected, int32_t choiceCounter, int32_t frameCounter);
// Alpha of the white fade before the movie; 0 until the fade starts.
int32_t titleIdleFadeAlpha(int32_t idleTicks);

#include "tests/harness/saved_game.h"

#include <cstdio>
#include <optional>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "platform/profile.h"
#include "story/title.h"
#include "tests/harness/buttons.h"
#include "tests/temp_folder.h"

// The opening's two scenes: their story flags and their seen marks
// (major * 60 + minor).
constexpr int32_t OPENING_FLAGS[] = {16, 17};
constexpr int32_t OPENING_EVENTS[] = {1 * 60 + 1, 1 * 60 + 2};
constexpr int32_t OPENED_PLAY_TICKS = 300;

static std::optional<TempFolder> sFolder;

void initOpenedGameState(GameState& game) {
    initNewGameState(game);
    game.playTicks = OPENED_PLAY_TICKS;
    for (int32_t flag : OPENING_FLAGS) game.storyFlags[flag] = 1;
    for (int32_t event : OPENING_EVENTS) game.seenEvents[event] = 1;
}

static bool fail(const char* why) {
    fprintf(stderr, "saved game: %s\n", why);
    return false;
}

static bool makeGameFolder(const HarnessOptions& options) {
    sFolder.reset();
    sFolder.emplace("saved");
    char error[1200];
    if (!linkGameData(options.dataDir, sFolder->path().c_str(), error, sizeof error)) return fail(error);
    std::string ini = sFolder->file("tolli.ini");
    if (!profileWriteInt(ini.c_str(), "setup", "fps", options.frameSkip) ||
        !profileWriteInt(ini.c_str(), "setup", "screen", 0))
        return fail("cannot write the settings file");
    return true;
}

bool harnessBootSavedGame(const HarnessOptions& options, void (*change)(GameState& game)) {
    if (!makeGameFolder(options)) return false;
    HarnessOptions boot = options;
    boot.gameDir = sFolder->path().c_str();
    boot.screenWidth = 640;
    boot.screenHeight = 480;

    // The first start reads the tables a new game is filled from.
    if (harnessBoot(boot) != STARTUP_OK) return fail("the first start failed");
    GameState& game = runningGameState();
    initOpenedGameState(game);
    if (change) change(game);
    bool written = writeSaveSlot(0);
    harnessShutdown();
    if (!written) return fail("the save was not written");

    if (harnessBoot(boot) != STARTUP_OK) return fail("the start on the saved game failed");
    if (gTitle.menuCodes[gTitle.menuCursor] != TITLE_LOAD) return fail("the title does not offer Load first");
    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS + TITLE_WINDOW_SLIDE);
    if (gTitle.windowKind != TITLE_WINDOW_SLOTS || gTitle.rowCursor != 0) return fail("the slot list is not at slot 0");
    tapButtons(BUTTON_CONFIRM);
    if (harnessRunTicksWhile([] { return gGameMode == GAME_MODE_TITLE || isSceneLoading(); }) < 0)
        return fail("the saved game's scene did not load");
    return true;
}

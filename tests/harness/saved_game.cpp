#include "tests/harness/saved_game.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "platform/profile.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/harness/buttons.h"
#include "tests/temp_folder.h"

// The opening's two scenes: their story flags and their seen marks
// (major * 60 + minor).
constexpr int32_t OPENING_FLAGS[] = {16, 17};
constexpr int32_t OPENING_EVENTS[] = {1 * 60 + 1, 1 * 60 + 2};
constexpr int32_t OPENED_PLAY_TICKS = 300;

static void initOpenedGameState(GameState& game) {
    initNewGameState(game);
    game.playTicks = OPENED_PLAY_TICKS;
    for (int32_t flag : OPENING_FLAGS) game.storyFlags[flag] = 1;
    for (int32_t event : OPENING_EVENTS) game.seenEvents[event] = 1;
}

static std::optional<TempFolder> sFolder;

// The game's writer flushes both files, 37 MB, to the disk; a saved game
// written once in this program is copied into the next folder that asks for
// the same one.
struct WrittenSave {
    void (*change)(GameState& game);
    uint32_t seed;
    std::string folder;   // its save.dat and _save.dat
};
static std::optional<TempFolder> sWrittenSaves;
static std::vector<WrittenSave> sWritten;

static const WrittenSave* findWritten(void (*change)(GameState& game), uint32_t seed) {
    for (const WrittenSave& w : sWritten)
        if (w.change == change && w.seed == seed) return &w;
    return nullptr;
}

static bool copySaveFiles(const std::string& from, const std::string& to) {
    std::error_code error;
    for (const char* name : {SAVE_FILE_NAME, SAVE_BACKUP_NAME}) {
        std::filesystem::copy_file(from + "/" + name, to + "/" + name, std::filesystem::copy_options::overwrite_existing,
                                   error);
        if (error) return false;
    }
    return true;
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

    if (const WrittenSave* written = findWritten(change, options.seed)) {
        if (!copySaveFiles(written->folder, sFolder->path())) return fail("the saved game could not be copied");
    } else {
        // The first start reads the tables a new game is filled from; it
        // draws nothing anyone looks at.
        HarnessOptions first = boot;
        first.gfx = &GFX_RECORDING;
        if (harnessBoot(first) != STARTUP_OK) return fail("the first start failed");
        GameState& game = runningGameState();
        initOpenedGameState(game);
        if (change) change(game);
        bool saved = writeSaveSlot(0);
        harnessShutdown();
        if (!saved) return fail("the save was not written");
        if (!sWrittenSaves) sWrittenSaves.emplace("saved_games");
        std::string kept = sWrittenSaves->file(std::to_string(sWritten.size()));
        std::error_code error;
        if (!std::filesystem::create_directory(kept, error) || !copySaveFiles(sFolder->path(), kept))
            return fail("the saved game could not be kept");
        sWritten.push_back(WrittenSave{change, options.seed, kept});
    }

    if (harnessBoot(boot) != STARTUP_OK) return fail("the start on the saved game failed");
    if (gTitle.menuCodes[gTitle.menuCursor] != TITLE_LOAD) return fail("the title does not offer Load first");
    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS + TITLE_WINDOW_SLIDE);
    if (gTitle.windowKind != TITLE_WINDOW_SLOTS || gTitle.rowCursor != 0) return fail("the slot list is not at slot 0");
    tapButtons(BUTTON_CONFIRM);
    if (harnessRunTicksWhile([] { return gGameMode == GAME_MODE_TITLE || isSceneLoading(); }) < 0)
        return fail("the saved game's scene did not load");
    return true;
}

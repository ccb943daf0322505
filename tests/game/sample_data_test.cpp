// The packed sample data holds every file the built scenes load: the game
// boots on it, each scene of the mode table and each overlay is entered
// through its loader (and in each state that picks other files), and
// neither a message box nor the log tells of a missing file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adventurers/adventurers_files.h"
#include "dungeon/dungeon_files.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "field/field_files.h"
#include "platform/window.h"
#include "shop/shop_files.h"
#include "shop/shop_state.h"
#include "story/story_files.h"
#include "tests/harness/harness.h"

namespace fs = std::filesystem;

namespace {

struct SceneCase {
    const char* name;
    int32_t mode;
    int32_t overlayKind;
    int32_t marketMode;
    int32_t dayPhase;
    int32_t openingVariant;
    int32_t playMode;
};
const SceneCase SCENES[] = {
    {"title", GAME_MODE_TITLE, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"field", GAME_MODE_FIELD, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"game over", GAME_MODE_GAME_OVER, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"ending", GAME_MODE_ENDING, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"event scene", GAME_MODE_EVENT_SCENE, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"merchants' guild", GAME_MODE_MARKET, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"market, morning", GAME_MODE_MARKET, 0, 1, 0, 0, PLAY_MODE_STORY},
    {"market, evening", GAME_MODE_MARKET, 0, 1, 2, 0, PLAY_MODE_STORY},
    {"save after the ending", GAME_MODE_ENDING_SAVE, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"town map", GAME_MODE_WORLD_MAP, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"pause menu", GAME_MODE_OVERLAY, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"pause menu, survival", GAME_MODE_OVERLAY, 0, 0, 0, 0, PLAY_MODE_SURVIVAL},
    {"day report", GAME_MODE_OVERLAY, 1, 0, 0, 0, PLAY_MODE_STORY},
    {"item choice", GAME_MODE_OVERLAY, 2, 0, 0, 0, PLAY_MODE_STORY},
    {"opening", GAME_MODE_OPENING, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"extra opening", GAME_MODE_OPENING, 0, 0, 0, 2, PLAY_MODE_STORY},
    {"departure", GAME_MODE_DEPARTURE, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"church", GAME_MODE_CHURCH, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"plaza", GAME_MODE_PLAZA, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"tavern", GAME_MODE_TAVERN, 0, 0, 0, 0, PLAY_MODE_STORY},
    {"plaza, idle", GAME_MODE_PLAZA_IDLE, 0, 0, 0, 0, PLAY_MODE_STORY},
};

// The texts of the message boxes recorded from the first-th on.
std::string boxTexts(int32_t first) {
    std::string texts;
    for (int32_t i = first; i < gHeadlessMessageBoxes.count; ++i)
        texts += std::string("\n  ") + gHeadlessMessageBoxes.boxes[i].caption + ": " + gHeadlessMessageBoxes.boxes[i].text;
    return texts;
}

// What the game wrote about files it could not find or read.
bool tellsOfAMissingFile(const std::string& log) {
    for (const char* words : {"Not File Found", "file not found", "could not be loaded", "cannot be read"})
        if (log.find(words) != std::string::npos) return true;
    return false;
}

}   // namespace

TEST(SampleData, EveryBuiltSceneFindsItsFiles) {
    testing::internal::CaptureStderr();
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(2);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0) << "at start-up" << boxTexts(0);
    for (const SceneCase& c : SCENES) {
        int32_t boxesBefore = gHeadlessMessageBoxes.total;
        gMarketMode = c.marketMode;
        runningGameState().dayPhase = c.dayPhase;
        runningGameState().playMode = c.playMode;
        runningGameState().storyFlags[20] = 1;   // the guild's first-visit scene is not a picture of the guild
        gOpeningVariant = c.openingVariant;
        gOverlayScreen.kind = c.overlayKind;
        gGameMode = c.mode;
        if (c.mode == GAME_MODE_FIELD) startWorldLoader();
        else startSceneLoader();
        harnessRunTicks(2);
        EXPECT_EQ(gHeadlessMessageBoxes.total, boxesBefore) << c.name << boxTexts(boxesBefore);
        // Leave the scene's pictures as the game does, so the registry never fills.
        for (int32_t group = TEXTURE_GROUP_TITLE; group < TEXTURE_GROUP_FULL_RELEASE; ++group)
            releaseTextureGroup(group);
    }
    // The voices the day report plays are loose files beside the program.
    for (int32_t clip : {5, 6, 7, 8, 9, 12, 13, 14, 15}) {
        char path[64];
        snprintf(path, sizeof path, "bin/se/01yo/system/01yo_sys%02d.bin", clip);
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    // So is the opening movie the idle title plays.
    EXPECT_TRUE(std::filesystem::exists("tolli_op.wmv"));
    gGameMode = GAME_MODE_TITLE;
    gOverlayScreen = OverlayScreenState{};
    gMarketMode = 0;
    gOpeningVariant = 0;
    harnessShutdown();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(tellsOfAMissingFile(log)) << log;
}

namespace {

// Every voice clip name the code plays, from the subsystems' file-name
// headers the sound synthesiser reads too.
std::vector<std::string> codeVoiceNames() {
    std::vector<std::string> names = {LEVEL_UP_VOICE,       BACK_FROM_TOWN_VOICE, FIRST_OUTING_VOICE,
                                      COUNTER_CLOSED_VOICE, TABLES_PLACED_VOICE,  RUN_FAIRY_VOICE,
                                      LOW_HEALTH_VOICE,     RETURNED_VOICE,       CLEARED_VOICE,
                                      OPTION_VOICE_SAMPLE,  MERCHANT_LEVEL_UP_VOICE, PAYMENT_DAY_VOICE,
                                      MENU_SAVE_VOICE};
    auto add = [&names](const char* const* table, size_t count) { names.insert(names.end(), table, table + count); };
    add(MORNING_VOICES, std::size(MORNING_VOICES));
    add(FAIRY_ASKS_VOICES, std::size(FAIRY_ASKS_VOICES));
    add(SHELF_VOICES, std::size(SHELF_VOICES));
    add(SHELF_PLACED_VOICES, std::size(SHELF_PLACED_VOICES));
    add(SHOP_OPEN_VOICES, std::size(SHOP_OPEN_VOICES));
    add(NIGHT_HEROINE_VOICES, std::size(NIGHT_HEROINE_VOICES));
    add(NIGHT_FAIRY_VOICES, std::size(NIGHT_FAIRY_VOICES));
    add(RUN_HEROINE_VOICES, std::size(RUN_HEROINE_VOICES));
    add(REMARK_VOICES, std::size(REMARK_VOICES));
    add(TRAP_CHEST_VOICES, std::size(TRAP_CHEST_VOICES));
    add(DEFEAT_VOICES, std::size(DEFEAT_VOICES));
    add(RANK_VOICES, std::size(RANK_VOICES));
    add(PAID_VOICES, std::size(PAID_VOICES));
    for (const VoiceSet& set : START_VOICES) add(set.paths, (size_t)set.count);
    for (const DamageVoiceSet& set : DAMAGE_VOICES) add(set.paths, (size_t)set.count);
    add(DEDAR_FATAL_VOICES.paths, (size_t)DEDAR_FATAL_VOICES.count);
    add(PICKUP_VOICES, std::size(PICKUP_VOICES));
    return names;
}

// The voice names a data file gives on its lines that start with "se": the
// rest of the line after the first space or colon ("se00 x", "se:x").
void voiceNames(const fs::path& file, std::vector<std::string>* out) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, 2, "se") != 0) continue;
        size_t at = line.find_first_of(" :", 2);
        if (at == std::string::npos) continue;
        out->push_back(line.substr(at + 1));
    }
}

}  // namespace

// Every voice the code, the customers' speech and the scenes can play is a
// loose file of the game folder, and no voice name hides in the code
// outside the file-name headers the list above reads.
TEST(SampleData, EveryVoiceTheGameCanPlayIsBesideTheProgram) {
    const fs::path game = TOLLI_GAME_DATA_DIR;
    const fs::path source = TOLLI_SOURCE_DIR;
    std::vector<std::string> names = codeVoiceNames();
    for (const fs::directory_entry& e : fs::directory_iterator(source / "sampledata/data/cust"))
        voiceNames(e.path(), &names);
    for (const fs::directory_entry& e : fs::directory_iterator(source / "sampledata/iv"))
        voiceNames(e.path(), &names);
    EXPECT_GT(names.size(), 80u);
    for (const std::string& name : names) EXPECT_TRUE(fs::is_regular_file(game / name)) << name;

    for (const char* folder : {"adventurers", "dungeon", "engine", "field", "game", "shop", "story"}) {
        for (const fs::directory_entry& e : fs::directory_iterator(source / folder)) {
            std::string file = e.path().filename().string();
            if (file.size() > 9 && file.compare(file.size() - 8, 8, "_files.h") == 0) continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(text.find("\"bin/se/"), std::string::npos) << folder << "/" << file << " names a voice";
        }
    }
}

// The town map in the running game, booted headless on the sample data:
// choosing a place (the wait after entering, the sounds, a closed place
// refused), entering the chosen mode, the place scenes that play their event
// and come back, and the story's item delivery.
#include <gtest/gtest.h>

#include <functional>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "platform/audio.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/place_visits.h"
#include "story/world_map.h"
#include "tests/engine/sound_effects_probe.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"

namespace {

class TownGame : public ::testing::Test {
protected:
    void SetUp() override {
        previousAudio = gAudioBackend;
        gAudioBackend = &AUDIO_HEADLESS;
        HarnessOptions options;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
        harnessRunTicks(2);
        GameState& g = runningGameState();
        initNewGameState(g);
        g.date = 0;
        g.dayPhase = 0;
        g.playMode = PLAY_MODE_STORY;
    }
    void TearDown() override {
        harnessShutdown();
        gAudioBackend = previousAudio;
    }

    // The map as the game enters it: mode 8 through the scene loader.
    void enterMap(int32_t cursor) {
        setWorldMapPlace(cursor);
        gGameMode = GAME_MODE_WORLD_MAP;
        startSceneLoader();
        harnessRunTicks(1);
    }
    // Ticks until the condition holds; a scene that runs meanwhile is
    // confirmed through, a press every other tick.
    bool runUntil(const std::function<bool()>& condition, int32_t limit) {
        for (int32_t i = 0; i < limit; ++i) {
            if (condition()) return true;
            holdButtons(gEventReady != 0 && i % 2 == 0 ? BUTTON_CONFIRM : 0, 1);
        }
        return condition();
    }
    // Confirms once the map takes choices and waits for the place's mode.
    void choose(int32_t mode) {
        ASSERT_TRUE(runUntil([] { return gWorldMap.clock > (float)WORLD_MAP_CHOICE_TICKS; }, 30));
        tapButtons(BUTTON_CONFIRM);
        ASSERT_EQ(gWorldMap.leaveCounter > 0 || gGameMode == mode, true);
        ASSERT_TRUE(runUntil([mode] { return gGameMode == mode; }, WORLD_MAP_FADE_TICKS + 5)) << gGameMode;
    }

    const AudioBackend* previousAudio = nullptr;
};
class WorldMapGame : public TownGame {};
class PlaceVisitGame : public TownGame {};

}   // namespace

TEST_F(WorldMapGame, TakesNoChoiceBeforeTenTicksAndRefusesAClosedPlace) {
    runningGameState().storyFlags[FLAG_FIRST_OUTING] = 1;   // only the merchants' guild is open
    enterMap(TOWN_PLACE_SHOP);
    ASSERT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_SHOP], PLACE_CLOSED);
    int32_t confirms = effectStarts(SOUND_CONFIRM), refusals = effectStarts(SOUND_REFUSED);
    tapButtons(BUTTON_CONFIRM);
    EXPECT_EQ(effectStarts(SOUND_REFUSED), refusals) << "too early";
    ASSERT_TRUE(runUntil([] { return gWorldMap.clock > 10.0f; }, 30));
    tapButtons(BUTTON_CONFIRM);
    EXPECT_EQ(effectStarts(SOUND_REFUSED), refusals + 1);
    EXPECT_EQ(gWorldMap.leaveCounter, 0);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), confirms);

    int32_t moves = effectStarts(SOUND_CURSOR);
    tapButtons(BUTTON_RIGHT);
    EXPECT_EQ(getWorldMapPlace(), TOWN_PLACE_MERCHANTS_GUILD);
    EXPECT_EQ(effectStarts(SOUND_CURSOR), moves + 1);
    gMarketMode = -1;
    choose(GAME_MODE_MARKET);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), confirms + 1);
    EXPECT_EQ(gMarketMode, MARKET_MODE_GUILD);
}

TEST_F(WorldMapGame, ChoosingTheShopEntersTheShopFloorFromTown) {
    GameState& g = runningGameState();
    g.shopEntryKind = 0;
    enterMap(TOWN_PLACE_SHOP);
    choose(GAME_MODE_FIELD);
    EXPECT_EQ(g.shopEntryKind, 1);
    EXPECT_EQ(gShopSequence, SHOP_SEQUENCE_FROM_TOWN);
    EXPECT_EQ(gStageIndex, g.shopSize);
    harnessRunTicks(3);
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD);
}

struct PlaceModeCase {
    int32_t place;
    int32_t mode;
    int32_t phase;
    int32_t eventMinor;   // of the everyday event 16_n
};
const PlaceModeCase PLACE_MODE_CASES[] = {
    {TOWN_PLACE_CHURCH, GAME_MODE_CHURCH, 0, 5},
    {TOWN_PLACE_PLAZA, GAME_MODE_PLAZA, 2, 2},
    {TOWN_PLACE_PLAZA, GAME_MODE_PLAZA, 3, 3},
    {TOWN_PLACE_TAVERN, GAME_MODE_TAVERN, 2, 4},
};

TEST_F(PlaceVisitGame, PlaysTheEverydayEventAndReturnsToTheMap) {
    for (const PlaceModeCase& c : PLACE_MODE_CASES) {
        GameState& g = runningGameState();
        g.dayPhase = c.phase;
        g.date = 20;   // past the sample rules' windows that end
        g.townVisited = 0;
        // Only the defaults: the sample rules need their flags or days.
        for (int32_t flag : {0x1f0, 0x1f1, 0x1f2, 0x1f3}) g.storyFlags[flag] = 1;
        enterMap(c.place);
        choose(c.mode);
        harnessRunTicks(1);   // the loader's end and the scene's first tick
        EXPECT_EQ(gEventNumber.major, 16) << c.place;
        EXPECT_EQ(gEventNumber.minor, c.eventMinor) << c.place;
        ASSERT_TRUE(runUntil([] { return gGameMode == GAME_MODE_WORLD_MAP; }, 3000)) << c.place;
        EXPECT_EQ(g.townVisited, 1) << c.place;
        EXPECT_EQ(g.dayScore, 0) << "an everyday event scores nothing";
    }
}

TEST_F(PlaceVisitGame, CommitsThePlaceEventOncePerPhase) {
    GameState& g = runningGameState();
    g.date = 2;   // the sample plaza rule: days 2 to 7, mornings and noons
    enterMap(TOWN_PLACE_PLAZA);
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_PLAZA], PLACE_MARKED);
    choose(GAME_MODE_PLAZA);
    harnessRunTicks(1);
    EXPECT_EQ(gEventNumber.major * 100 + gEventNumber.minor, 1102);
    EXPECT_EQ(g.storyFlags[0x1f0], 1);
    EXPECT_EQ(g.storyFlags[FLAG_PLACE_DONE_FIRST + 0], 1);
    EXPECT_EQ(g.dayScore, 100);
    ASSERT_TRUE(runUntil([] { return gGameMode == GAME_MODE_WORLD_MAP; }, 3000));
    harnessRunTicks(1);
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_PLAZA], PLACE_OPEN) << "done for this phase";
    // The church's sample rule needed the plaza's flag; it waits there now.
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_CHURCH], PLACE_MARKED);
}

TEST_F(WorldMapGame, DeliversTheStoryItemOnceItsEventStarts) {
    GameState& g = runningGameState();
    g.storyFlags[186] = 1;
    int32_t stored = countItemInStorage(3408 >> 6);
    enterMap(TOWN_PLACE_SHOP);
    harnessRunTicks(1);
    EXPECT_EQ(g.storyFlags[186], 0);
    EXPECT_EQ(g.storyFlags[11], 1) << "adventurer 7 becomes available";
    EXPECT_EQ(countItemInStorage(3408 >> 6), stored + 1);
    EXPECT_EQ(gEventNumber.major * 100 + gEventNumber.minor, 1220);
    ASSERT_TRUE(runUntil([] { return gEventReady == 0; }, 3000));
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP) << "the map goes on after the event";
}

TEST_F(WorldMapGame, DropsTheStoryDeliveryInSurvival) {
    GameState& g = runningGameState();
    g.playMode = PLAY_MODE_SURVIVAL;
    g.storyFlags[186] = 1;
    int32_t stored = countItemInStorage(3408 >> 6);
    enterMap(TOWN_PLACE_SHOP);
    harnessRunTicks(1);
    EXPECT_EQ(g.storyFlags[186], 0);
    EXPECT_EQ(g.storyFlags[11], 0);
    EXPECT_EQ(countItemInStorage(3408 >> 6), stored);
    EXPECT_EQ(gEventReady, 0);
}

// A week's end through the real frame loop and the pad: the report's
// payment leads, through the game-over scene, either into the next loop's
// first morning (a short payment) or on to the next day (paid).
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

namespace {

struct WeekEnd {
    bool sawGameOver = false;
    int32_t ticks = 0;
};

// Plays the scripted shop day, sets the payment day's money, opens the
// report and confirms every other tick until the shop's field is back.
WeekEnd endFirstWeek(int32_t money) {
    WeekEnd out;
    HarnessOptions options;
    options.seed = 20240611;
    if (!harnessOpenShopDay(options)) return out;
    int32_t ticks = 0;
    while (!shopDayClosed() && ticks < SHOP_DAY_MAX_TICKS) holdButtons(shopDayButtons(ticks++), 1);
    GameState& game = runningGameState();
    game.date = 7;
    game.playMode = PLAY_MODE_STORY;
    game.money = game.dayStartMoney = money;
    openResultsScreen();
    harnessRunTicks(20);
    while (out.ticks < 6000) {
        holdButtons(out.ticks % 2 ? BUTTON_CONFIRM : 0, 1);
        ++out.ticks;
        if (gGameMode == GAME_MODE_GAME_OVER) out.sawGameOver = true;
        if (out.sawGameOver && gGameMode == GAME_MODE_FIELD && !isSceneLoading()) break;
    }
    return out;
}

}  // namespace

TEST(GameOverWholeGame, AShortFirstPaymentStartsTheNextLoopOnItsFirstMorning) {
    GameState& game = runningGameState();
    WeekEnd end = endFirstWeek(500);
    ASSERT_TRUE(end.sawGameOver);
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD) << "after " << end.ticks << " ticks";
    EXPECT_EQ(game.loopCount, 1);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.date, 1);
    EXPECT_EQ(game.dayPhase, 0);
    EXPECT_EQ(game.resumeLocation, 0);
    EXPECT_EQ(gShopSequence, SHOP_SEQUENCE_MORNING);
    EXPECT_EQ(gGameEnd.step, 0);
    harnessShutdown();
}

TEST(GameOverWholeGame, APaidFirstWeekWakesOnDayEight) {
    GameState& game = runningGameState();
    WeekEnd end = endFirstWeek(50000);
    ASSERT_TRUE(end.sawGameOver) << "story play passes the game-over scene at the end of day 8";
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD) << "after " << end.ticks << " ticks";
    EXPECT_EQ(game.loopCount, 0);
    EXPECT_EQ(game.date, 8);
    EXPECT_EQ(game.money, 40000);
    harnessShutdown();
}

// Day 8 of story play opens on the shop floor with the two visitors' scene:
// the visitor walks in, both events play through the pad, and the morning
// is the player's again.
TEST(StoryVisitWholeGame, TheMorningOfDayEightPlaysTheVisitAndGivesTheShopBack) {
    GameState& game = runningGameState();
    WeekEnd end = endFirstWeek(50000);
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD) << "after " << end.ticks << " ticks";
    ASSERT_EQ(game.date, 8);
    ASSERT_EQ(game.storyFlags[FLAG_STORY_VISIT], 1) << "the visit starts as she comes in";
    std::vector<std::pair<int32_t, int32_t>> events;
    int32_t ticks = 0;
    bool wasReady = false;
    while (game.storyFlags[FLAG_STORY_VISIT] && ticks < 4000) {
        holdButtons(ticks % 2 ? BUTTON_CONFIRM : 0, 1);
        ++ticks;
        bool ready = gEventReady != 0;
        if (ready && !wasReady) events.push_back({gEventNumber.major, gEventNumber.minor});
        wasReady = ready;
    }
    ASSERT_EQ(game.storyFlags[FLAG_STORY_VISIT], 0) << "the visit ends within " << ticks << " ticks";
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], std::make_pair(10, 1));
    EXPECT_EQ(events[1], std::make_pair(10, 2));
    EXPECT_EQ(game.storyFlags[FLAG_STORY_VISIT_HOLD], 0);
    EXPECT_EQ(game.storyFlags[FLAG_STORY_VISIT_SEEN], 1) << "once only";
    EXPECT_EQ(gFieldTicks, 192) << "the morning goes on from its opening";
    ASSERT_GE(harnessPlayScenesThrough(), 0) << "the morning's own scenes";
    harnessRunTicks(20);
    const float x = gParty.positions[0].x;
    holdButtons(BUTTON_RIGHT, 20);
    EXPECT_GT(gParty.positions[0].x, x + 1.0f) << "the pad walks her again";
    harnessShutdown();
}

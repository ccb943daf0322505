// The event player on scripts compiled by the real compiler: the key wait
// and the text reveal, the tick rates of the speed buttons, waits against
// the opening window, sprite moves and colour fades, screen fades, music
// requests, the skip question and the seen flags. Each tick is stepped and
// then drawn, as the frame loop does (the drawing completes the texts).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "game/state_registry.h"
#include "platform/audio.h"
#include "platform/window.h"
#include "story/event.h"
#include "story/event_script.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"
#include "story/title.h"

namespace {

std::string script(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\r\n";
    return out;
}

}  // namespace

class EventRun : public ::testing::Test {
protected:
    void SetUp() override {
        savedWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        savedDevice = gGfxDevice;
        gGfxDevice = nullptr;
        gOptionTextSkip = 0;
        gOptionMessageSpeed = 1;
        gEventNumber = EventNumber{2, 13};
        clearSeen();
        resetDialogState();
        resetEventPlayer();
        resetEventScript();
        memset(gInputState, 0, sizeof gInputState);
    }
    void TearDown() override {
        resetEventScript();
        gGfxDevice = savedDevice;
        gWindow = savedWindow;
    }
    static void clearSeen() {
        memset(runningGameState().seenEvents, 0, sizeof runningGameState().seenEvents);
        memset(gSaveImage.header.seenEventsAll, 0, sizeof gSaveImage.header.seenEventsAll);
    }
    // What startEvent does, on a script in memory.
    void start(const std::string& text) {
        resetEventState();
        compileEventScriptText(text.data(), (int32_t)text.size(), "iv/test.ivt");
        ASSERT_EQ(gHeadlessMessageBoxes.total, 0);
    }
    // One tick with these buttons held and these newly pressed, then its frame.
    int32_t tick(uint16_t held = 0, uint16_t pressed = 0) {
        gInputState[0].raw = held | pressed;
        gInputState[0].pressed = pressed;
        int32_t ended = stepEvent();
        drawEvent();
        gInputState[0].raw = gInputState[0].pressed = 0;
        return ended;
    }
    // Ticks until the event ends; the tick it ended on (from 1), or 0.
    int32_t ticksToEnd(int32_t limit, uint16_t held = 0, uint16_t pressed = 0) {
        for (int32_t t = 1; t <= limit; ++t)
            if (tick(held, pressed)) return t;
        return 0;
    }
    const WindowBackend* savedWindow = nullptr;
    GfxDevice* savedDevice = nullptr;
    GameStateScope state;
};

// The text completes (the drawing says so); 15 ticks later a confirm counts.
TEST_F(EventRun, AKeyWaitTakesAConfirmOnlyAfterTheTextStoodCompleteFor15Ticks) {
    start(script({"msg:0,0:Hello, world<KEY>", "end:"}));
    EXPECT_EQ(tick(), 0);
    EXPECT_EQ(gEventScene.messageFirstLine, 0);
    // A confirm while the text still appears shows it whole and stays.
    EXPECT_EQ(gEventScene.textComplete, 0);
    EXPECT_EQ(tick(0, BUTTON_CONFIRM), 0);
    EXPECT_EQ(gEventScene.revealCounter, EVENT_REVEAL_MAX);
    EXPECT_EQ(gEventScene.textComplete, 1);
    for (int32_t k = 1; k < EVENT_KEY_WAIT_TICKS; ++k) {
        EXPECT_EQ(tick(0, BUTTON_CONFIRM), 0) << "confirm " << k << " ticks after the text was complete";
        EXPECT_EQ(gEventScene.programCounter, 2) << k;
    }
    EXPECT_EQ(tick(0, BUTTON_CONFIRM), 0);
    EXPECT_EQ(gEventScene.programCounter, 3) << "taken after 15 complete ticks";
    EXPECT_EQ(tick(), 1);
}

TEST_F(EventRun, TheTextRevealsAtTheOptionsSpeed) {
    // At speed 1 (a character a tick) "Hello" is complete once the budget
    // runs three past its last character, as the drawing counts it.
    start(script({"msg:0,0:Hello<KEY>", "end:"}));
    int32_t completeAt = 0;
    for (int32_t t = 1; t <= 40 && !completeAt; ++t) {
        tick();
        if (gEventScene.textComplete) completeAt = t;
    }
    EXPECT_EQ(completeAt, 11);
    gOptionMessageSpeed = 7;   // out of range: clamped and written back
    start(script({"msg:0,0:Hello<KEY>", "end:"}));
    EXPECT_EQ(gOptionMessageSpeed, 2);
    EXPECT_EQ(gEventScene.textSpeed, 1024);
    tick();
    tick();
    tick();
    tick();
    EXPECT_EQ(gEventScene.textComplete, 0);
    tick();
    EXPECT_EQ(gEventScene.textComplete, 1) << "32 characters a tick";
}

struct SpeedCase {
    const char* name;
    uint16_t held;
    bool seen;
    uint16_t textSkipOption;
    int32_t endTick;
    int32_t tickRate;
};
const SpeedCase SPEED_CASES[] = {
    {"nothing held", 0, false, 0, 61, 1},
    {"cancel: double speed", BUTTON_CANCEL, false, 0, 31, 2},
    {"cancel on a seen event is still double", BUTTON_CANCEL, true, 0, 31, 2},
    {"skip button, unseen, option off: no effect", BUTTON_SUB, false, 0, 61, 1},
    {"skip button, seen in this game", BUTTON_SUB, true, 0, 2, EVENT_TICK_RATE_FAST},
    {"skip button, unread skip option on", BUTTON_SUB, false, 1, 2, EVENT_TICK_RATE_FAST},
};

TEST_F(EventRun, SpeedButtonsRunEveryTimerFasterOnlyWhereAllowed) {
    for (const SpeedCase& c : SPEED_CASES) {
        clearSeen();
        if (c.seen) runningGameState().seenEvents[133] = 1;
        gOptionTextSkip = c.textSkipOption;
        start(script({"wait:60", "end:"}));
        int32_t ended = ticksToEnd(200, c.held);
        EXPECT_EQ(ended, c.endTick) << c.name;
        EXPECT_EQ(gEventScene.tickRate, c.tickRate) << c.name;
    }
}

TEST_F(EventRun, SpeedButtonsPassAKeyWaitWithoutAPress) {
    start(script({"msg:0,0:Hi<KEY>", "end:"}));
    // Two event ticks a tick: the text is complete after tick 5, the key
    // wait counts its 15 complete ticks by tick 13, the end runs on 14.
    EXPECT_EQ(ticksToEnd(100, BUTTON_CANCEL), 14);
}

// Waits run down only while the window rests: one issued while it opens
// lasts the opening's remaining ticks on top.
TEST_F(EventRun, AWaitIssuedWhileTheWindowOpensLastsTheRestOfTheOpeningToo) {
    start(script({"msg:0,0:Hi", "wait:60", "end:"}));
    EXPECT_EQ(tick(), 0);
    EXPECT_EQ(gEventScene.windowCounter, 0) << "the message is shown after the window's tick";
    EXPECT_EQ(tick(), 0);
    EXPECT_EQ(gEventScene.windowCounter, 1);
    EXPECT_EQ(gEventScene.waitTimer, 60) << "issued at window counter 1";
    // 14 more opening ticks, then 60.
    EXPECT_EQ(ticksToEnd(200), 14 + 60);
    EXPECT_EQ(gEventScene.windowCounter, EVENT_WINDOW_OPEN);
}

TEST_F(EventRun, AWaitAfterAClosedMessageRunsOnceTheWindowHasClosed) {
    start(script({"msg:0,0:Hi", "wait:20", "msg:0,0:Bye<C>", "wait:1", "end:"}));
    // Shown on tick 1, the window open by tick 16, the wait over on tick 36,
    // "Bye" shown and closed on 37, the window shut over 15 ticks, the end.
    EXPECT_EQ(ticksToEnd(100), 53);
    EXPECT_EQ(gEventScene.windowCounter, 0);
    EXPECT_EQ(gEventScene.messageFirstLine, -1);
}

TEST_F(EventRun, AHalfPixelSpeedSettlesOnTheTargetAtTheEndOfEachTick) {
    start(script({"chr:0:move:100,36", "chr:0:speed:0.5", "chr:0:moveto:103,38", "chr:0:disp", "wait:100", "end:"}));
    tick();   // the steps run after the tick's moves
    EXPECT_FLOAT_EQ(gEventSprites[0].speedX, 0.5f);
    const float wantX[] = {100.5f, 101.0f, 101.5f, 102.0f, 102.5f, 103.0f, 103.0f, 103.0f};
    const float wantY[] = {36.5f, 37.0f, 37.5f, 38.0f, 38.0f, 38.0f, 38.0f, 38.0f};
    for (int32_t i = 0; i < 8; ++i) {
        tick();
        EXPECT_FLOAT_EQ(gEventSprites[0].x, wantX[i]) << "tick " << i;
        EXPECT_FLOAT_EQ(gEventSprites[0].y, wantY[i]) << "tick " << i;
    }
}

TEST_F(EventRun, ColourFadesStepByTheFadeLengthAndNotWithoutOne) {
    // col: is given blue, green, red, alpha.
    start(script({"chr:0:col:10,20,30,40", "chr:0:colto:110,120,130,140", "chr:0:disp", "wait:30", "end:"}));
    tick();
    const EventSprite& s = gEventSprites[0];
    EXPECT_FLOAT_EQ(s.color[0], 30.0f);
    EXPECT_FLOAT_EQ(s.color[1], 20.0f);
    EXPECT_FLOAT_EQ(s.color[2], 10.0f);
    EXPECT_FLOAT_EQ(s.color[3], 40.0f);
    for (int32_t i = 0; i < 20; ++i) tick();
    EXPECT_FLOAT_EQ(s.color[0], 30.0f) << "colto: with a fade length of 0 changes nothing";
    EXPECT_FLOAT_EQ(s.color[3], 40.0f);

    start(script({"chr:0:col:10,20,30,40", "chr:0:fadeframe:10", "chr:0:colto:110,120,130,140", "chr:0:disp",
                  "wait:30", "end:"}));
    tick();
    for (int32_t i = 0; i < 5; ++i) tick();
    EXPECT_FLOAT_EQ(s.color[0], 80.0f) << "half way";
    for (int32_t i = 0; i < 10; ++i) tick();
    EXPECT_FLOAT_EQ(s.color[0], 130.0f);
    EXPECT_FLOAT_EQ(s.color[1], 120.0f);
    EXPECT_FLOAT_EQ(s.color[2], 110.0f);
    EXPECT_FLOAT_EQ(s.color[3], 140.0f);
    EXPECT_EQ(s.fadeTicksLeft, 0);
}

TEST_F(EventRun, AColourSetDuringAFadeEndsTheFade) {
    start(script({"chr:0:fadeframe:10", "chr:0:colto:0,0,0,0", "chr:0:disp", "wait:3", "chr:0:col:1,2,3,4", "wait:20",
                  "end:"}));
    for (int32_t i = 0; i < 30; ++i) tick();
    const EventSprite& s = gEventSprites[0];
    EXPECT_FLOAT_EQ(s.color[0], 3.0f);
    EXPECT_FLOAT_EQ(s.color[1], 2.0f);
    EXPECT_FLOAT_EQ(s.color[2], 1.0f);
    EXPECT_FLOAT_EQ(s.color[3], 4.0f);
}

TEST_F(EventRun, AFadeOutHoldsItsCoverAndAFadeInClearsItself) {
    start(script({"fadeout:10:255,0,0,255", "wait:30", "fadein:5:0,0,0,255", "wait:30", "end:"}));
    tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_OUT);
    EXPECT_EQ(gEventScene.fadeColor, 0xFFFF0000u) << "red";
    for (int32_t i = 0; i < 20; ++i) tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_OUT);
    EXPECT_EQ(gEventScene.fadeCounter, 10);
    for (int32_t i = 0; i < 10; ++i) tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_IN);
    EXPECT_EQ(gEventScene.fadeCounter, 0);
    for (int32_t i = 0; i < 5; ++i) tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_IN) << "at its length";
    tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_NONE);

    start(script({"fadein:0:0,0,0,255", "wait:5", "end:"}));
    tick();
    tick();
    EXPECT_EQ(gEventScene.fadeMode, EVENT_FADE_NONE) << "a fade of no length is over at once";
}

TEST_F(EventRun, MusicRequestsReachTheMusicOnTheNextTick) {
    start(script({"music:7", "mfadeout:45", "holdmusic:", "wait:5", "end:"}));
    tick();
    EXPECT_EQ(gKeepEventMusic, 1);
    tick();
    EXPECT_EQ(gForcedTrack, 7);
    EXPECT_EQ(gMusicFadeRequest, MUSIC_FADE_OUT);
    EXPECT_EQ(gMusicFadeFrames, 45);
    EXPECT_EQ(gEventScene.musicTrackRequest, 0);
}

TEST_F(EventRun, TheEndMarksTheEventSeenInTheGameAndInTheSaveHeader) {
    start(script({"wait:1", "end:"}));
    EXPECT_EQ(ticksToEnd(10), 2);
    EXPECT_EQ(runningGameState().seenEvents[133], 1) << "2 x 60 + 13";
    EXPECT_EQ(gSaveImage.header.seenEventsAll[133], 1);
    int32_t marked = 0;
    for (uint8_t b : runningGameState().seenEvents) marked += b;
    EXPECT_EQ(marked, 1);
}

TEST_F(EventRun, SeenIndexesCoverMajors0To39AndMinors0To59) {
    struct Case {
        int32_t major, minor, index;
    };
    for (const Case& c : {Case{2, 13, 133}, Case{0, 0, 0}, Case{39, 59, 2399}, Case{40, 0, -1}, Case{0, 60, -1},
                          Case{-1, 5, -1}, Case{3, -1, -1}})
        EXPECT_EQ(eventSeenIndex(c.major, c.minor), c.index) << c.major << "_" << c.minor;
    gEventNumber = EventNumber{1, 75};
    start(script({"end:"}));
    EXPECT_EQ(ticksToEnd(3), 1) << "an event without a seen byte still ends";
}

TEST_F(EventRun, AnEmptyStepTableEndsTheEventUnmarked) {
    resetEventState();
    resetEventScript();
    EXPECT_EQ(tick(), 1);
    EXPECT_EQ(runningGameState().seenEvents[133], 0);
}

TEST_F(EventRun, TheSkipQuestionIsRefusedEarlyOrWhenTheScriptForbidsIt) {
    start(script({"wait:100", "end:"}));
    EXPECT_EQ(requestEventSkip(), 0);
    tick();
    EXPECT_EQ(requestEventSkip(), 0) << "one frame run";
    tick();
    EXPECT_EQ(requestEventSkip(), 1);
    EXPECT_EQ(requestEventSkip(), 0) << "already open";

    resetDialogState();
    start(script({"skipoff:", "wait:100", "end:"}));
    tick();
    tick();
    tick();
    EXPECT_EQ(requestEventSkip(), 0);
}

TEST_F(EventRun, YesToTheSkipQuestionEndsTheEventUnreadAndNoGoesOn) {
    start(script({"wait:100", "end:"}));
    tick();
    tick();
    int32_t wait = gEventScene.waitTimer;
    ASSERT_EQ(requestEventSkip(), 1);
    // No (cancel): the question closes and the event goes on; its timers
    // stood still meanwhile.
    int32_t t = 0;
    for (; t < 60 && gEventScene.skipQuestionOpen; ++t) EXPECT_EQ(tick(0, t >= 8 ? BUTTON_CANCEL : 0), 0);
    ASSERT_FALSE(gEventScene.skipQuestionOpen);
    EXPECT_EQ(gEventScene.waitTimer, wait);
    EXPECT_FALSE(isPointerShown()) << "the pointer was hidden before";

    ASSERT_EQ(requestEventSkip(), 1);
    int32_t ended = 0;
    for (t = 0; t < 60 && !ended; ++t) ended = tick(0, t >= 8 ? BUTTON_CONFIRM : 0);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(runningGameState().seenEvents[133], 0) << "a skipped event stays unread";
    EXPECT_EQ(gSaveImage.header.seenEventsAll[133], 0);
}

// The whole game: a saved game is continued on its shop floor, and scenes
// requested over it play through the real loader, tick and frame, and hand
// the floor back. Confirm is tapped by the scripted pad like a player's.
namespace {

// Taps confirm every other tick while an event runs; the ticks it took.
int32_t confirmThroughEvent(int32_t limit, uint16_t held = 0) {
    int32_t t = 0;
    for (; t < limit && gEventReady != 0; t += 2) {
        holdButtons(held | BUTTON_CONFIRM, 1);
        holdButtons(held, 1);
    }
    return t;
}

}  // namespace

TEST(EventRunGame, ScenesRequestedOverTheShopFloorPlayToTheirEndAndMarkThemSeen) {
    // With the headless mixer, so the voices the scenes play are counted.
    const AudioBackend* savedAudio = gAudioBackend;
    gAudioBackend = &AUDIO_HEADLESS;
    HarnessOptions options;
    options.seed = 4711;
    ASSERT_TRUE(harnessBootSavedGame(options));
    ASSERT_EQ(gSound.ready, 1);
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_WALKING);
    holdButtons(0, 30);
    ASSERT_EQ(gEventReady, 0) << "the morning asks for no scene of its own";
    int32_t boxes = gHeadlessMessageBoxes.total;

    // The guild's first-visit scene, shipped with the game.
    const int32_t seen = eventSeenIndex(2, 1);
    ASSERT_EQ(runningGameState().seenEvents[seen], 0);
    ASSERT_EQ(requestEvent(2, 1, 1), 1);
    holdButtons(0, 2);
    ASSERT_EQ(gEventReady, 1);
    EXPECT_GT(getEventBackgroundCount(), 0);
    EXPECT_NE(gEventResources.backgrounds[0].texture.texture, nullptr) << "its background is loaded";
    EXPECT_NE(gEventResources.pictures[1].texture.texture, nullptr) << "the clerk's portrait is loaded";
    int32_t ticks = confirmThroughEvent(2000);
    EXPECT_EQ(gEventReady, 0) << "still running after " << ticks << " ticks";
    EXPECT_GT(ticks, 3 * EVENT_KEY_WAIT_TICKS) << "three messages, each held 15 ticks";
    EXPECT_EQ(runningGameState().seenEvents[seen], 1);
    EXPECT_EQ(gSaveImage.header.seenEventsAll[seen], 1);
    EXPECT_EQ(gEventResources.backgrounds[0].texture.texture, nullptr) << "released at the end";
    EXPECT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxes);

    // A scene of our own with a voice: played at normal speed, never while
    // cancel is held.
    {
        // A loose script in the game folder (the harness's working folder).
        std::filesystem::create_directories("iv");
        std::ofstream out("iv/iv39_1.ivt", std::ios::binary);
        out << script({"se:voice/c10_00.wav", "msg:0,0:A voice.<KEY><C>", "wait:1", "end:"});
    }
    int32_t voices = gSound.voice.starts;
    ASSERT_EQ(requestEvent(39, 1, 0), 1);
    confirmThroughEvent(400);
    EXPECT_EQ(gEventReady, 0);
    EXPECT_EQ(gSound.voice.starts, voices + 1);
    // Cancel stops the voice every tick it is held, so look right after the
    // tick that ran the sound step.
    stopVoice();
    ASSERT_EQ(requestEvent(39, 1, 0), 1);
    for (int32_t t = 0; t < 10 && gEventScene.programCounter == 0; ++t) holdButtons(BUTTON_CANCEL, 1);
    ASSERT_GT(gEventScene.programCounter, 0);
    EXPECT_EQ(gSound.voice.samples, nullptr) << "double speed plays no voice";
    EXPECT_EQ(gSound.voice.starts, 0);
    confirmThroughEvent(400, BUTTON_CANCEL);
    EXPECT_EQ(gEventReady, 0);
    EXPECT_EQ(runningGameState().seenEvents[eventSeenIndex(39, 1)], 1);
    for (int32_t i = boxes; i < gHeadlessMessageBoxes.count; ++i)
        ADD_FAILURE() << gHeadlessMessageBoxes.boxes[i].caption << ": " << gHeadlessMessageBoxes.boxes[i].text;
    harnessShutdown();
    gAudioBackend = savedAudio;
}

// Every scene the game ships compiles from the packed data and finds every
// picture and background it names there.
TEST(EventRunGame, EveryShippedSceneFindsItsPictures) {
    namespace fs = std::filesystem;
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    int32_t scenes = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(TOLLI_SOURCE_DIR) / "sampledata/iv")) {
        std::string name = entry.path().filename().string();
        EventNumber number{};
        ASSERT_EQ(sscanf(name.c_str(), "iv%d_%d.ivt", &number.major, &number.minor), 2) << name;
        gEventNumber = number;
        int32_t boxes = gHeadlessMessageBoxes.total;
        startEvent();
        loadEventTextures();
        EXPECT_EQ(gHeadlessMessageBoxes.total, boxes) << name;
        EXPECT_NE(gEventSheets.window.texture, nullptr) << name;
        EXPECT_NE(gEventSheets.names.texture, nullptr) << name;
        for (int32_t i = 0; i < gEventScriptCounts.backgrounds; ++i)
            EXPECT_NE(gEventResources.backgrounds[i].texture.texture, nullptr)
                << name << " " << gEventResources.backgrounds[i].name;
        for (const EventPicture& p : gEventResources.pictures) {
            if (!p.name[0]) continue;
            EXPECT_NE(p.texture.texture, nullptr) << name << " " << p.name;
        }
        releaseEventTextures();
        ++scenes;
    }
    EXPECT_GE(scenes, 49);
    harnessShutdown();
}

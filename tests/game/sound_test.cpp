// Music, effects and voices on the headless mixer, with the sounds the build
// synthesised into the game folder.
#include "engine/sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/debug_text.h"
#include "engine/frame_loop.h"
#include "engine/game_folder.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "game/mode_table.h"
#include "game/startup.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/harness/harness.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"

namespace fs = std::filesystem;

constexpr int32_t RATE = 48000;
constexpr int32_t TICK_MICROS = 16667;
constexpr int32_t TEST_STAGE = 3;   // the stage slot the cases dress up

static int32_t effectSlot(int32_t number) {
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot)
        if (SOUND_EFFECT_TABLE[slot] == number) return slot;
    return -1;
}

// A mono 16-bit WAV of one value held for frames.
static void writeHeldWav(const fs::path& path, int32_t rate, int32_t frames, double value) {
    fs::create_directories(path.parent_path());
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) fputc((int)(v >> (8 * i)) & 0xFF, f);
    };
    fwrite("RIFF", 1, 4, f);
    put(36 + 2 * frames, 4);
    fwrite("WAVEfmt ", 1, 8, f);
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(2 * rate, 4), put(2, 2), put(16, 2);
    fwrite("data", 1, 4, f);
    put(2 * frames, 4);
    for (int32_t i = 0; i < frames; ++i) put((uint16_t)(int16_t)std::lround(value * 32767.0), 2);
    fclose(f);
}

// A temporary game folder holding links to the synthesised sounds, as the
// working directory, with sound started on the headless device.
class Sound : public testing::Test {
protected:
    void SetUp() override {
        mPreviousClock = gClock;
        mPreviousBackend = gAudioBackend;
        mPreviousWindow = gWindow;
        mPreviousStage = gStages[TEST_STAGE];
        for (const char* folder : {"bgm", "se"}) {
            fs::create_directory(mDir / folder);
            for (const fs::directory_entry& e : fs::directory_iterator(fs::path(TOLLI_GAME_DATA_DIR) / folder))
                fs::create_symlink(e.path(), mDir / folder / e.path().filename());
        }
        memcpy(mPreviousModuleDir, gModuleDir, sizeof gModuleDir);
        snprintf(gModuleDir, sizeof gModuleDir, "%s/", mDir.c_str());
        gClock = &CLOCK_VIRTUAL;
        clockVirtualSet(0);
        gAudioBackend = &AUDIO_HEADLESS;
        audioHeadlessSetRate(RATE);
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        // The music choice reads the scenes through the game's wiring,
        // whichever test ran before.
        installGameWiring();
        resetScene();
        gOptionSoundLevel = gOptionMusicLevel = gOptionVoiceLevel = 9;
    }
    void TearDown() override {
        unloadSounds();
        shutdownSound();
        resetScene();
        gStages[TEST_STAGE] = mPreviousStage;
        memcpy(gModuleDir, mPreviousModuleDir, sizeof gModuleDir);
        gClock = mPreviousClock;
        gAudioBackend = mPreviousBackend;
        gWindow = mPreviousWindow;
    }
    // The game's state as the music choice reads it: the shop floor, closed.
    void resetScene() {
        gGameMode = GAME_MODE_FIELD;
        gStageIndex = TEST_STAGE;
        gStages[TEST_STAGE].stageCode = 0;
        gStages[TEST_STAGE].maptype = 0;
        gEventReady = 0;
        gEventNumber = EventNumber{};
        gSceneLoading = 0;
        gShopFloor.shopFloorState = 1;
        gCounter.trendBannerFrame = 0;
        gRun.runEndTimer = gRun.runEndState = 0;
        gRun.specialMusicTimer = 0;
        gRun.dungeonIndex = gFloorIndex = 0;
        gTitle = TitleState{};
        gReportMusicFlag = gBossMusicFlag = 0;
    }
    // One tick of time, then the sound update.
    void tick() {
        clockVirtualAdvance(TICK_MICROS);
        updateSound();
    }
    // Renders until now and returns the last frames, stereo.
    std::vector<float> lastFrames(int32_t frames) {
        std::vector<float> out(2 * (size_t)frames);
        int64_t end = audioHeadlessFrames();
        EXPECT_TRUE(audioHeadlessRead(end - frames, out.data(), frames));
        return out;
    }
    int32_t startsOfAllEffects() {
        int32_t n = 0;
        for (const AudioSegment& s : gEffectSegments) n += s.starts;
        return n;
    }
    TempFolder mFolder{"sound"};
    fs::path mDir = mFolder.path();
    WorkingDirectory mInFolder{mDir};
    char mPreviousModuleDir[sizeof gModuleDir] = {};
    const Clock* mPreviousClock = nullptr;
    const AudioBackend* mPreviousBackend = nullptr;
    const WindowBackend* mPreviousWindow = nullptr;
    StageRecord mPreviousStage;
};

TEST_F(Sound, MusicFollowsTheGamesState) {
    ASSERT_TRUE(initSound());
    struct Case {
        const char* what;
        int32_t mode = GAME_MODE_FIELD;
        int32_t stageCode = 0;
        int32_t mapType = 0;
        int32_t shopFloorState = 1;
        int32_t banner = 0;
        int32_t report = 0;
        int32_t runEndTimer = 0;
        int32_t runEndState = 0;
        int32_t special = 0;
        int32_t boss = 0;
        int32_t dungeon = 0;
        int32_t floor = 0;
        int32_t eventReady = 0;
        EventNumber event = {};
        int32_t forced = -1;
        int32_t keep = 0;
        int32_t loading = 0;
        int32_t titleIdle = 0;
        int32_t before = -1;   // the track playing before the update
        int32_t want = -1;     // gCurrentTrack after it
    };
    const Case CASES[] = {
        {.what = "shop open", .shopFloorState = 4, .want = 8},
        {.what = "shop open with the trend banner", .stageCode = 2, .shopFloorState = 4, .banner = 12, .want = 18},
        {.what = "shop closed", .stageCode = 4, .shopFloorState = 2, .before = 8, .want = 9},
        {.what = "grassland 1-1", .stageCode = 5, .mapType = 1, .want = 5},
        {.what = "forest 1-2", .stageCode = 6, .mapType = 1, .want = 4},
        {.what = "waterside 1-3", .stageCode = 7, .mapType = 1, .want = 20},
        {.what = "1-4 keeps what plays", .stageCode = 8, .mapType = 1, .before = 5, .want = -1},
        {.what = "cave 1-6", .stageCode = 10, .mapType = 1, .want = 3},
        {.what = "1-12", .stageCode = 16, .mapType = 1, .want = 2},
        {.what = "1-16", .stageCode = 20, .mapType = 1, .want = 17},
        {.what = "a boss", .stageCode = 6, .mapType = 1, .boss = 1, .want = 6},
        {.what = "the last bosses on 1-13", .stageCode = 17, .mapType = 1, .boss = 1, .want = 16},
        {.what = "the last bosses on 1-15", .stageCode = 19, .mapType = 1, .boss = 1, .want = 16},
        {.what = "a boss on 1-14", .stageCode = 18, .mapType = 1, .boss = 1, .want = 6},
        {.what = "boss music only in the field mode", .mode = GAME_MODE_UNUSED_4, .stageCode = 6, .mapType = 1, .boss = 1, .want = 4},
        {.what = "boss music only on a dungeon stage", .shopFloorState = 4, .boss = 1, .want = 8},
        {.what = "dungeon 4 from floor 95", .stageCode = 6, .mapType = 1, .dungeon = 4, .floor = 95, .want = 17},
        {.what = "dungeon 4 before floor 95", .stageCode = 6, .mapType = 1, .dungeon = 4, .floor = 94, .want = 4},
        {.what = "dungeon 3 from floor 45", .stageCode = 6, .mapType = 1, .dungeon = 3, .floor = 45, .want = 17},
        {.what = "dungeon 3 before floor 45", .stageCode = 6, .mapType = 1, .dungeon = 3, .floor = 44, .want = 4},
        {.what = "dungeon 2 is never deep", .stageCode = 6, .mapType = 1, .dungeon = 2, .floor = 99, .want = 4},
        {.what = "run lost", .stageCode = 6, .mapType = 1, .runEndTimer = 1, .runEndState = 1, .want = 7},
        {.what = "run won", .stageCode = 6, .mapType = 1, .runEndTimer = 30, .runEndState = 3, .want = 13},
        {.what = "run end before the boss", .stageCode = 6, .mapType = 1, .runEndTimer = 1, .boss = 1, .want = 13},
        {.what = "day report", .shopFloorState = 4, .report = 1, .want = 11},
        {.what = "day report over the screens", .mode = GAME_MODE_OVERLAY, .report = 1, .want = 11},
        {.what = "the screens keep the music", .mode = GAME_MODE_OVERLAY, .before = 3, .want = 3},
        {.what = "special timer", .stageCode = 6, .mapType = 1, .special = 5, .want = 10},
        {.what = "event 0-1", .shopFloorState = 4, .eventReady = 1, .event = {0, 1}, .want = 7},
        {.what = "another event", .shopFloorState = 4, .eventReady = 1, .event = {0, 2}, .want = 8},
        {.what = "event 0-1 over", .shopFloorState = 4, .event = {0, 1}, .want = 8},
        {.what = "the ending save keeps the music", .mode = GAME_MODE_ENDING_SAVE, .shopFloorState = 4, .before = 3, .want = 3},
        {.what = "town", .mode = GAME_MODE_MARKET, .want = 1},
        {.what = "town places", .mode = GAME_MODE_PLAZA_IDLE, .stageCode = 6, .want = 1},
        {.what = "the church in town", .mode = GAME_MODE_CHURCH, .want = 1},
        {.what = "game over by the stage", .mode = GAME_MODE_GAME_OVER, .stageCode = 13, .mapType = 1, .want = 2},
        {.what = "forced by an event", .stageCode = 6, .mapType = 1, .eventReady = 1, .forced = 15, .want = 15},
        {.what = "forced over the screens", .mode = GAME_MODE_OVERLAY, .eventReady = 1, .forced = 14, .before = 3, .want = 14},
        {.what = "forced, the event over", .stageCode = 6, .mapType = 1, .forced = 15, .want = 4},
        {.what = "forced and kept", .stageCode = 6, .mapType = 1, .forced = 15, .keep = 1, .want = 15},
        {.what = "no change while a scene loads", .stageCode = 6, .mapType = 1, .loading = 1, .before = 8, .want = 8},
        {.what = "title", .mode = GAME_MODE_TITLE, .want = 0},
        {.what = "title before the fade", .mode = GAME_MODE_TITLE, .titleIdle = 7020, .want = 0},
        {.what = "title fading", .mode = GAME_MODE_TITLE, .titleIdle = 7021, .before = 0, .want = -1},
        {.what = "title after the stop", .mode = GAME_MODE_TITLE, .titleIdle = 7080, .before = 0, .want = 0},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        resetScene();
        audioStopAll();
        gCurrentTrack = -1;
        if (c.before >= 0) {
            ASSERT_TRUE(playMusicTrack(c.before));
        }
        int32_t startsBefore[MUSIC_TRACK_COUNT];
        for (int32_t t = 0; t < MUSIC_TRACK_COUNT; ++t) startsBefore[t] = gSound.music[t].starts;
        gGameMode = c.mode;
        gStages[TEST_STAGE].stageCode = c.stageCode;
        gStages[TEST_STAGE].maptype = c.mapType;
        gShopFloor.shopFloorState = c.shopFloorState;
        gCounter.trendBannerFrame = c.banner;
        gReportMusicFlag = c.report;
        gRun.runEndTimer = c.runEndTimer;
        gRun.runEndState = c.runEndState;
        gRun.specialMusicTimer = c.special;
        gBossMusicFlag = c.boss;
        gRun.dungeonIndex = c.dungeon;
        gFloorIndex = c.floor;
        gEventReady = c.eventReady;
        gEventNumber = c.event;
        gForcedTrack = c.forced;
        gKeepEventMusic = c.keep;
        gSceneLoading = c.loading;
        gTitle.idleTicks = c.titleIdle;
        tick();
        EXPECT_EQ(gCurrentTrack, c.want);
        // What plays: the new track from its start, or the one before, on.
        bool change = c.want >= 0 && c.want != c.before;
        int32_t playing = change ? c.want : c.before;
        for (int32_t t = 0; t < MUSIC_TRACK_COUNT; ++t) {
            EXPECT_EQ(gSound.music[t].starts != startsBefore[t], change && t == c.want) << "track " << t;
            EXPECT_EQ(audioPosition(&gSound.music[t]) >= 0, t == playing) << "track " << t;
        }
    }
}

TEST_F(Sound, TheIdleTitleFadesItsMusicOutThenStopsEverything) {
    ASSERT_TRUE(initSound());
    gGameMode = GAME_MODE_TITLE;
    tick();
    ASSERT_EQ(gCurrentTrack, 0);
    struct Case { int32_t idle; float factor; int32_t volume; int32_t track; bool plays; };
    const Case CASES[] = {
        {7020, 1.0f, 0, 0, true},
        {7021, 1.0f - 1.0f / 600.0f, -15, -1, true},   // the factor is a float, a hair above 1 - 1/600
        {7050, 0.95f, -480, -1, true},
        {7078, 1.0f - 58.0f / 600.0f, -928, -1, true},
        {7079, 1.0f - 58.0f / 600.0f, -928, -1, false},
        {7200, 1.0f - 58.0f / 600.0f, -928, -1, false},
        {0, 1.0f, 0, 0, true},   // the movie ended: the title starts over
    };
    playSoundEffect(SOUND_CONFIRM);
    for (const Case& c : CASES) {
        gTitle.idleTicks = c.idle;
        tick();
        EXPECT_FLOAT_EQ(gMusicFadeFactor, c.factor) << c.idle;
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), c.volume) << c.idle;
        EXPECT_EQ(gCurrentTrack, c.track) << c.idle;
        EXPECT_EQ(audioPosition(&gSound.music[0]) >= 0, c.plays) << c.idle;
        // The stop silences the effects too.
        if (c.idle == 7079) {
            EXPECT_EQ(audioPosition(&gEffectSegments[effectSlot(SOUND_CONFIRM)]), -1);
        }
    }
}

TEST_F(Sound, AnEventsFadeStepsEveryTickAndEndsWithTheEvent) {
    ASSERT_TRUE(initSound());
    gShopFloor.shopFloorState = 4;
    gEventReady = 1;
    tick();
    ASSERT_EQ(gCurrentTrack, 8);
    fadeOutMusic(4);
    EXPECT_EQ(gMusicFadeDirection, MUSIC_FADE_NONE);   // taken up by the update
    const int32_t OUT[4] = {-730, -2811, -5926, -9600};
    for (int32_t volume : OUT) {
        tick();
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), volume);
        char want[16];
        snprintf(want, sizeof want, "VOL %-5d", volume);
        EXPECT_EQ(std::string(gDebugText + 14 * DEBUG_TEXT_COLUMNS, strlen(want)), want);
    }
    EXPECT_EQ(gMusicFadeDirection, MUSIC_FADE_NONE);
    EXPECT_EQ(gMusicFadeFrame, 0);
    tick();
    EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), -9600);   // a finished fade-out stays down

    fadeInMusic(4);
    const int32_t IN[4] = {-5926, -2811, -730, 0};
    for (int32_t volume : IN) {
        tick();
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), volume);
    }

    // Leaving the event stops a running fade; so does a forced track.
    fadeOutMusic(600);
    tick();
    EXPECT_EQ(gMusicFadeDirection, MUSIC_FADE_OUT);
    gEventReady = 0;
    tick();
    EXPECT_EQ(gMusicFadeDirection, MUSIC_FADE_NONE);
    EXPECT_EQ(gMusicFadeFrame, 0);
    gEventReady = 1;
    fadeOutMusic(600);
    forceMusicTrack(14);
    tick();
    EXPECT_EQ(gMusicFadeDirection, MUSIC_FADE_NONE);
    EXPECT_EQ(gCurrentTrack, 14);
    clearForcedMusic();
    EXPECT_EQ(gForcedTrack, -1);

    // With the music level at 0 the music is silent, fade or not.
    gOptionMusicLevel = 0;
    fadeInMusic(4);
    for (int32_t i = 0; i < 4; ++i) {
        tick();
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), AUDIO_VOLUME_SILENT) << i;
    }
}

// A scene load changes nothing of the choice but the moment a new track
// starts: the event's end and a forced track stop a script's fade, and the
// overlay screens end the update, all while the scene loads.
TEST_F(Sound, WhileASceneLoadsTheMusicFollowsTheSameStepsAndANewTrackWaits) {
    ASSERT_TRUE(initSound());
    struct Case {
        const char* what;
        int32_t mode = GAME_MODE_FIELD;
        int32_t eventReady = 1;
        int32_t forced = -1;
        int32_t keep = 0;
        int32_t report = 0;
        int32_t direction;     // the fade after the update
        int32_t frame;
        int32_t afterLoad;     // gCurrentTrack once the load has ended
    };
    const Case CASES[] = {
        {.what = "the event runs: its fade goes on", .direction = MUSIC_FADE_OUT, .frame = 2, .afterLoad = 8},
        {.what = "the event ended: its fade stops", .eventReady = 0, .direction = MUSIC_FADE_NONE, .frame = 0, .afterLoad = 8},
        {.what = "a forced track stops the fade and plays after the load", .forced = 14,
         .direction = MUSIC_FADE_NONE, .frame = 0, .afterLoad = 14},
        {.what = "a kept forced track outlives the event", .eventReady = 0, .forced = 14, .keep = 1,
         .direction = MUSIC_FADE_NONE, .frame = 0, .afterLoad = 14},
        {.what = "the screens end the update: no fade step", .mode = GAME_MODE_OVERLAY, .direction = MUSIC_FADE_OUT,
         .frame = 1, .afterLoad = 8},
        {.what = "the day report over the screens waits for the load", .mode = GAME_MODE_OVERLAY, .report = 1,
         .direction = MUSIC_FADE_OUT, .frame = 2, .afterLoad = 11},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        resetScene();
        audioStopAll();
        gCurrentTrack = -1;
        gForcedTrack = -1;
        gKeepEventMusic = 0;
        gMusicFadeDirection = MUSIC_FADE_NONE;
        gMusicFadeFrame = 0;
        gShopFloor.shopFloorState = 4;
        gEventReady = 1;
        fadeOutMusic(600);
        tick();
        ASSERT_EQ(gCurrentTrack, 8);
        ASSERT_EQ(gMusicFadeFrame, 1);
        const int32_t volume = audioVolume(AUDIO_PATH_MUSIC);

        gSceneLoading = 1;
        gGameMode = c.mode;
        gEventReady = c.eventReady;
        gForcedTrack = c.forced;
        gKeepEventMusic = c.keep;
        gReportMusicFlag = c.report;
        tick();
        EXPECT_EQ(gMusicFadeDirection, c.direction);
        EXPECT_EQ(gMusicFadeFrame, c.frame);
        EXPECT_EQ(gCurrentTrack, 8);
        EXPECT_GE(audioPosition(&gSound.music[8]), 0);
        if (c.frame == 1) {
            EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), volume);
        }

        gSceneLoading = 0;
        tick();
        EXPECT_EQ(gCurrentTrack, c.afterLoad);
        EXPECT_GE(audioPosition(&gSound.music[c.afterLoad]), 0);
    }
    clearForcedMusic();
}

TEST_F(Sound, LevelFiveMeasures1458HundredthsOfADecibelBelowLevelNine) {
    ASSERT_TRUE(initSound());
    const AudioSegment& track = gSound.music[2];
    double power[2];
    const int32_t LEVELS[2] = {9, 5};
    for (int32_t i = 0; i < 2; ++i) {
        gOptionMusicLevel = LEVELS[i];
        gCurrentTrack = -1;
        ASSERT_TRUE(playMusicTrack(2));
        // One whole loop of the track.
        clockVirtualAdvance((uint64_t)track.frames * 1000000 / RATE + 1000);
        std::vector<float> out(2 * (size_t)track.frames);
        int64_t end = audioHeadlessFrames();
        ASSERT_TRUE(audioHeadlessRead(end - audioPosition(&track), out.data(), track.frames));
        double sum = 0.0;
        for (float v : out) sum += (double)v * v;
        power[i] = sum;
    }
    EXPECT_NEAR(10.0 * std::log10(power[0] / power[1]), 14.58, 0.1);
}

TEST_F(Sound, LoopingTracksRunOnAndJinglesStop) {
    ASSERT_TRUE(initSound());
    for (int32_t t = 0; t < MUSIC_TRACK_COUNT; ++t) EXPECT_EQ(gSound.music[t].loop, musicTrackLoops(t) ? 1 : 0) << t;
    // The title loop: what follows its last frame is its first again.
    const AudioSegment& title = gSound.music[0];
    int64_t start = audioHeadlessFrames();
    ASSERT_TRUE(playMusicTrack(0));
    clockVirtualAdvance((uint64_t)(title.frames + 2000) * 1000000 / RATE + 1000);
    std::vector<float> first(2 * 2000), again(2 * 2000);
    ASSERT_TRUE(audioHeadlessRead(start, first.data(), 2000));
    ASSERT_TRUE(audioHeadlessRead(start + title.frames, again.data(), 2000));
    EXPECT_EQ(first, again);
    float previous = 0.0f, jump = 0.0f;
    std::vector<float> around(2 * 200);
    ASSERT_TRUE(audioHeadlessRead(start + title.frames - 100, around.data(), 200));
    for (int32_t i = 0; i < 200; ++i) {
        if (i) jump = std::fmax(jump, std::fabs(around[2 * i] - previous));
        previous = around[2 * i];
    }
    EXPECT_LT(jump, 0.05f) << "a click where the loop comes round";

    // The fanfare plays once, then there is silence.
    const AudioSegment& fanfare = gSound.music[11];
    ASSERT_TRUE(playMusicTrack(11));
    clockVirtualAdvance((uint64_t)fanfare.frames * 1000000 / RATE + 100000);
    EXPECT_EQ(audioPosition(&fanfare), -1);
    std::vector<float> after = lastFrames(2400);
    for (float v : after) ASSERT_EQ(v, 0.0f);
}

TEST_F(Sound, AnEffectRequestedThreeTimesInATickStartsOnce) {
    ASSERT_TRUE(initSound());
    const AudioSegment& cursor = gEffectSegments[effectSlot(SOUND_CURSOR)];
    ASSERT_NE(cursor.samples, nullptr);
    for (int32_t i = 0; i < 3; ++i) playSoundEffect(SOUND_CURSOR);
    EXPECT_EQ(cursor.starts, 0);   // requests wait for the update
    tick();
    EXPECT_EQ(cursor.starts, 1);
    clockVirtualAdvance(10000);
    EXPECT_GT(audioPosition(&cursor), 0);
    // A request in the next tick starts it over.
    playSoundEffect(SOUND_CURSOR);
    tick();
    EXPECT_EQ(cursor.starts, 2);
    EXPECT_EQ(audioPosition(&cursor), 0);
    tick();
    EXPECT_EQ(cursor.starts, 2);
    // Different effects overlap.
    playSoundEffect(SOUND_CONFIRM);
    playSoundEffect(SOUND_CANCEL);
    tick();
    EXPECT_GE(audioPosition(&gEffectSegments[effectSlot(SOUND_CONFIRM)]), 0);
    EXPECT_GE(audioPosition(&gEffectSegments[effectSlot(SOUND_CANCEL)]), 0);
    // Unknown numbers, and the number with no sound, do nothing.
    int32_t starts = startsOfAllEffects();
    playSoundEffect(999);
    playSoundEffect(SOUND_NO_FILE);
    tick();
    EXPECT_EQ(startsOfAllEffects(), starts);
    EXPECT_EQ(gEffectSegments[effectSlot(SOUND_NO_FILE)].samples, nullptr);
    // Effects play at the sound level.
    gOptionSoundLevel = 5;
    playSoundEffect(SOUND_MONEY);
    tick();
    EXPECT_EQ(audioVolume(AUDIO_PATH_EFFECTS), -1458);
}

TEST_F(Sound, ANewVoiceReplacesThePlayingOne) {
    writeHeldWav(mDir / "bin/se/00sa/system/voice_a.bin", 22050, 22050, 0.25);
    writeHeldWav(mDir / "bin/se/00sa/system/voice_b.bin", 11025, 11025, -0.5);
    ASSERT_TRUE(initSound());
    gOptionVoiceLevel = 9;
    ASSERT_TRUE(playVoice("bin\\se\\00sa\\system\\voice_a.bin"));
    clockVirtualAdvance(50000);
    EXPECT_NEAR(lastFrames(1)[0], 0.25f, 1e-4);
    gOptionVoiceLevel = 5;
    ASSERT_TRUE(playVoice("BIN/SE/00sa/system/VOICE_B.bin"));
    EXPECT_EQ(audioVolume(AUDIO_PATH_VOICE), -1458);
    clockVirtualAdvance(50000);
    // Only the second clip is heard, at level 5: not the two mixed.
    std::vector<float> out = lastFrames(100);
    for (float v : out) ASSERT_NEAR(v, -0.5f * 0.186638f, 1e-4);
    stopVoice();
    EXPECT_EQ(gSound.voice.samples, nullptr);
    clockVirtualAdvance(10000);
    EXPECT_EQ(lastFrames(1)[0], 0.0f);
}

TEST_F(Sound, AVoiceThatCannotBeLoadedSaysSoAndPlaysNothing) {
    ASSERT_TRUE(initSound());
    EXPECT_FALSE(playVoice("bin/se/missing.bin"));
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "file not found");
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "bin/se/missing.bin");
    EXPECT_EQ(gSound.voice.samples, nullptr);
}

TEST_F(Sound, SoundIsAllOrNothing) {
    struct Case { const char* what; const char* remove; const char* damage; bool ready; };
    const Case CASES[] = {
        {"everything there", nullptr, nullptr, true},
        {"an effect missing", "se/700.wav", nullptr, true},
        {"a music file missing", "bgm/water.wav", nullptr, false},
        {"a music file damaged", nullptr, "bgm/cave.wav", false},
        {"an effect damaged", nullptr, "se/326.wav", false},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        fs::path removed = c.remove ? mDir / c.remove : fs::path();
        fs::path target;
        if (c.remove) {
            target = fs::read_symlink(removed);
            fs::remove(removed);
        }
        fs::path damaged = c.damage ? mDir / c.damage : fs::path();
        if (c.damage) {
            target = fs::read_symlink(damaged);
            fs::remove(damaged);
            writeFile(damaged, "RIFF....WAVEdata");
        }
        headlessWindowReset();
        EXPECT_EQ(initSound(), c.ready);
        EXPECT_EQ(gSound.ready, c.ready ? 1 : 0);
        EXPECT_EQ(audioRate(), c.ready ? RATE : 0);
        // Without sound, nothing is requested or started, and nothing fails.
        playSoundEffect(SOUND_CURSOR);
        EXPECT_EQ(gSound.effectRequests[effectSlot(SOUND_CURSOR)], c.ready ? 1 : 0);
        gGameMode = GAME_MODE_TITLE;
        tick();
        EXPECT_EQ(gCurrentTrack, c.ready ? 0 : -1);
        EXPECT_FALSE(playVoice("bin/se/missing.bin"));
        EXPECT_EQ(gHeadlessMessageBoxes.total, c.ready ? 1 : 0);
        unloadSounds();
        shutdownSound();
        if (c.remove) fs::create_symlink(target, removed);
        if (c.damage) {
            fs::remove(damaged);
            fs::create_symlink(target, damaged);
        }
    }
}

TEST_F(Sound, EffectsAreFoundInTheProgramsFolderWhereverTheGameStarts) {
    fs::create_directory(mDir / "program");
    fs::rename(mDir / "se", mDir / "program" / "se");
    snprintf(gModuleDir, sizeof gModuleDir, "%s/program/", mDir.c_str());
    ASSERT_TRUE(initSound());
    EXPECT_NE(gEffectSegments[effectSlot(SOUND_CURSOR)].samples, nullptr);
    // Beside the working directory they count as missing, not as damaged.
    snprintf(gModuleDir, sizeof gModuleDir, "%s/", mDir.c_str());
    ASSERT_TRUE(initSound());
    EXPECT_EQ(gEffectSegments[effectSlot(SOUND_CURSOR)].samples, nullptr);
}

// Sounds decoded ahead on the worker are the ones initSound would decode;
// a device that opens at another rate than expected gets them decoded again
// at its own; a batch nobody takes is freed.
TEST_F(Sound, SoundsDecodedAheadMatchAFreshDecodeAtTheDevicesRate) {
    ASSERT_TRUE(initSound());
    std::vector<std::vector<int16_t>> fresh;
    for (const AudioSegment& s : gSound.music) fresh.emplace_back(s.samples, s.samples + (size_t)s.frames * s.channels);
    unloadSounds();
    shutdownSound();

    struct Case { const char* what; int32_t openRate; };
    const Case CASES[] = {{"the expected rate", RATE}, {"another rate", 44100}};
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        audioHeadlessSetRate(RATE);
        startSoundPrefetch();
        audioHeadlessSetRate(c.openRate);
        ASSERT_TRUE(initSound());
        EXPECT_EQ(audioRate(), c.openRate);
        for (int32_t track = 0; track < MUSIC_TRACK_COUNT; ++track) {
            const AudioSegment& s = gSound.music[track];
            ASSERT_NE(s.samples, nullptr) << track;
            if (c.openRate == RATE) {
                ASSERT_EQ((size_t)s.frames * s.channels, fresh[track].size()) << track;
                EXPECT_EQ(memcmp(s.samples, fresh[track].data(), fresh[track].size() * sizeof(int16_t)), 0) << track;
            } else {
                AudioSegment atDevice;
                ASSERT_TRUE(audioLoadWavFile(MUSIC_FILES[track], c.openRate, s.loop != 0, &atDevice)) << track;
                EXPECT_EQ(s.frames, atDevice.frames) << track;
                EXPECT_EQ(memcmp(s.samples, atDevice.samples, (size_t)s.frames * s.channels * sizeof(int16_t)), 0)
                    << track;
                audioFreeSegment(&atDevice);
            }
        }
        EXPECT_NE(gEffectSegments[effectSlot(SOUND_CURSOR)].samples, nullptr);
        unloadSounds();
        shutdownSound();
    }
    audioHeadlessSetRate(RATE);
    startSoundPrefetch();
    dropSoundPrefetch();
}

// The real start-up on the sample game folder: the title's music plays; and
// with no sound device at all the game runs on, silently.
TEST(SoundGame, TheTitleMusicPlaysAfterTheBoot) {
    const AudioBackend* previous = gAudioBackend;
    gAudioBackend = &AUDIO_HEADLESS;
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(30);
    EXPECT_EQ(gSound.ready, 1);
    EXPECT_EQ(gCurrentTrack, 0);
    EXPECT_GT(audioPosition(&gSound.music[0]), 0);
    std::vector<float> out(2 * 4800);
    ASSERT_TRUE(audioHeadlessRead(audioHeadlessFrames() - 4800, out.data(), 4800));
    float peak = 0.0f;
    for (float v : out) peak = std::fmax(peak, std::fabs(v));
    EXPECT_GT(peak, 0.01f);
    harnessShutdown();
    EXPECT_EQ(gSound.ready, 0);
    EXPECT_EQ(audioRate(), 0);
    gAudioBackend = previous;
}

TEST(SoundGame, WithoutASoundDeviceTheGameRunsSilently) {
    const AudioBackend* previous = gAudioBackend;
    const char* before = getenv("SDL_AUDIODRIVER");
    std::string previousDriver = before ? before : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    gAudioBackend = &AUDIO_SDL;
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(30);
    EXPECT_FALSE(gHarness.quit);
    EXPECT_EQ(gSound.ready, 0);
    EXPECT_EQ(gCurrentTrack, -1);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    harnessShutdown();
    if (previousDriver.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", previousDriver.c_str(), 1);
    gAudioBackend = previous;
}

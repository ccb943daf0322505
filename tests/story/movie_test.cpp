// The opening movie over the idle title, on the sample movie the build
// encodes into the game folder: when it starts, what it holds back, confirm
// skipping it, its own end, its volume and its picture on the screen.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/movie.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/movie.h"
#include "story/story_state.h"
#include "tests/story/title_fixture.h"
#include "tools/movie_pattern.h"

class MoviePlayback : public TitleGame {
protected:
    // Boots and idles on the title up to the tick before the movie; the
    // count up to the fade is the title's own test.
    void idleToTheMovie() {
        boot();
        gTitle.idleTicks = TITLE_IDLE_FADE_START;
        run(TITLE_IDLE_MOVIE - 1 - gTitle.idleTicks);
        ASSERT_EQ(gTitle.idleTicks, TITLE_IDLE_MOVIE - 1);
        ASSERT_EQ(gMedia.graph, 0);
    }
    int32_t movieTicks() const {
        return OPENING_MOVIE.frames * 60 / OPENING_MOVIE.fps;   // a tick is a sixtieth of a second
    }
};

TEST_F(MoviePlayback, StartsAtTheIdleTickAndHoldsTheTitle) {
    idleToTheMovie();
    run(1);
    ASSERT_EQ(gMedia.graph, 1);
    EXPECT_EQ(gTitle.idleTicks, TITLE_IDLE_MOVIE);
    EXPECT_EQ(movieWidth(), OPENING_MOVIE.width);
    // Its sound plays on the music path at the music level's volume (5).
    ASSERT_NE(gMedia.sound.samples, nullptr);
    EXPECT_GE(audioPosition(&gMedia.sound), 0);
    EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), VOLUME_TABLE[5]);
    // The ticks go on, the title's and the game's counts do not.
    int32_t ticks = gTickCounter, updates = gUpdateCount;
    run(60);
    EXPECT_EQ(gUpdateCount, updates + 60);
    EXPECT_EQ(gTickCounter, ticks);
    EXPECT_EQ(gTitle.idleTicks, TITLE_IDLE_MOVIE);
    EXPECT_EQ(gMedia.graph, 1);
    // Only confirm counts: the menu's other buttons do nothing.
    int32_t cursor = gTitle.menuCursor;
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_CANCEL);
    EXPECT_EQ(gTitle.menuCursor, cursor);
    EXPECT_EQ(gMedia.graph, 1);
}

TEST_F(MoviePlayback, ConfirmSkipsItAndTheIdleCountStartsAgain) {
    idleToTheMovie();
    run(31);
    ASSERT_EQ(gMedia.graph, 1);
    int32_t musicStarts = gSound.music[0].starts;
    holdButtons(BUTTON_CONFIRM, 1);
    EXPECT_EQ(gMedia.graph, 0);
    EXPECT_EQ(gTitle.idleTicks, 0);
    EXPECT_EQ(gMedia.sound.samples, nullptr);
    EXPECT_FALSE(movieIsOpen());
    // The title counts again from there and its music starts over.
    holdButtons(0, 10);
    EXPECT_EQ(gTitle.idleTicks, 10);
    EXPECT_EQ(gCurrentTrack, 0);
    EXPECT_EQ(gSound.music[0].starts, musicStarts + 1);
}

TEST_F(MoviePlayback, ItEndsByItselfAndTheTitleComesBack) {
    idleToTheMovie();
    run(1);
    int32_t ticks = 0;
    while (gMedia.graph && ticks < 2 * movieTicks()) {
        run(1);
        ++ticks;
    }
    ASSERT_EQ(gMedia.graph, 0);
    // Its four seconds, and the sound's last block at most.
    EXPECT_GE(ticks, movieTicks() - 1);
    EXPECT_LE(ticks, movieTicks() + 12);
    EXPECT_EQ(gTitle.idleTicks, 0);
    run(5);
    EXPECT_EQ(gTitle.idleTicks, 5);
    EXPECT_EQ(gCurrentTrack, 0);
}

// A change of the music level takes effect on the next tick; level 0 mutes.
TEST_F(MoviePlayback, TheMusicLevelSetsItsVolume) {
    idleToTheMovie();
    run(20);
    ASSERT_EQ(gMedia.graph, 1);
    for (int32_t level : {9, 0, 3}) {
        gOptionMusicLevel = level;
        run(1);
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), VOLUME_TABLE[level]) << "level " << level;
    }
    // What the device plays while muted is silence.
    // (2,000 frames at the device's 48,000 a second: two of the four ticks.)
    gOptionMusicLevel = 0;
    run(4);
    int64_t end = audioHeadlessFrames();
    std::vector<float> heard(2 * 2000);
    ASSERT_TRUE(audioHeadlessRead(end - 2000, heard.data(), 2000));
    for (float sample : heard) ASSERT_EQ(sample, 0.0f);
    gOptionMusicLevel = 9;
    run(4);
    end = audioHeadlessFrames();
    ASSERT_TRUE(audioHeadlessRead(end - 2000, heard.data(), 2000));
    float loudest = 0.0f;
    for (float sample : heard) loudest = std::max(loudest, std::abs(sample));
    EXPECT_GT(loudest, 0.05f);
}

TEST(MovieVolume, FollowsTheLevelWithinTheMixersRange) {
    struct Case {
        int32_t level;
        float fade;
        int32_t want;
    };
    const Case CASES[] = {
        {5, 1.0f, -1100},
        {9, 0.5f, -300},      // a fade above 0 leaves it whole
        {9, 0.0f, -9900},     // the faded-out title lowers it by 96 dB
        {1, 0.0f, -10000},    // ... which is kept at silence, not below
        {0, 1.0f, -10000},
        {12, 1.0f, -300},     // a level out of range reads as the nearest
        {-1, 1.0f, -10000},
    };
    for (const Case& c : CASES)
        EXPECT_EQ(movieVolume(c.level, c.fade), c.want) << "level " << c.level << " fade " << c.fade;
}

// The picture drawn over the whole screen, read back from OpenGL: each
// screen pixel shows the movie's picture at half the resolution.
TEST_F(MoviePlayback, ItsPictureCoversTheScreen) {
    mGfx = &GFX_HEADLESS;
    idleToTheMovie();
    run(60);
    ASSERT_EQ(gMedia.graph, 1);
    std::vector<uint32_t> screen(640 * 480);
    ASSERT_TRUE(harnessReadFrame(screen.data(), 640, 480));
    const uint32_t* picture = movieFrame();
    ASSERT_NE(picture, nullptr);
    int32_t largest = 0;
    for (int32_t y = 8; y < 240; y += 16) {
        for (int32_t x = 8; x < 320; x += 16) {
            uint32_t want = picture[y * 320 + x], got = screen[(2 * y) * 640 + 2 * x];
            for (int32_t shift : {0, 8, 16})
                largest = std::max(largest, std::abs((int32_t)(got >> shift & 0xFF) - (int32_t)(want >> shift & 0xFF)));
        }
    }
    EXPECT_LT(largest, 16);
}

// A movie that is missing or cannot be decoded is passed over: the title
// music starts again and the wait starts over.
TEST_F(MoviePlayback, AMissingOrBrokenMovieLeavesTheTitleGoingOn) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;   // empty: no file
    };
    const Case CASES[] = {
        {"missing", {}},
        {"garbage", std::vector<uint8_t>(3000, 0x5A)},
    };
    for (const Case& c : CASES) {
        idleToTheMovie();
        std::filesystem::remove(path("tolli_op.wmv"));
        if (!c.bytes.empty()) writeFile(path("tolli_op.wmv"), c.bytes);
        run(1);
        EXPECT_EQ(gMedia.graph, 0) << c.what;
        EXPECT_EQ(gTitle.idleTicks, 0) << c.what;
        run(1);
        EXPECT_EQ(gCurrentTrack, 0) << c.what;
        EXPECT_EQ(gTitle.idleTicks, 1) << c.what;
    }
}

// The title drawn after a skipped movie is the title drawn after no movie:
// the movie's frames leave the device's states as the title expects them,
// and it holds the game's ticks, so the title takes up where it was.
TEST_F(MoviePlayback, TheTitleAfterTheMovieIsDrawnAsWithoutIt) {
    mGfx = &GFX_HEADLESS;
    std::vector<uint32_t> screens[2];
    for (bool withMovie : {false, true}) {
        idleToTheMovie();
        if (!withMovie) std::filesystem::remove(path("tolli_op.wmv"));
        run(1);
        ASSERT_EQ(gMedia.graph, withMovie ? 1 : 0);
        if (withMovie) {
            run(45);
            holdButtons(BUTTON_CONFIRM, 1);
            ASSERT_EQ(gMedia.graph, 0);
        } else {
            run(1);   // as the confirm's tick, which the title does not count
        }
        run(30);
        std::vector<uint32_t>& screen = screens[withMovie];
        screen.resize(640 * 480);
        ASSERT_TRUE(harnessReadFrame(screen.data(), 640, 480));
    }
    // All but the frame rate's corner (the movie's frames count in it). The
    // sky's faint shimmer and twinkling stars follow the frame count, which
    // runs on under the movie; a state left wrong would change whole areas.
    int32_t changed = 0;
    for (size_t i = 0; i < screens[0].size(); ++i) {
        if (i % 640 >= 580 && i / 640 >= 450) continue;
        int32_t largest = 0;
        for (int32_t shift : {0, 8, 16})
            largest = std::max(largest, std::abs((int32_t)(screens[0][i] >> shift & 0xFF) -
                                                 (int32_t)(screens[1][i] >> shift & 0xFF)));
        changed += largest > 16;
    }
    EXPECT_LT(changed, 640 * 480 / 200);
}

// The sound's volumes: the option levels in hundredths of a decibel and the
// music's fades. The music, effects and voices of the running game are
// tested on the game's wiring (tests/game/sound_test.cpp).
#include "engine/sound.h"

#include <gtest/gtest.h>

TEST(SoundVolume, LevelsAreHundredthsOfADecibel) {
    struct Case { int32_t level; double factor; int32_t want; };
    const Case CASES[] = {
        {9, 1.0, 0}, {5, 1.0, -1458}, {1, 1.0, -5391}, {0, 1.0, -10000},
        {9, 0.5, -4800}, {9, 0.0, -9600}, {5, 0.0, -9600}, {0, 0.5, -10000},
        {9, 2.0, 0},   // past full volume: held at 0
    };
    for (const Case& c : CASES)
        EXPECT_EQ(levelVolume(c.level, c.factor), c.want) << "level " << c.level << " factor " << c.factor;
    for (int32_t level = 1; level <= 9; ++level)
        EXPECT_GT(levelVolume(level, 1.0), levelVolume(level - 1, 1.0)) << level;
}

TEST(SoundVolume, FadesFollowAQuarterCosineWithinTheDevicesRange) {
    struct Case { int32_t level, direction, frame, frames, want; };
    const Case CASES[] = {
        {9, MUSIC_FADE_OUT, 1, 4, -730}, {9, MUSIC_FADE_OUT, 2, 4, -2811}, {9, MUSIC_FADE_OUT, 3, 4, -5926},
        {9, MUSIC_FADE_OUT, 4, 4, -9600}, {9, MUSIC_FADE_IN, 1, 4, -5926}, {9, MUSIC_FADE_IN, 4, 4, 0},
        {5, MUSIC_FADE_OUT, 2, 4, -3843}, {5, MUSIC_FADE_IN, 4, 4, -1458},
        {0, MUSIC_FADE_IN, 4, 4, -10000}, {0, MUSIC_FADE_OUT, 0, 4, -10000},
        {9, MUSIC_FADE_OUT, 0, 0, 0},   // a fade of no length does not divide by zero
    };
    for (const Case& c : CASES)
        EXPECT_EQ(fadeVolume(c.level, c.direction, c.frame, c.frames), c.want)
            << "level " << c.level << " direction " << c.direction << " frame " << c.frame << "/" << c.frames;
    EXPECT_EQ(clampVolume(-19600), -10000);
    EXPECT_EQ(clampVolume(300), 0);
    EXPECT_EQ(clampVolume(-1458), -1458);
}

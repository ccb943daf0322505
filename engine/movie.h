// engine/movie.h: the opening movie, played from the program's folder when
// the title has stood idle long enough. While a movie plays, the frame shows
// only the movie's picture, stretched over the screen, and the tick only
// watches confirm, which skips it. Its sound plays on the music path at the
// music level's volume. Main thread.
#pragma once
#include <cstdint>

#include "platform/audio.h"
#include "platform/gfx.h"

// The movie's volume in hundredths of a decibel by music level 0..9.
constexpr int32_t VOLUME_TABLE[10] = {-10000, -5000, -2500, -1800, -1300, -1100, -900, -700, -500, -300};

// The player: open from playMovie until stopMedia.
struct MediaState {
    int32_t graph;           // 1 while a movie is open
    int32_t movie;           // 1 once a movie was asked for
    uint64_t startMicros;    // the clock when it started
    GfxTexture* texture;     // the picture, made at the first frame drawn
    int32_t textureStale;    // the decoded picture is newer than the texture
    AudioSegment sound;      // the movie's sound at the device's rate; empty without one
};
extern MediaState gMedia;

// Starts the movie file (a name in the program's folder); false when it
// cannot be played, in which case nothing plays and the caller goes on.
bool playMovie(const char* file);
// Once a tick and once a drawn frame: true while a movie plays and on the
// call at which it ends (the title's idle count then starts over).
bool pollMedia();
void stopMedia();   // stops the movie and lets go of everything it held
// What a fresh process has: no movie. The texture is forgotten, not
// released, as the device that made it may be gone.
void resetMedia();
// The frame while a movie plays: its picture over the whole back buffer.
void drawMovieFrame();
// The movie's volume: the music level's, lowered by the title's music fade,
// within what the mixer takes.
int32_t movieVolume(int32_t musicLevel, float musicFadeFactor);

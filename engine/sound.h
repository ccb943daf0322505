// engine/sound.h: music, sound effects and voices.
// initSound loads the 21 music tracks ("bgm/" in the working directory) and
// the program's own sound effects ("se/<number>.wav" in the program's
// folder) at start-up; sound is all or
// nothing, so one that fails to load leaves every operation here silent
// until the program ends, as does a machine with no sound device. Scenes
// request effects by number during a tick; updateSound, after every tick,
// starts them (so repeated requests sound once), chooses the music from the
// game's state and steps the music fades. Main thread only.
#pragma once
#include <cstdint>

#include "platform/audio.h"

constexpr int32_t MUSIC_TRACK_COUNT = 21;
constexpr int32_t SOUND_EFFECT_COUNT = 110;
constexpr int32_t MUSIC_FADE_NONE = 0;
constexpr int32_t MUSIC_FADE_OUT = 1;
constexpr int32_t MUSIC_FADE_IN = 2;
constexpr int32_t MUSIC_STOP_ALL = -2;   // the track that stops every playing sound
// Title idle ticks: the music fades out from the first and stops at the second.
constexpr int32_t TITLE_MUSIC_FADE_TICK = 7021;
constexpr int32_t TITLE_MUSIC_STOP_TICK = 7079;

// By track number; paths relative to the working directory (the game folder).
extern const char* const MUSIC_FILES[MUSIC_TRACK_COUNT];
// Effect numbers in slot order; a number may name no file (its slot stays empty).
extern const int32_t SOUND_EFFECT_TABLE[SOUND_EFFECT_COUNT];
// The effect numbers that have a use, as playSoundEffect takes them.
enum SoundEffect : int32_t {
    SOUND_NO_FILE = 309,            // in the table, but names no file
    SOUND_CANCEL = 317,             // cancel or back
    SOUND_CONFIRM = 323,
    SOUND_LINE_ANSWERED = 324,      // a spoken line or a page is answered
    SOUND_CURSOR = 326,             // cursor move
    SOUND_MONEY = 333,              // money paid or received
    SOUND_DAY_SCORE_CHIME = 342,    // after SOUND_ITEM_SHOWN when the day score changes
    SOUND_REFUSED = 362,
    SOUND_MENU_OPEN = 363,          // the pause menu opens
    SOUND_BALLOON_TEXT = 370,       // a speech balloon's text changes
    SOUND_PROMPT = 371,             // a prompt opens
    SOUND_BALLOON = 372,            // a speech balloon opens or closes
    SOUND_ITEM_SHOWN = 379,
    SOUND_COIN = 669,               // one coin of a payment
    SOUND_CONDITION_BANNER = 701,
    SOUND_INFO_POPUP = 710,         // an information popup opens or closes
};
// Where the program's effect of a number lives, in the program's folder.
constexpr const char* SOUND_EFFECT_FILE_FORMAT = "se/%d.wav";
bool musicTrackLoops(int32_t track);   // the jingles 10, 11, 13 and 19 play once

struct SoundState {
    int32_t ready;                                   // set only when everything loaded
    AudioSegment music[MUSIC_TRACK_COUNT];
    uint8_t effectRequests[SOUND_EFFECT_COUNT];      // live for one tick
    AudioSegment voice;                              // the clip of playVoice; one at a time
};
extern SoundState gSound;
extern AudioSegment gEffectSegments[SOUND_EFFECT_COUNT];

extern int32_t gCurrentTrack;       // -1 none
extern int32_t gForcedTrack;        // -1 none; set by event scripts
extern int32_t gKeepEventMusic;     // 1: the forced track outlives its event
extern int32_t gMusicFadeRequest;   // MUSIC_FADE_*: taken up by the next update
extern int32_t gMusicFadeDirection; // MUSIC_FADE_*: the fade that runs
extern int32_t gMusicFadeFrame;     // 0 while no fade runs
extern int32_t gMusicFadeFrames;    // length of a fade, 600 at start
extern float gMusicFadeFactor;      // 1.0 but during the title's fade before the movie
extern int32_t gReportMusicFlag;    // the day report's jingle plays
extern int32_t gBossMusicFlag;      // a boss is on the floor

// What the music choice reads of the scenes, through the readMusicInputs
// hook (engine/scene_hooks.h); without it, the neutral values below.
struct MusicInputs {
    int32_t titleIdleTicks;
    int32_t titleMusicOverride;   // -1: the title's own track
    int32_t runEndTimer;          // a dungeon run's end: its jingle while above 0
    int32_t runEndState;          // 1 defeated
    int32_t specialMusicTimer;    // track 10 while above 0
    int32_t dungeonIndex;
    int32_t shopOpen;             // the shop floor is open for customers
    int32_t trendBannerShown;     // a trend banner shows at the counter
    int32_t eventMajor;           // the event that runs, -1 none
    int32_t eventMinor;
};

bool initSound();
// Starts decoding every file initSound loads on a worker, at the rate the
// sound device is expected to open at, so start-up can do other work
// meanwhile; initSound takes the result. dropSoundPrefetch waits for the
// worker and frees what it decoded (a start-up that ends before initSound).
void startSoundPrefetch();
void dropSoundPrefetch();
// Requests the effect of that number for the next update; numbers not in
// the table do nothing, as does everything before sound is ready.
void playSoundEffect(int32_t number);
void queueSoundEffectSlot(int32_t slot);
void updateSound();
// Switches the music (MUSIC_STOP_ALL stops everything and keeps the current
// track number); true when a track started.
bool playMusicTrack(int32_t track);
// The music path's volume from the music level and gMusicFadeFactor.
void applyMusicVolume();
// Plays a clip (path relative to the working directory) on the voice path,
// replacing the one before; a file that cannot be loaded shows "file not
// found" with the path and plays nothing.
bool playVoice(const char* path);
void stopVoice();
void fadeOutMusic(int32_t frames);
void fadeInMusic(int32_t frames);
void forceMusicTrack(int32_t track);
void setKeepEventMusic(int32_t flag);
void clearForcedMusic();
bool querySoundStub();   // always false
void unloadSounds();
void shutdownSound();
// The music choice, its fades and the pending effect requests back to a
// fresh process's values; what is loaded stays.
void resetSoundState();

// Volumes in hundredths of a decibel, within AUDIO_VOLUME_SILENT..0.
int32_t clampVolume(int32_t centibels);
// Of an option level 0..9 with the factor k: cos((9 - L) * 1.2566371 / 9) *
// k * 9600 - 9600; level 0 is silence.
int32_t levelVolume(int32_t level, double factor);
// The music volume at a frame of a fade (MUSIC_FADE_OUT or MUSIC_FADE_IN) of
// frames length: a quarter cosine on top of the level's volume.
int32_t fadeVolume(int32_t level, int32_t direction, int32_t frame, int32_t frames);

// platform/audio.h: the sound device and our mixer under it.
// One device pulls finished stereo buffers from the mixer, which plays
// decoded segments on three paths (music, effects, voice), each with its own
// volume in hundredths of a decibel. The game thread starts and stops sounds
// through the functions below; each change is made under the backend's lock,
// so the mixer (on SDL's audio thread) only ever sees it whole. Nothing here
// allocates except decoding a segment.
#pragma once
#include <cstddef>
#include <cstdint>

enum AudioPath : int32_t { AUDIO_PATH_MUSIC = 0, AUDIO_PATH_EFFECTS = 1, AUDIO_PATH_VOICE = 2 };
constexpr int32_t AUDIO_PATH_COUNT = 3;
constexpr int32_t AUDIO_VOLUME_SILENT = -10000;   // this and below: nothing is heard
constexpr int32_t AUDIO_PLAY_MAX = 128;           // sounds playing at once
constexpr int32_t AUDIO_RATE_MIN = 1000;          // source and device rates we take
constexpr int32_t AUDIO_RATE_MAX = 384000;

// A decoded sound at the device's rate, 16-bit, mono or interleaved stereo.
struct AudioSegment {
    int16_t* samples;    // null: nothing loaded
    int32_t frames;
    int32_t channels;    // 1 or 2
    int32_t loop;        // 1: plays round without end; resampled as a circle
    int32_t starts;      // times started since loaded (the tests count them)
};

struct AudioBackend {
    const char* name;
    // Opens the device and starts pulling from mixerRender; returns its
    // rate in frames per second, or 0 when there is no device.
    int32_t (*open)();
    void (*close)();
    // While held, the mixer does not run.
    void (*lock)();
    void (*unlock)();
    // The rate open will most likely give, known without opening: what
    // decoding may aim at before the device is open.
    int32_t (*expectedRate)();
};
extern const AudioBackend* gAudioBackend;   // chosen at start-up; none: no sound
extern const AudioBackend AUDIO_SDL;
extern const AudioBackend AUDIO_HEADLESS;

bool audioOpen();       // false: no device; everything below then does nothing
void audioClose();      // stops every sound first
int32_t audioRate();    // of the open device; 0 when none is open
int32_t audioExpectedRate();   // of the chosen backend before it opens; 0 when none

// Decodes a RIFF WAVE file (PCM, 8 or 16 bit, mono or stereo, any rate in
// AUDIO_RATE_MIN..MAX) and resamples it to rate. False, with out empty, for
// anything else or a damaged file.
bool audioDecodeWav(const uint8_t* bytes, size_t size, int32_t rate, bool loop, AudioSegment* out);
// The same from a file; '\\' in the path is taken as '/', and a name that
// does not match exactly falls back to a case-insensitive match per part.
bool audioLoadWavFile(const char* path, int32_t rate, bool loop, AudioSegment* out);
void audioFreeSegment(AudioSegment* segment);   // stops it first

// One file of a batch: where it is, whether it loops, where it goes.
struct AudioLoadJob {
    const char* path;
    bool loop;
    AudioSegment* out;
    bool loaded;   // set by audioLoadWavFiles
};
// Loads every job's file as audioLoadWavFile would, spread over a few
// threads (start-up decodes all the music at once); returns when all are
// done. Each job's result is its own, whatever the others gave.
void audioLoadWavFiles(AudioLoadJob* jobs, int32_t count, int32_t rate);

// Starts the segment from its beginning on a path. A play of the same
// segment stops first; alone: so does everything else on the path.
void audioPlay(AudioSegment* segment, int32_t path, bool alone);
void audioStopSegment(const AudioSegment* segment);
void audioStopAll();
void audioSetVolume(int32_t path, int32_t centibels);
int32_t audioVolume(int32_t path);
// Frames played of the segment's play (past the loop point they count on);
// -1 when it does not play.
int64_t audioPosition(const AudioSegment* segment);

// 10^(v / 2000), clamped to 0..1; AUDIO_VOLUME_SILENT and below are 0.
float audioVolumeGain(int32_t centibels);
// The mixer, for the backends (they hold the lock around it): fills out
// with frames of interleaved stereo and moves every play on.
void mixerRender(float* out, int32_t frames);

// The headless device renders, whenever it is locked or read, what the clock
// (gClock) says has passed since it opened, into a ring the tests read.
constexpr int32_t AUDIO_HEADLESS_RING_FRAMES = 1 << 20;   // about 22 s
void audioHeadlessSetRate(int32_t rate);   // before opening; 48,000 by default
int64_t audioHeadlessFrames();             // rendered since it opened
// Copies stereo frames from absolute frame first on; false when they have
// not been rendered yet or have left the ring.
bool audioHeadlessRead(int64_t first, float* out, int32_t frames);

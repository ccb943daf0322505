// The mixer and the game thread's side of it. The plays table and the path
// gains are shared with the audio thread: the game thread changes them only
// between the backend's lock and unlock, and mixerRender runs only while the
// backend holds that lock, so the two never interleave.
#include "platform/audio.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

const AudioBackend* gAudioBackend = nullptr;

struct MixerPlay {
    const AudioSegment* segment;   // null: free
    int32_t path;
    int32_t position;              // next frame of the segment
    int64_t played;                // frames played since the start
};

struct Mixer {
    const AudioBackend* backend;   // the open one; null while closed
    int32_t rate;
    MixerPlay plays[AUDIO_PLAY_MAX];
    int32_t volume[AUDIO_PATH_COUNT];
    float gain[AUDIO_PATH_COUNT];
};
static Mixer sMixer;

float audioVolumeGain(int32_t centibels) {
    if (centibels <= AUDIO_VOLUME_SILENT) return 0.0f;
    if (centibels >= 0) return 1.0f;
    return (float)std::pow(10.0, centibels / 2000.0);
}

bool audioOpen() {
    audioClose();
    if (!gAudioBackend) return false;
    memset(sMixer.plays, 0, sizeof sMixer.plays);
    for (int32_t p = 0; p < AUDIO_PATH_COUNT; ++p) {
        sMixer.volume[p] = 0;
        sMixer.gain[p] = 1.0f;
    }
    int32_t rate = gAudioBackend->open();
    if (rate < AUDIO_RATE_MIN || rate > AUDIO_RATE_MAX) {
        if (rate) gAudioBackend->close();
        return false;
    }
    sMixer.rate = rate;
    sMixer.backend = gAudioBackend;
    return true;
}

void audioClose() {
    if (!sMixer.backend) return;
    audioStopAll();
    sMixer.backend->close();
    sMixer.backend = nullptr;
    sMixer.rate = 0;
}

int32_t audioRate() { return sMixer.rate; }

int32_t audioExpectedRate() { return gAudioBackend ? gAudioBackend->expectedRate() : 0; }

void audioFreeSegment(AudioSegment* segment) {
    if (!segment) return;
    audioStopSegment(segment);
    free(segment->samples);
    *segment = AudioSegment{};
}

void audioPlay(AudioSegment* segment, int32_t path, bool alone) {
    if (!sMixer.backend || !segment || !segment->samples || segment->frames < 1) return;
    if (path < 0 || path >= AUDIO_PATH_COUNT) return;
    sMixer.backend->lock();
    MixerPlay* slot = nullptr;
    for (MixerPlay& play : sMixer.plays) {
        if (play.segment == segment || (alone && play.path == path)) play.segment = nullptr;
        if (!play.segment && !slot) slot = &play;
    }
    if (slot) *slot = MixerPlay{segment, path, 0, 0};
    sMixer.backend->unlock();
    if (slot) ++segment->starts;
}

void audioStopSegment(const AudioSegment* segment) {
    if (!sMixer.backend || !segment) return;
    sMixer.backend->lock();
    for (MixerPlay& play : sMixer.plays) {
        if (play.segment == segment) play.segment = nullptr;
    }
    sMixer.backend->unlock();
}

void audioStopAll() {
    if (!sMixer.backend) return;
    sMixer.backend->lock();
    for (MixerPlay& play : sMixer.plays) play.segment = nullptr;
    sMixer.backend->unlock();
}

void audioSetVolume(int32_t path, int32_t centibels) {
    if (!sMixer.backend || path < 0 || path >= AUDIO_PATH_COUNT) return;
    float gain = audioVolumeGain(centibels);
    sMixer.backend->lock();
    sMixer.volume[path] = centibels;
    sMixer.gain[path] = gain;
    sMixer.backend->unlock();
}

int32_t audioVolume(int32_t path) {
    if (path < 0 || path >= AUDIO_PATH_COUNT) return AUDIO_VOLUME_SILENT;
    return sMixer.volume[path];
}

int64_t audioPosition(const AudioSegment* segment) {
    if (!sMixer.backend || !segment) return -1;
    int64_t played = -1;
    sMixer.backend->lock();
    for (const MixerPlay& play : sMixer.plays) {
        if (play.segment == segment) played = play.played;
    }
    sMixer.backend->unlock();
    return played;
}

// Adds frames of a segment from position on, scaled by gain.
static void mixSpan(float* out, const AudioSegment& segment, int32_t position, int32_t frames, float gain) {
    constexpr float SCALE = 1.0f / 32768.0f;
    float g = gain * SCALE;
    if (segment.channels == 2) {
        const int16_t* in = segment.samples + 2 * (size_t)position;
        for (int32_t i = 0; i < 2 * frames; ++i) out[i] += g * (float)in[i];
    } else {
        const int16_t* in = segment.samples + position;
        for (int32_t i = 0; i < frames; ++i) {
            float v = g * (float)in[i];
            out[2 * i] += v;
            out[2 * i + 1] += v;
        }
    }
}

void mixerRender(float* out, int32_t frames) {
    memset(out, 0, sizeof(float) * 2 * (size_t)frames);
    for (MixerPlay& play : sMixer.plays) {
        const AudioSegment* segment = play.segment;
        if (!segment) continue;
        float gain = sMixer.gain[play.path];
        int32_t done = 0;
        while (done < frames) {
            int32_t n = segment->frames - play.position;
            if (n > frames - done) n = frames - done;
            // A silent path still moves its plays on, as a muted one would.
            if (gain > 0.0f) mixSpan(out + 2 * (size_t)done, *segment, play.position, n, gain);
            done += n;
            play.position += n;
            play.played += n;
            if (play.position < segment->frames) continue;
            if (!segment->loop) {
                play.segment = nullptr;
                break;
            }
            play.position = 0;
        }
    }
    for (int32_t i = 0; i < 2 * frames; ++i) {
        if (out[i] > 1.0f) out[i] = 1.0f;
        else if (out[i] < -1.0f) out[i] = -1.0f;
    }
}

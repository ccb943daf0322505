// The mixer with all three paths busy: a music loop, a voice and sixteen
// effects at once, mixed a second at a time in the device's 1,024-frame
// buffers. share_of_core is the seconds of one core a second of sound costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/clock.h"

constexpr int32_t RATE = 48000;
constexpr int32_t BUFFER_FRAMES = 1024;
constexpr int32_t BUSY_EFFECTS = 16;

static bool loadSound(const char* name, bool loop, AudioSegment* out) {
    char path[512];
    snprintf(path, sizeof path, "%s/%s", TOLLI_GAME_DATA_DIR, name);
    return audioLoadWavFile(path, RATE, loop, out);
}

static void BM_MixOneSecondAllPathsBusy(benchmark::State& state) {
    // The virtual clock stands still, so the headless device never renders
    // on its own: only the timed loop mixes.
    gClock = &CLOCK_VIRTUAL;
    gAudioBackend = &AUDIO_HEADLESS;
    audioHeadlessSetRate(RATE);
    AudioSegment music, voice, effects[BUSY_EFFECTS];
    // Loops, so every path stays busy however long the benchmark runs.
    if (!audioOpen() || !loadSound(MUSIC_FILES[0], true, &music) || !loadSound(MUSIC_FILES[12], true, &voice)) {
        state.SkipWithError("no game folder with sounds (build the gamesounds target)");
        return;
    }
    audioPlay(&music, AUDIO_PATH_MUSIC, true);
    audioPlay(&voice, AUDIO_PATH_VOICE, true);
    for (int32_t i = 0; i < BUSY_EFFECTS; ++i) {
        char name[32];
        snprintf(name, sizeof name, SOUND_EFFECT_FILE_FORMAT, SOUND_EFFECT_TABLE[40 + i]);
        loadSound(name, true, &effects[i]);
        audioPlay(&effects[i], AUDIO_PATH_EFFECTS, false);
    }
    audioSetVolume(AUDIO_PATH_MUSIC, -1458);
    audioSetVolume(AUDIO_PATH_VOICE, -600);
    std::vector<float> buffer(2 * BUFFER_FRAMES);
    for (auto _ : state) {
        for (int32_t done = 0; done < RATE; done += BUFFER_FRAMES) {
            mixerRender(buffer.data(), RATE - done < BUFFER_FRAMES ? RATE - done : BUFFER_FRAMES);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.counters["share_of_core"] =
        benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    audioClose();
    audioFreeSegment(&music);
    audioFreeSegment(&voice);
    for (AudioSegment& effect : effects) audioFreeSegment(&effect);
}
BENCHMARK(BM_MixOneSecondAllPathsBusy)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

#include "platform/audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/clock.h"
#include "tests/temp_folder.h"

constexpr double PI = 3.14159265358979323846;

// A RIFF WAVE file of interleaved values in -1..1.
struct WavLayout {
    int32_t bits = 16;
    int32_t channels = 1;
    int32_t rate = 22050;
    uint16_t tag = 1;
};
static void put16(std::vector<uint8_t>& out, uint32_t v) { out.insert(out.end(), {(uint8_t)v, (uint8_t)(v >> 8)}); }
static void put32(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)});
}
static std::vector<uint8_t> makeWav(const WavLayout& layout, const std::vector<double>& values) {
    std::vector<uint8_t> data;
    for (double v : values) {
        if (layout.bits == 8) data.push_back((uint8_t)std::lround(128.0 + 127.0 * v));
        else put16(data, (uint16_t)(int16_t)std::lround(32767.0 * v));
    }
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    put32(out, (uint32_t)(36 + data.size()));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, layout.tag);
    put16(out, layout.channels);
    put32(out, layout.rate);
    put32(out, layout.rate * layout.channels * layout.bits / 8);
    put16(out, layout.channels * layout.bits / 8);
    put16(out, layout.bits);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, (uint32_t)data.size());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

// frames of a sine at hz (left) and its negative (right, when stereo).
static std::vector<double> sineFrames(int32_t channels, int32_t rate, double hz, int32_t frames, double amplitude) {
    std::vector<double> v;
    for (int32_t i = 0; i < frames; ++i) {
        double s = amplitude * std::sin(2.0 * PI * hz * i / rate);
        v.push_back(s);
        if (channels == 2) v.push_back(-s);
    }
    return v;
}

static AudioSegment decode(const std::vector<uint8_t>& bytes, int32_t rate, bool loop) {
    AudioSegment segment;
    EXPECT_TRUE(audioDecodeWav(bytes.data(), bytes.size(), rate, loop, &segment));
    return segment;
}

TEST(MixerWav, DecodesPcmLayoutsAtAnyRateToTheDeviceRate) {
    struct Case { int32_t bits, channels, from, to; double tolerance; };
    const Case CASES[] = {
        {8, 1, 11025, 48000, 0.03},  {8, 2, 22050, 44100, 0.02},  {16, 1, 22050, 48000, 0.005},
        {16, 2, 44100, 48000, 0.002}, {16, 2, 48000, 44100, 0.002}, {16, 1, 8000, 44100, 0.02},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.channels << " channels, " << c.from << " to "
                                        << c.to);
        // 0.2 s of 441 Hz: a whole number of frames at every rate here.
        int32_t inFrames = c.from / 5;
        std::vector<double> sine = sineFrames(c.channels, c.from, 441.0, inFrames, 0.8);
        AudioSegment s = decode(makeWav({c.bits, c.channels, c.from}, sine), c.to, false);
        ASSERT_EQ(s.frames, c.to / 5);
        ASSERT_EQ(s.channels, c.channels);
        // Past the last source frame the sound holds it; that tail is not a sine.
        double worst = 0.0;
        for (int32_t i = 0; (int64_t)i * inFrames <= (int64_t)(inFrames - 1) * s.frames; ++i) {
            double want = 0.8 * std::sin(2.0 * PI * 441.0 * i / c.to);
            worst = std::fmax(worst, std::fabs(s.samples[i * c.channels] / 32768.0 - want));
            if (c.channels == 2) worst = std::fmax(worst, std::fabs(s.samples[i * 2 + 1] / 32768.0 + want));
        }
        EXPECT_LT(worst, c.tolerance);
        audioFreeSegment(&s);
    }
}

TEST(MixerWav, AtTheSameRateSamplesAreCopied) {
    std::vector<double> values = sineFrames(2, 48000, 1000.0, 300, 0.9);
    std::vector<uint8_t> bytes = makeWav({16, 2, 48000}, values);
    AudioSegment s = decode(bytes, 48000, false);
    ASSERT_EQ(s.frames, 300);
    for (int32_t i = 0; i < 600; ++i) ASSERT_EQ(s.samples[i], (int16_t)std::lround(32767.0 * values[i])) << i;
    audioFreeSegment(&s);
}

// The resampler's arithmetic, written out: output frame i sits at source
// frame i * in / out, between two frames, rounded half away from zero.
static std::vector<int16_t> resampledBy(const std::vector<uint8_t>& wav, int32_t channels, int64_t inFrames,
                                        int64_t outFrames, bool loop) {
    const uint8_t* data = wav.data() + 44;
    auto sample = [&](int64_t index) { return (double)((float)(int16_t)(data[2 * index] | data[2 * index + 1] << 8) / 32768.0f); };
    std::vector<int16_t> out;
    for (int64_t i = 0; i < outFrames; ++i) {
        int64_t at = i * inFrames / outFrames, rest = i * inFrames % outFrames;
        int64_t next = at + 1 == inFrames ? (loop ? 0 : at) : at + 1;
        double t = (double)rest / (double)outFrames;
        for (int32_t c = 0; c < channels; ++c) {
            double a = sample(at * channels + c), b = sample(next * channels + c);
            long s = std::lround((a + (b - a) * t) * 32768.0);
            out.push_back((int16_t)(s > 32767 ? 32767 : s < -32768 ? -32768 : s));
        }
    }
    return out;
}

TEST(MixerWav, ResampledSamplesAreExactlyTheInterpolationRounded) {
    struct Case { int32_t channels, from, to; bool loop; };
    const Case CASES[] = {{1, 22050, 44100, true}, {1, 22050, 48000, false}, {2, 22050, 48000, true},
                          {2, 44100, 48000, false}, {1, 48000, 22050, false}};
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.from << " to " << c.to);
        // Full scale, so that the clamp and both signs of the halves occur.
        int32_t inFrames = 2000;
        std::vector<uint8_t> wav = makeWav({16, c.channels, c.from}, sineFrames(c.channels, c.from, 997.0, inFrames, 1.0));
        AudioSegment s = decode(wav, c.to, c.loop);
        std::vector<int16_t> want = resampledBy(wav, c.channels, inFrames, s.frames, c.loop);
        ASSERT_EQ((size_t)s.frames * (size_t)c.channels, want.size());
        for (size_t i = 0; i < want.size(); ++i) ASSERT_EQ(s.samples[i], want[i]) << "sample " << i;
        audioFreeSegment(&s);
    }
}

TEST(MixerWav, RefusesWhatItCannotPlayAndDamagedFiles) {
    std::vector<uint8_t> good = makeWav({}, sineFrames(1, 22050, 441.0, 100, 0.5));
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> out = good;
        for (size_t i = 0; i < bytes.size(); ++i) out.at(at + i) = bytes[i];
        return out;
    };
    auto cut = [&](size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + (long)size); };
    std::vector<uint8_t> noData = cut(36);
    std::vector<uint8_t> twoFormats = cut(36);
    twoFormats.insert(twoFormats.end(), good.begin() + 12, good.end());
    std::vector<uint8_t> dataFirst = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    dataFirst.insert(dataFirst.end(), good.begin() + 36, good.end());
    dataFirst.insert(dataFirst.end(), good.begin() + 12, good.begin() + 36);
    struct Case { const char* what; std::vector<uint8_t> bytes; };
    const Case CASES[] = {
        {"not RIFF", patched(0, {'R', 'I', 'F', 'X'})},
        {"not WAVE", patched(8, {'A', 'V', 'I', ' '})},
        {"24-bit", makeWav({24, 1, 22050}, {})},
        {"three channels", patched(22, {3, 0})},
        {"IEEE float", patched(20, {3, 0})},
        {"compressed", patched(20, {2, 0})},
        {"rate 0", patched(24, {0, 0, 0, 0})},
        {"rate below the least", patched(24, {0xF4, 0x01, 0, 0})},
        {"samples past the end", cut(good.size() - 1)},
        {"a chunk longer than the file", patched(40, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"no samples", makeWav({}, {})},
        {"no data chunk", noData},
        {"samples before the format", dataFirst},
        {"two format chunks", twoFormats},
        {"header only", cut(20)},
        {"empty", {}},
    };
    for (const Case& c : CASES) {
        AudioSegment s = {reinterpret_cast<int16_t*>(1), 1, 1, 1, 1};
        EXPECT_FALSE(audioDecodeWav(c.bytes.data(), c.bytes.size(), 48000, false, &s)) << c.what;
        EXPECT_EQ(s.samples, nullptr) << c.what;
        EXPECT_EQ(s.frames, 0) << c.what;
    }
    AudioSegment s;
    EXPECT_TRUE(audioDecodeWav(good.data(), good.size(), 48000, false, &s));
    audioFreeSegment(&s);
}

TEST(MixerWav, FilesAreFoundWhateverTheSeparatorsAndCase) {
    TempFolder folder("mixer");
    std::filesystem::path dir = folder.path();
    folder.write("Voice/Se/Clip01.WAV", makeWav({}, sineFrames(1, 22050, 441.0, 100, 0.5)));
    struct Case { std::string path; bool found; };
    const Case CASES[] = {
        {(dir / "Voice/Se/Clip01.WAV").string(), true},
        {dir.string() + "\\voice\\SE\\clip01.wav", true},
        {(dir / "VOICE/se/CLIP01.wav").string(), true},
        {(dir / "Voice/Se/Clip02.WAV").string(), false},
        {(dir / "Voices/Se/Clip01.WAV").string(), false},
    };
    for (const Case& c : CASES) {
        AudioSegment s;
        EXPECT_EQ(audioLoadWavFile(c.path.c_str(), 44100, false, &s), c.found) << c.path;
        if (c.found) {
            EXPECT_EQ(s.frames, 200) << c.path;
        }
        audioFreeSegment(&s);
    }
}

// The headless device, opened on the virtual clock; tests that render by
// hand call mixerRender themselves and never move the clock.
class Mixer : public testing::Test {
protected:
    void SetUp() override {
        mPreviousClock = gClock;
        mPreviousBackend = gAudioBackend;
        gClock = &CLOCK_VIRTUAL;
        clockVirtualSet(1000000);
        gAudioBackend = &AUDIO_HEADLESS;
        audioHeadlessSetRate(48000);
        ASSERT_TRUE(audioOpen());
        for (int32_t p = 0; p < AUDIO_PATH_COUNT; ++p) audioSetVolume(p, 0);
    }
    void TearDown() override {
        audioClose();
        for (AudioSegment& s : mSegments) audioFreeSegment(&s);
        gAudioBackend = mPreviousBackend;
        gClock = mPreviousClock;
    }
    AudioSegment* segment(const WavLayout& layout, const std::vector<double>& values, bool loop) {
        AudioSegment* s = &mSegments[mCount++];
        *s = decode(makeWav(layout, values), 48000, loop);
        return s;
    }
    std::vector<float> render(int32_t frames) {
        std::vector<float> out(2 * (size_t)frames);
        for (int32_t done = 0; done < frames; done += 1024)
            mixerRender(out.data() + 2 * done, std::min(1024, frames - done));
        return out;
    }
    static double rms(const std::vector<float>& v) {
        double sum = 0.0;
        for (float x : v) sum += (double)x * x;
        return std::sqrt(sum / (double)v.size());
    }
    const Clock* mPreviousClock = nullptr;
    const AudioBackend* mPreviousBackend = nullptr;
    AudioSegment mSegments[4] = {};
    int32_t mCount = 0;
};

TEST_F(Mixer, VolumesAreHundredthsOfADecibel) {
    AudioSegment* tone = segment({16, 1, 48000}, sineFrames(1, 48000, 480.0, 4800, 0.5), true);
    audioPlay(tone, AUDIO_PATH_MUSIC, true);
    double full = rms(render(4800));
    struct Case { int32_t volume; double wantDb; };   // wantDb: NAN for silence
    const Case CASES[] = {
        {0, 0.0}, {-600, -6.0}, {-1458, -14.58}, {-9600, -96.0}, {-10000, NAN}, {-20000, NAN}, {500, 0.0},
    };
    for (const Case& c : CASES) {
        audioSetVolume(AUDIO_PATH_MUSIC, c.volume);
        EXPECT_EQ(audioVolume(AUDIO_PATH_MUSIC), c.volume);
        double level = rms(render(4800));
        if (std::isnan(c.wantDb)) EXPECT_EQ(level, 0.0) << c.volume;
        else EXPECT_NEAR(20.0 * std::log10(level / full), c.wantDb, 0.01) << c.volume;
    }
}

TEST_F(Mixer, ALoopingSegmentLoopsWithoutGapOrClick) {
    // One second of 441 Hz at 22,050 Hz: whole cycles, so the ideal output
    // runs on across every loop point as one unbroken sine.
    AudioSegment* tone = segment({16, 1, 22050}, sineFrames(1, 22050, 441.0, 22050, 0.5), true);
    ASSERT_EQ(tone->frames, 48000);
    audioPlay(tone, AUDIO_PATH_MUSIC, true);
    std::vector<float> out = render(3 * 48000 + 5000);
    double worst = 0.0;
    int64_t worstAt = 0;
    for (size_t i = 0; i < out.size() / 2; ++i) {
        double err = std::fabs(out[2 * i] - 0.5 * std::sin(2.0 * PI * 441.0 * (double)i / 48000.0));
        if (err > worst) worst = err, worstAt = (int64_t)i;
        ASSERT_EQ(out[2 * i], out[2 * i + 1]) << i;
    }
    EXPECT_LT(worst, 0.002) << "at frame " << worstAt;
    EXPECT_EQ(audioPosition(tone), 3 * 48000 + 5000);
}

TEST_F(Mixer, AOnceOnlySegmentStopsAtItsEnd) {
    AudioSegment* blip = segment({16, 1, 48000}, std::vector<double>(4800, 0.25), false);
    audioPlay(blip, AUDIO_PATH_EFFECTS, false);
    std::vector<float> out = render(3 * 4800);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_FLOAT_EQ(out[i], i < 2 * 4800 ? 0.25f : 0.0f) << i;
    EXPECT_EQ(audioPosition(blip), -1);
}

TEST_F(Mixer, PlayingAgainRestartsAndAloneReplacesThePath) {
    AudioSegment* a = segment({16, 1, 48000}, std::vector<double>(48000, 0.1), true);
    AudioSegment* b = segment({16, 1, 48000}, std::vector<double>(48000, 0.2), true);
    AudioSegment* effect = segment({16, 2, 48000}, std::vector<double>(96000, 0.05), true);
    audioPlay(a, AUDIO_PATH_MUSIC, true);
    audioPlay(effect, AUDIO_PATH_EFFECTS, false);
    render(1000);
    EXPECT_EQ(audioPosition(a), 1000);
    audioPlay(a, AUDIO_PATH_MUSIC, true);
    EXPECT_EQ(audioPosition(a), 0);
    audioPlay(b, AUDIO_PATH_MUSIC, true);
    EXPECT_EQ(audioPosition(a), -1);
    EXPECT_EQ(audioPosition(effect), 1000);
    std::vector<float> out = render(10);
    EXPECT_NEAR(out[0], 0.25f, 1e-4);   // b and the effect, mixed
    EXPECT_EQ(a->starts, 2);
    EXPECT_EQ(b->starts, 1);
}

TEST_F(Mixer, EachPathHasItsOwnVolume) {
    AudioSegment* music = segment({16, 1, 48000}, std::vector<double>(4800, 0.5), true);
    AudioSegment* voice = segment({16, 1, 48000}, std::vector<double>(4800, 0.25), true);
    audioPlay(music, AUDIO_PATH_MUSIC, true);
    audioPlay(voice, AUDIO_PATH_VOICE, true);
    audioSetVolume(AUDIO_PATH_MUSIC, AUDIO_VOLUME_SILENT);
    EXPECT_FLOAT_EQ(render(1)[0], 0.25f);
    audioSetVolume(AUDIO_PATH_MUSIC, 0);
    audioSetVolume(AUDIO_PATH_VOICE, -600);
    EXPECT_NEAR(render(1)[0], 0.5f + 0.25f * 0.501187f, 1e-5);
    // A muted path's sounds still move on.
    audioSetVolume(AUDIO_PATH_VOICE, AUDIO_VOLUME_SILENT);
    render(100);
    EXPECT_EQ(audioPosition(voice), 102);
}

TEST_F(Mixer, TheHeadlessDeviceRendersWhatTheClockSaysAndChangesLandOnTime) {
    AudioSegment* dc = segment({16, 1, 48000}, std::vector<double>(48000, 0.5), false);
    clockVirtualAdvance(10000);
    EXPECT_EQ(audioHeadlessFrames(), 480);
    audioPlay(dc, AUDIO_PATH_EFFECTS, false);
    clockVirtualAdvance(5000);
    audioStopSegment(dc);
    clockVirtualAdvance(5000);
    std::vector<float> out(2 * 960);
    ASSERT_TRUE(audioHeadlessRead(0, out.data(), 960));
    for (int32_t i = 0; i < 960; ++i) ASSERT_FLOAT_EQ(out[2 * i], i >= 480 && i < 720 ? 0.5f : 0.0f) << i;
    EXPECT_FALSE(audioHeadlessRead(900, out.data(), 100));   // not rendered yet
}

TEST(MixerDevice, WithoutADeviceNothingOpensAndNothingPlays) {
    const AudioBackend* previous = gAudioBackend;
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    gAudioBackend = &AUDIO_SDL;
    EXPECT_FALSE(audioOpen());
    EXPECT_EQ(audioRate(), 0);
    AudioSegment s = decode(makeWav({}, std::vector<double>(100, 0.5)), 48000, false);
    audioPlay(&s, AUDIO_PATH_EFFECTS, false);
    EXPECT_EQ(s.starts, 0);
    EXPECT_EQ(audioPosition(&s), -1);
    audioFreeSegment(&s);
    unsetenv("SDL_AUDIODRIVER");
    gAudioBackend = previous;
}

// SDL's disk driver writes what the device would play to a file: the real
// device path, the audio thread included, end to end.
TEST(MixerDevice, TheRealDeviceWritesWhatTheMixerPlays) {
    const char* before = getenv("SDL_AUDIODRIVER");
    std::string previousDriver = before ? before : "";
    TempFolder folder("disk");
    std::string file = folder.file("disk.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    const AudioBackend* previous = gAudioBackend;
    gAudioBackend = &AUDIO_SDL;
    bool opened = audioOpen();
    if (opened) {
        int32_t rate = audioRate();
        AudioSegment tone = decode(makeWav({16, 2, 22050}, std::vector<double>(2 * 5512, 0.5)), rate, false);
        audioSetVolume(AUDIO_PATH_VOICE, -600);
        // Meanwhile the game thread keeps changing what plays on a muted
        // path, while the audio thread mixes.
        AudioSegment churn = decode(makeWav({}, std::vector<double>(2000, 0.9)), rate, true);
        audioSetVolume(AUDIO_PATH_MUSIC, AUDIO_VOLUME_SILENT);
        int32_t toneFrames = tone.frames;
        audioPlay(&tone, AUDIO_PATH_VOICE, true);
        // The driver writes in real time; wait (boundedly) until the tone
        // has gone through.
        for (int32_t i = 0; i < 5000 && audioPosition(&tone) != -1; ++i) {
            if (i % 2) audioPlay(&churn, AUDIO_PATH_MUSIC, true);
            else audioStopSegment(&churn);
            audioSetVolume(AUDIO_PATH_EFFECTS, -(i % 100));
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(audioPosition(&tone), -1);
        audioClose();
        audioFreeSegment(&tone);
        audioFreeSegment(&churn);

        FILE* f = fopen(file.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        std::vector<float> written(1 << 20);
        size_t n = fread(written.data(), sizeof(float), written.size(), f);
        fclose(f);
        int64_t loud = 0;
        for (size_t i = 0; i < n; ++i) {
            if (std::fabs(written[i] - 0.5f * 0.501187f) < 1e-4f) ++loud;
            else ASSERT_EQ(written[i], 0.0f) << i;
        }
        EXPECT_EQ(loud, 2 * (int64_t)toneFrames) << "stereo samples of the tone";
    }
    unsetenv("SDL_DISKAUDIOFILE");
    if (previousDriver.empty()) unsetenv("SDL_AUDIODRIVER");
    else setenv("SDL_AUDIODRIVER", previousDriver.c_str(), 1);
    gAudioBackend = previous;
    if (!opened) GTEST_SKIP() << "this SDL has no disk audio driver";
}

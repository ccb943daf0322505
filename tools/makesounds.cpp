// tools/makesounds.cpp: synthesises the program's own sound effects and the
// sample music into a game folder: "se/<number>.wav" for every number of
// the effect table that names a sound, and a short calm loop (or, for the
// tracks that play once, a jingle) for every music track under "bgm/", and
// a short sung "ah-i" under every voice clip name the game plays (the
// heroine's, the fairy's, the customers' and the adventurers'), each at a
// pitch of its speaker.
// Everything is 22,050 Hz mono 16-bit and made the same way every run.
// Usage: makesounds GAME_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "adventurers/adventurers_files.h"
#include "dungeon/dungeon_files.h"
#include "field/field_files.h"
#include "shop/shop_files.h"
#include "engine/sound.h"
#include "story/story_files.h"

constexpr int32_t RATE = 22050;
constexpr double PI = 3.14159265358979323846;
// Peaks, leaving room to mix: the music at -6 dBFS, the effects, heard over
// it at a higher option level as a rule, at about -10.
constexpr double MUSIC_PEAK = 0.5;
constexpr double EFFECT_PEAK = 0.3;

static double noteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

static bool writeWav(const std::filesystem::path& path, const std::vector<double>& samples, double wantPeak) {
    double peak = 1e-9;
    for (double v : samples) peak = std::fmax(peak, std::fabs(v));
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    auto put = [&](uint32_t v, int32_t bytes) {
        for (int32_t i = 0; i < bytes; ++i) fputc((int)(v >> (8 * i)) & 0xFF, file);
    };
    auto put32 = [&](uint32_t v) { put(v, 4); };
    auto put16 = [&](uint32_t v) { put(v, 2); };
    uint32_t dataBytes = (uint32_t)samples.size() * 2;
    fwrite("RIFF", 1, 4, file);
    put32(36 + dataBytes);
    fwrite("WAVEfmt ", 1, 8, file);
    put32(16);
    put16(1);              // PCM
    put16(1);              // mono
    put32(RATE);
    put32(RATE * 2);
    put16(2);
    put16(16);
    fwrite("data", 1, 4, file);
    put32(dataBytes);
    for (double v : samples) put16((uint16_t)(int16_t)std::lround(v * wantPeak / peak * 32767.0));
    return fclose(file) == 0;
}

// ---- Music ----

struct TrackStyle {
    int32_t root;              // MIDI note of the key
    int32_t minor;             // 1: natural minor
    int32_t bpm;
    int32_t chords[4];         // scale degrees, two beats each
    int32_t arpeggio[4];       // chord tones (0..2, 3 = the top octave) of each eighth
    double brightness;         // weight of the upper partials of the plucked line
};

// One row per track; the jingles (10, 11, 13, 19) use root, minor and bpm only.
const TrackStyle TRACK_STYLES[MUSIC_TRACK_COUNT] = {
    {62, 0, 88, {0, 4, 5, 3}, {0, 1, 2, 3}, 0.30},    // 0 title
    {65, 0, 104, {0, 3, 4, 0}, {0, 2, 1, 2}, 0.25},   // 1 town
    {67, 0, 96, {0, 5, 3, 4}, {0, 1, 2, 1}, 0.20},    // 2 grassland
    {57, 1, 80, {0, 5, 6, 4}, {0, 2, 3, 2}, 0.10},    // 3 cave
    {64, 0, 92, {0, 1, 3, 4}, {2, 1, 0, 1}, 0.15},    // 4 forest
    {59, 1, 84, {0, 3, 4, 0}, {0, 1, 2, 1}, 0.12},    // 5 ruins
    {52, 1, 126, {0, 5, 3, 4}, {0, 3, 1, 3}, 0.40},   // 6 boss
    {55, 1, 66, {0, 3, 5, 4}, {0, 1, 2, 1}, 0.05},    // 7 defeat
    {69, 0, 112, {0, 4, 5, 4}, {0, 1, 2, 3}, 0.30},   // 8 shop open
    {60, 0, 76, {0, 3, 1, 4}, {0, 2, 1, 2}, 0.10},    // 9 shop closed
    {72, 0, 120, {0, 0, 0, 0}, {0, 0, 0, 0}, 0.30},   // 10 treasure (once)
    {67, 0, 132, {0, 0, 0, 0}, {0, 0, 0, 0}, 0.35},   // 11 fanfare (once)
    {62, 0, 72, {0, 5, 3, 4}, {0, 1, 2, 3}, 0.15},    // 12 ending
    {64, 0, 116, {0, 0, 0, 0}, {0, 0, 0, 0}, 0.30},   // 13 floor cleared (once)
    {58, 0, 70, {0, 5, 1, 4}, {2, 1, 0, 1}, 0.05},    // 14 night
    {54, 1, 118, {0, 6, 5, 4}, {0, 2, 3, 2}, 0.35},   // 15 rival
    {50, 1, 132, {0, 1, 5, 4}, {0, 3, 2, 3}, 0.45},   // 16 last boss
    {53, 1, 90, {0, 6, 3, 4}, {0, 1, 3, 1}, 0.20},    // 17 deep floors
    {71, 0, 128, {0, 3, 4, 3}, {0, 2, 3, 2}, 0.35},   // 18 trend day
    {60, 0, 100, {0, 0, 0, 0}, {0, 0, 0, 0}, 0.20},   // 19 staff roll (once)
    {63, 0, 86, {0, 5, 3, 4}, {0, 1, 2, 1}, 0.12},    // 20 waterside
};

const int32_t MAJOR_SCALE[7] = {0, 2, 4, 5, 7, 9, 11};
const int32_t MINOR_SCALE[7] = {0, 2, 3, 5, 7, 8, 10};

// The MIDI note of a scale degree (any number of octaves up).
static int32_t degreeNote(const TrackStyle& style, int32_t degree) {
    const int32_t* scale = style.minor ? MINOR_SCALE : MAJOR_SCALE;
    return style.root + 12 * (degree / 7) + scale[degree % 7];
}

// Adds a note whose tail wraps round to the start, so the loop has no seam.
static void addNote(std::vector<double>& out, bool wrap, int64_t start, double hz, double seconds, double attack,
                    double decay, double amplitude, double brightness) {
    int64_t length = (int64_t)(seconds * RATE);
    int64_t size = (int64_t)out.size();
    if (wrap && length > size) length = size;
    for (int64_t i = 0; i < length; ++i) {
        int64_t at = start + i;
        if (wrap) at %= size;
        else if (at >= size) break;
        double t = (double)i / RATE;
        double envelope = std::fmin(1.0, t / attack) * std::exp(-t / decay);
        // The last 20 ms close to zero, so no note ends with a step.
        double left = (double)(length - i) / RATE;
        if (left < 0.02) envelope *= left / 0.02;
        double phase = 2.0 * PI * hz * t;
        double tone = std::sin(phase) + brightness * std::sin(2.0 * phase) + brightness * 0.4 * std::sin(3.0 * phase);
        out[at] += amplitude * envelope * tone;
    }
}

static std::vector<double> makeLoop(const TrackStyle& style) {
    int64_t beat = RATE * 60 / style.bpm;
    std::vector<double> out((size_t)(8 * beat), 0.0);
    double beatSeconds = (double)beat / RATE;
    for (int32_t c = 0; c < 4; ++c) {
        int64_t chordStart = 2 * beat * c;
        int32_t degree = style.chords[c];
        // Soft pad: the triad, swelling in and ringing over into the next chord.
        for (int32_t tone = 0; tone < 3; ++tone)
            addNote(out, true, chordStart, noteHz(degreeNote(style, degree + 2 * tone)), 3.0 * beatSeconds,
                    0.6 * beatSeconds, 1.5 * beatSeconds, 0.10, 0.05);
        // Bass: the chord's root an octave down.
        addNote(out, true, chordStart, noteHz(degreeNote(style, degree) - 12), 2.0 * beatSeconds, 0.01, beatSeconds,
                0.22, 0.1);
        // The plucked line: four eighths over the chord.
        for (int32_t e = 0; e < 4; ++e) {
            int32_t pick = style.arpeggio[e];
            int32_t note = pick == 3 ? degreeNote(style, degree) + 12 : degreeNote(style, degree + 2 * pick);
            // Kept between G4 and A5, where a plucked line sounds gentle.
            while (note < 67) note += 12;
            while (note > 81) note -= 12;
            addNote(out, true, chordStart + e * beat / 2, noteHz(note), 1.2 * beatSeconds, 0.005,
                    0.35 * beatSeconds, 0.16, style.brightness);
        }
    }
    return out;
}

// A rising arpeggio of the key's chord and a held chord that dies away.
static std::vector<double> makeJingle(const TrackStyle& style, int32_t variant) {
    double step = 30.0 / style.bpm;   // an eighth
    const int32_t PATTERNS[4][4] = {{0, 2, 4, 7}, {0, 4, 2, 7}, {4, 2, 4, 7}, {0, 2, 0, 4}};
    const int32_t* pattern = PATTERNS[variant % 4];
    double hold = 1.6;
    int32_t lift = style.root < 66 ? 12 : 0;   // low keys ring an octave up
    std::vector<double> out((size_t)((4 * step + hold) * RATE), 0.0);
    for (int32_t i = 0; i < 4; ++i)
        addNote(out, false, (int64_t)(i * step * RATE), noteHz(degreeNote(style, pattern[i]) + lift), 3 * step, 0.005,
                0.25, 0.2, style.brightness);
    int64_t chordAt = (int64_t)(4 * step * RATE);
    for (int32_t tone = 0; tone < 3; ++tone)
        addNote(out, false, chordAt, noteHz(degreeNote(style, 2 * tone) + lift), hold, 0.01, 0.5, 0.14,
                style.brightness);
    addNote(out, false, chordAt, noteHz(degreeNote(style, 0) - 12), hold, 0.01, 0.6, 0.2, 0.1);
    return out;
}

// ---- Sound effects ----

enum EffectWave : int32_t { WAVE_SINE, WAVE_TRIANGLE, WAVE_SOFT_SQUARE, WAVE_BELL, WAVE_NOISE };

struct EffectShape {
    double startHz;
    double endHz;      // the pitch glides from start to end
    double seconds;    // of one note
    int32_t wave;
    int32_t notes;     // repeated this many times ...
    double interval;   // ... each this many semitones above the one before
};

// The sounds the menus and the shop use all the time get their own shapes.
struct NamedEffect {
    int32_t number;
    EffectShape shape;
};
const NamedEffect NAMED_EFFECTS[] = {
    {SOUND_CURSOR, {1568.0, 1568.0, 0.045, WAVE_SINE, 1, 0}},           // a short, high tick
    {SOUND_CONFIRM, {880.0, 880.0, 0.08, WAVE_TRIANGLE, 2, 7}},          // rising fifth
    {SOUND_CANCEL, {784.0, 784.0, 0.08, WAVE_TRIANGLE, 2, -5}},          // falling fourth
    {SOUND_REFUSED, {196.0, 185.0, 0.09, WAVE_SOFT_SQUARE, 2, 0}},       // a low double buzz
    {SOUND_MONEY, {1976.0, 1976.0, 0.07, WAVE_BELL, 2, 5}},              // two coin pings
    {SOUND_INFO_POPUP, {523.0, 1046.0, 0.12, WAVE_SINE, 1, 0}},          // a bubble up
    {SOUND_PROMPT, {659.0, 988.0, 0.10, WAVE_TRIANGLE, 1, 0}},
    {SOUND_CONDITION_BANNER, {784.0, 784.0, 0.09, WAVE_BELL, 3, 4}},     // a little chime
    {SOUND_COIN, {2349.0, 2349.0, 0.05, WAVE_BELL, 1, 0}},
    {SOUND_BALLOON, {440.0, 660.0, 0.08, WAVE_SINE, 1, 0}},
    {SOUND_BALLOON_TEXT, {660.0, 660.0, 0.05, WAVE_SINE, 1, 0}},
    {SOUND_ITEM_SHOWN, {1046.0, 1046.0, 0.10, WAVE_BELL, 2, 12}},
};

// The rest: a shape from the slot, each slot its own mix of wave, pitch and length.
static EffectShape slotShape(int32_t slot) {
    static const double PENTATONIC[11] = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 24};
    double hz = noteHz(67 + PENTATONIC[slot % 11]);
    double seconds = 0.07 + 0.05 * (slot % 5);
    switch (slot % 7) {
    case 0: return {hz, hz * 1.5, seconds, WAVE_SINE, 1, 0};              // blip up
    case 1: return {hz * 1.5, hz * 0.75, seconds, WAVE_TRIANGLE, 1, 0};   // drop
    case 2: return {hz, hz, seconds + 0.1, WAVE_BELL, 1, 0};              // chime
    case 3: return {hz * 0.5, hz * 0.5, seconds, WAVE_SOFT_SQUARE, 1, 0}; // soft buzz
    case 4: return {hz * 2.0, hz * 0.25, seconds, WAVE_NOISE, 1, 0};      // swish
    case 5: return {hz, hz, seconds * 0.6, WAVE_TRIANGLE, 2, 4};          // two notes up
    default: return {hz * 0.5, hz * 0.35, seconds + 0.05, WAVE_NOISE, 1, 0}; // thud
    }
}

static std::vector<double> makeEffect(const EffectShape& shape) {
    int64_t noteLength = (int64_t)(shape.seconds * RATE);
    std::vector<double> out((size_t)(noteLength * shape.notes + RATE / 50), 0.0);
    uint32_t seed = 12345;
    double lowpassed = 0.0;
    for (int32_t n = 0; n < shape.notes; ++n) {
        double ratio = std::pow(2.0, n * shape.interval / 12.0);
        double phase = 0.0;
        for (int64_t i = 0; i < noteLength; ++i) {
            double t = (double)i / noteLength;
            double hz = ratio * shape.startHz * std::pow(shape.endHz / shape.startHz, t);
            phase += 2.0 * PI * hz / RATE;
            double v;
            switch (shape.wave) {
            case WAVE_SINE: v = std::sin(phase); break;
            case WAVE_TRIANGLE: v = 2.0 / PI * std::asin(std::sin(phase)); break;
            case WAVE_SOFT_SQUARE: v = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5; break;
            case WAVE_BELL: v = std::sin(phase) + 0.4 * std::sin(2.76 * phase) * std::exp(-6.0 * t); break;
            default: {
                // Noise through a one-pole filter that follows the pitch.
                seed = seed * 1103515245u + 12345u;
                double white = (double)(seed >> 8) / (double)(1u << 24) * 2.0 - 1.0;
                double k = std::fmin(1.0, 2.0 * PI * hz / RATE);
                lowpassed += k * (white - lowpassed);
                v = 2.0 * lowpassed;
            }
            }
            double seconds = (double)i / RATE;
            double envelope = std::fmin(1.0, seconds / 0.004) * std::exp(-4.0 * t);
            double left = (double)(noteLength - i) / RATE;
            if (left < 0.006) envelope *= left / 0.006;
            out[(size_t)(n * noteLength + i)] += v * envelope;
        }
    }
    return out;
}

// ---- Voice ----

// Two-pole resonator: one formant of the vocal tract.
struct Formant {
    double y1 = 0.0, y2 = 0.0;
    double step(double x, double hz, double bandwidth) {
        double r = std::exp(-PI * bandwidth / RATE);
        double y = x + 2.0 * r * std::cos(2.0 * PI * hz / RATE) * y1 - r * r * y2;
        y2 = y1;
        y1 = y;
        return y * (1.0 - r);
    }
};

// A pulse voice at the given pitch, gliding from the vowel "a" to "i"
// through three formants, with a little vibrato and a soft onset and end.
static std::vector<double> makeVoice(double basePitch, double seconds) {
    std::vector<double> out((size_t)(seconds * RATE), 0.0);
    Formant f1, f2, f3;
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        double t = (double)i / RATE;
        double glide = std::fmin(1.0, std::fmax(0.0, (t - 0.18) / 0.12));   // "a" to "i"
        double pitch = basePitch * (1.0 + 0.08 * glide) * (1.0 + 0.012 * std::sin(2.0 * PI * 5.5 * t));
        phase += pitch / RATE;
        if (phase >= 1.0) phase -= 1.0;
        double source = (phase < 0.12 ? std::sin(PI * phase / 0.12) : 0.0) - 0.12 * 2.0 / PI;
        double v = f1.step(source, 850.0 + (310.0 - 850.0) * glide, 90.0) * 1.0 +
                   f2.step(source, 1250.0 + (2600.0 - 1250.0) * glide, 110.0) * 0.6 +
                   f3.step(source, 2900.0 + (3300.0 - 2900.0) * glide, 160.0) * 0.3;
        double envelope = std::fmin(1.0, t / 0.03) * std::fmin(1.0, (seconds - t) / 0.12);
        out[i] = v * envelope;
    }
    return out;
}

// The sample customers' voice clips, named by their speech files' "se"
// lines: a pitch and a length for each.
struct CustomerVoice {
    const char* path;
    double pitch;
    double seconds;
};
const CustomerVoice CUSTOMER_VOICES[] = {
    {"voice/c10_00.wav", 130.0, 0.45},   // Hob, a farmer
    {"voice/c11_00.wav", 105.0, 0.50},   // Sir Bram, a knight
    {"voice/c12_00.wav", 280.0, 0.40},   // Lady Mirabel
    {"voice/c13_00.wav", 240.0, 0.35},   // Ada, a scholar
};

// The fairy's clips of the day report: a rank voice each (best first), the
// payment day and three for a week paid; higher voices for better news.
const CustomerVoice REPORT_VOICES[] = {
    {RANK_VOICES[0], 470.0, 0.55},     {RANK_VOICES[1], 440.0, 0.50}, {RANK_VOICES[2], 410.0, 0.45},
    {RANK_VOICES[3], 380.0, 0.45},     {RANK_VOICES[4], 340.0, 0.60}, {PAYMENT_DAY_VOICE, 400.0, 0.50},
    {PAID_VOICES[0], 480.0, 0.45},     {PAID_VOICES[1], 500.0, 0.40}, {PAID_VOICES[2], 460.0, 0.50},
};

// The shop floor's voices: the heroine's around 330 Hz, the fairy's higher.
const CustomerVoice SHOP_FLOOR_VOICES[] = {
    {BACK_FROM_TOWN_VOICE, 320.0, 0.45},    {MORNING_VOICES[0], 330.0, 0.50},     {MORNING_VOICES[1], 500.0, 0.50},
    {MORNING_VOICES[2], 520.0, 0.45},       {MORNING_VOICES[3], 310.0, 0.50},     {FIRST_OUTING_VOICE, 340.0, 0.50},
    {COUNTER_CLOSED_VOICE, 300.0, 0.45},    {FAIRY_ASKS_VOICES[0], 540.0, 0.35},  {FAIRY_ASKS_VOICES[1], 510.0, 0.35},
    {SHELF_VOICES[0], 320.0, 0.35},         {SHELF_VOICES[1], 335.0, 0.35},       {SHELF_VOICES[2], 350.0, 0.35},
    {SHELF_PLACED_VOICES[0], 360.0, 0.40},  {SHELF_PLACED_VOICES[1], 345.0, 0.40}, {SHOP_OPEN_VOICES[0], 370.0, 0.50},
    {SHOP_OPEN_VOICES[1], 355.0, 0.50},     {SHOP_OPEN_VOICES[2], 340.0, 0.50},   {SHOP_OPEN_VOICES[3], 530.0, 0.50},
    {SHOP_OPEN_VOICES[4], 500.0, 0.50},     {TABLES_PLACED_VOICE, 330.0, 0.40},   {NIGHT_HEROINE_VOICES[0], 290.0, 0.60},
    {NIGHT_HEROINE_VOICES[1], 280.0, 0.60}, {NIGHT_HEROINE_VOICES[2], 270.0, 0.60}, {NIGHT_FAIRY_VOICES[0], 460.0, 0.50},
    {NIGHT_FAIRY_VOICES[2], 440.0, 0.50},   {MENU_SAVE_VOICE, 520.0, 0.45},
};

// The field's voices: the heroine's cries at a defeat, falling a little in
// pitch from one adventurer to the next so each is told apart by ear, her
// cheers at a cleared dungeon and a level-up, the fairy's call at a return,
// and the cries at a trap chest's trap.
const CustomerVoice FIELD_VOICES[] = {
    {DEFEAT_VOICES[0], 300.0, 0.6}, {DEFEAT_VOICES[1], 292.0, 0.6}, {DEFEAT_VOICES[2], 284.0, 0.6},
    {DEFEAT_VOICES[3], 276.0, 0.6}, {DEFEAT_VOICES[4], 268.0, 0.6}, {DEFEAT_VOICES[5], 260.0, 0.6},
    {DEFEAT_VOICES[6], 252.0, 0.6}, {DEFEAT_VOICES[7], 244.0, 0.6}, {CLEARED_VOICE, 360.0, 0.5},
    {LEVEL_UP_VOICE, 350.0, 0.45},  {RETURNED_VOICE, 560.0, 0.4},   {MERCHANT_LEVEL_UP_VOICE, 355.0, 0.45},
    {RUN_FAIRY_VOICE, 520.0, 0.4},  {RUN_HEROINE_VOICES[0], 330.0, 0.45}, {RUN_HEROINE_VOICES[1], 315.0, 0.45},
    {LOW_HEALTH_VOICE, 260.0, 0.5}, {REMARK_VOICES[0], 320.0, 0.4},       {REMARK_VOICES[1], 310.0, 0.4},
    {TRAP_CHEST_VOICES[0], 500.0, 0.4}, {TRAP_CHEST_VOICES[1], 480.0, 0.4}, {TRAP_CHEST_VOICES[2], 300.0, 0.4},
};

// The adventurers' lines at a run's start: a pitch of each one's own, a
// little higher for each further line.
const double START_VOICE_PITCHES[ADVENTURER_COUNT] = {150.0, 200.0, 120.0, 170.0, 220.0, 110.0, 260.0, 140.0};

static bool writeVoice(const std::filesystem::path& dir, const CustomerVoice& clip) {
    std::filesystem::path path = dir / clip.path;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (!writeWav(path, makeVoice(clip.pitch, clip.seconds), EFFECT_PEAK)) {
        fprintf(stderr, "makesounds: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

template <size_t N>
bool writeVoices(const std::filesystem::path& dir, const CustomerVoice (&clips)[N]) {
    for (const CustomerVoice& clip : clips)
        if (!writeVoice(dir, clip)) return false;
    return true;
}

static bool writeStartVoices(const std::filesystem::path& dir) {
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a)
        for (int32_t k = 0; k < START_VOICES[a].count; ++k)
            if (!writeVoice(dir, CustomerVoice{START_VOICES[a].paths[k], START_VOICE_PITCHES[a] + 10.0 * k, 0.45}))
                return false;
    return true;
}

// The adventurers' cries when hit: short and a little below their start
// lines; the heroine's word when an item goes into the bag.
static bool writeDamageVoices(const std::filesystem::path& dir) {
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a)
        for (int32_t k = 0; k < DAMAGE_VOICES[a].count; ++k)
            if (!writeVoice(dir, CustomerVoice{DAMAGE_VOICES[a].paths[k], START_VOICE_PITCHES[a] - 10.0 + 5.0 * k, 0.3}))
                return false;
    for (int32_t k = 0; k < DEDAR_FATAL_VOICES.count; ++k)
        if (!writeVoice(dir, CustomerVoice{DEDAR_FATAL_VOICES.paths[k], 230.0 - 10.0 * k, 0.5})) return false;
    for (int32_t k = 0; k < 2; ++k)
        if (!writeVoice(dir, CustomerVoice{PICKUP_VOICES[k], 340.0 + 15.0 * k, 0.3})) return false;
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: makesounds GAME_DIR\n");
        return 2;
    }
    std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir / "bgm", error);
    std::filesystem::create_directories(dir / "se", error);
    int32_t jingles = 0;
    for (int32_t track = 0; track < MUSIC_TRACK_COUNT; ++track) {
        const TrackStyle& style = TRACK_STYLES[track];
        std::vector<double> samples = musicTrackLoops(track) ? makeLoop(style) : makeJingle(style, jingles++);
        if (!writeWav(dir / MUSIC_FILES[track], samples, MUSIC_PEAK)) {
            fprintf(stderr, "makesounds: cannot write %s\n", (dir / MUSIC_FILES[track]).c_str());
            return 1;
        }
    }
    for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot) {
        int32_t number = SOUND_EFFECT_TABLE[slot];
        if (number == SOUND_NO_FILE) continue;
        EffectShape shape = slotShape(slot);
        for (const NamedEffect& named : NAMED_EFFECTS) {
            if (named.number == number) shape = named.shape;
        }
        char name[32];
        snprintf(name, sizeof name, SOUND_EFFECT_FILE_FORMAT, number);
        if (!writeWav(dir / name, makeEffect(shape), EFFECT_PEAK)) {
            fprintf(stderr, "makesounds: cannot write %s\n", (dir / name).c_str());
            return 1;
        }
    }
    std::filesystem::path voice = dir / OPTION_VOICE_SAMPLE;
    std::filesystem::create_directories(voice.parent_path(), error);
    if (!writeWav(voice, makeVoice(330.0, 0.55), EFFECT_PEAK)) {
        fprintf(stderr, "makesounds: cannot write %s\n", voice.c_str());
        return 1;
    }
    if (!writeVoices(dir, CUSTOMER_VOICES) || !writeVoices(dir, REPORT_VOICES) || !writeVoices(dir, SHOP_FLOOR_VOICES) ||
        !writeVoices(dir, FIELD_VOICES) || !writeStartVoices(dir) || !writeDamageVoices(dir))
        return 1;
    return 0;
}

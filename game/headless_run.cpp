#include "game/headless_run.h"

#include <bit>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <iterator>
#include <type_traits>
#include <unistd.h>

#include "adventurers/shop_floor.h"
#include "dungeon/field_frame.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "game/window_proc.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/profile.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "shop/counter.h"
#include "shop/day_planning.h"
#include "shop/market.h"
#include "story/save_list.h"
#include "story/title.h"

// ---- Input scripts ----

static const char* const BUTTON_NAMES[] = {"right", "left",  "up",     "down",   "confirm", "cancel", "b6",
                                           "b7",    "menu",  "skill0", "skill1", "skill2",  "skill3", "skill4"};
static_assert(std::size(BUTTON_NAMES) == 14 && (1u << 14) - 1 == INPUT_SCRIPT_BUTTON_MASK);
static_assert(BUTTON_RIGHT == 0x0001 && BUTTON_CONFIRM == 0x0010 && BUTTON_MENU == 0x0100 && BUTTON_SKILL_4 == 0x2000,
              "the names follow the button bits");

struct Word {
    const char* at;
    int32_t length;
};

static bool wordIs(const Word& w, const char* text) {
    return (size_t)w.length == strlen(text) && memcmp(w.at, text, (size_t)w.length) == 0;
}

static bool fail(InputScriptError& error, int32_t line, const char* format, ...) __attribute__((format(printf, 3, 4)));
static bool fail(InputScriptError& error, int32_t line, const char* format, ...) {
    error.line = line;
    va_list args;
    va_start(args, format);
    vsnprintf(error.message, sizeof error.message, format, args);
    va_end(args);
    return false;
}

// A word shown in a message: at most 24 bytes of it.
static int32_t shown(const Word& w) { return w.length < 24 ? w.length : 24; }

// Decimal digits only, no sign, at most limit.
static bool parseNumber(const Word& w, uint64_t limit, uint64_t& value) {
    if (w.length == 0 || w.length > 20) return false;
    value = 0;
    for (int32_t i = 0; i < w.length; ++i) {
        char c = w.at[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (uint64_t)(c - '0');
        if (value > limit) return false;
    }
    return true;
}

static bool parseButtons(const Word& w, uint16_t& buttons, InputScriptError& error, int32_t line) {
    buttons = 0;
    if (wordIs(w, "none")) return true;
    if (w.length > 2 && w.at[0] == '0' && (w.at[1] == 'x' || w.at[1] == 'X')) {
        uint32_t value = 0;
        if (w.length > 6) return fail(error, line, "button word '%.*s' has more than 4 hex digits", shown(w), w.at);
        for (int32_t i = 2; i < w.length; ++i) {
            char c = w.at[i];
            int32_t digit = c >= '0' && c <= '9'   ? c - '0'
                            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                   : -1;
            if (digit < 0) return fail(error, line, "'%.*s' is no hex button word", shown(w), w.at);
            value = value * 16 + (uint32_t)digit;
        }
        if (value & ~(uint32_t)INPUT_SCRIPT_BUTTON_MASK)
            return fail(error, line, "button word 0x%04X has bits above 0x3FFF", value);
        buttons = (uint16_t)value;
        return true;
    }
    int32_t start = 0;
    for (int32_t i = 0; i <= w.length; ++i) {
        if (i < w.length && w.at[i] != '+') continue;
        Word name = {w.at + start, i - start};
        if (name.length == 0) return fail(error, line, "an empty button name in '%.*s'", shown(w), w.at);
        int32_t bit = 0;
        while (bit < (int32_t)std::size(BUTTON_NAMES) && !wordIs(name, BUTTON_NAMES[bit])) ++bit;
        if (bit == (int32_t)std::size(BUTTON_NAMES))
            return fail(error, line, "unknown button '%.*s' (right left up down confirm cancel b6 b7 menu skill0..skill4)",
                        shown(name), name.at);
        buttons |= (uint16_t)(1u << bit);
        start = i + 1;
    }
    return true;
}

// Splits a line (comment removed) into at most 4 words; false on a byte no
// script holds.
static bool splitLine(const char* at, int32_t length, Word* words, int32_t& count, InputScriptError& error,
                      int32_t line) {
    count = 0;
    int32_t i = 0;
    while (i < length) {
        char c = at[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        int32_t start = i;
        while (i < length && at[i] != ' ' && at[i] != '\t') {
            unsigned char b = (unsigned char)at[i];
            if (b < 0x20 || b >= 0x7F)
                return fail(error, line, "unexpected byte 0x%02X in column %d", b, i + 1);
            ++i;
        }
        if (count == 4) return fail(error, line, "too many words");
        words[count++] = Word{at + start, i - start};
    }
    return true;
}

static bool parseLines(const char* text, size_t size, InputScript& script, InputScriptError& error) {
    if (size > (size_t)INPUT_SCRIPT_MAX_BYTES)
        return fail(error, 0, "the script is over %d bytes", INPUT_SCRIPT_MAX_BYTES);
    bool seen[3] = {};   // seed, frameskip, ticks
    int32_t line = 0;
    size_t pos = 0;
    while (pos < size) {
        ++line;
        const char* at = text + pos;
        const void* newline = memchr(at, '\n', size - pos);
        size_t length = newline ? (size_t)((const char*)newline - at) : size - pos;
        pos += length + (newline ? 1 : 0);
        if (length > 0 && at[length - 1] == '\r') --length;
        if (length > (size_t)INPUT_SCRIPT_MAX_LINE)
            return fail(error, line, "the line is longer than %d bytes", INPUT_SCRIPT_MAX_LINE);
        if (memchr(at, '\0', length)) return fail(error, line, "a NUL byte");
        if (memchr(at, '\r', length)) return fail(error, line, "a carriage return inside the line");
        // A comment may hold any text but control bytes.
        const char* hash = (const char*)memchr(at, '#', length);
        if (hash) {
            for (const char* c = hash; c < at + length; ++c)
                if ((unsigned char)*c < 0x20 && *c != '\t') return fail(error, line, "a control byte in a comment");
            length = (size_t)(hash - at);
        }
        Word words[4];
        int32_t count;
        if (!splitLine(at, (int32_t)length, words, count, error, line)) return false;
        if (count == 0) continue;

        static const char* const KEYS[3] = {"seed", "frameskip", "ticks"};
        int32_t key = 0;
        while (key < 3 && !wordIs(words[0], KEYS[key])) ++key;
        if (key < 3) {
            if (!script.steps.empty()) return fail(error, line, "'%s' after the first step", KEYS[key]);
            if (seen[key]) return fail(error, line, "a second '%s' line", KEYS[key]);
            if (count != 2) return fail(error, line, "'%s' takes one number", KEYS[key]);
            static const uint64_t LIMITS[3] = {UINT32_MAX, INPUT_SCRIPT_FRAME_SKIP_MAX, INPUT_SCRIPT_MAX_TICKS};
            uint64_t value;
            if (!parseNumber(words[1], LIMITS[key], value) || (key == 2 && value == 0))
                return fail(error, line, "'%s' must be a decimal number from %d to %llu, not '%.*s'", KEYS[key],
                            key == 2 ? 1 : 0, (unsigned long long)LIMITS[key], shown(words[1]), words[1].at);
            seen[key] = true;
            if (key == 0) script.seed = (uint32_t)value;
            else if (key == 1) script.frameSkip = (int32_t)value;
            else script.ticks = (int32_t)value;
            continue;
        }

        uint64_t tick;
        if (!parseNumber(words[0], INPUT_SCRIPT_MAX_TICKS, tick)) {
            bool digits = words[0].length > 0 && words[0].at[0] >= '0' && words[0].at[0] <= '9';
            if (digits) return fail(error, line, "tick '%.*s' is no decimal number up to %d", shown(words[0]),
                                    words[0].at, INPUT_SCRIPT_MAX_TICKS);
            return fail(error, line, "unknown line '%.*s' (seed, frameskip, ticks or a step '<tick> <buttons>')",
                        shown(words[0]), words[0].at);
        }
        if (!seen[2]) return fail(error, line, "a step before the 'ticks' line");
        if (count != 2) return fail(error, line, "a step is '<tick> <buttons>'");
        if ((int64_t)tick >= script.ticks)
            return fail(error, line, "tick %llu is not below the tick count %d", (unsigned long long)tick, script.ticks);
        if (!script.steps.empty() && (int32_t)tick <= script.steps.back().tick)
            return fail(error, line, "tick %llu does not come after tick %d", (unsigned long long)tick,
                        script.steps.back().tick);
        if ((int32_t)script.steps.size() == INPUT_SCRIPT_MAX_STEPS)
            return fail(error, line, "more than %d steps", INPUT_SCRIPT_MAX_STEPS);
        uint16_t buttons;
        if (!parseButtons(words[1], buttons, error, line)) return false;
        script.steps.push_back(InputScriptStep{(int32_t)tick, buttons});
    }
    if (!seen[2]) return fail(error, 0, "no 'ticks' line");
    return true;
}

bool parseInputScript(const char* text, size_t size, InputScript& script, InputScriptError& error) {
    script = InputScript{};
    error = InputScriptError{};
    if (parseLines(text, size, script, error)) return true;
    script = InputScript{};
    return false;
}

bool loadInputScript(const char* path, InputScript& script, InputScriptError& error) {
    script = InputScript{};
    error = InputScriptError{};
    FILE* file = fopen(path, "rb");
    if (!file) return fail(error, 0, "cannot be opened: %s", strerror(errno));
    // One byte more than allowed tells an oversized file, pipes included.
    std::vector<char> text((size_t)INPUT_SCRIPT_MAX_BYTES + 1);
    size_t size = fread(text.data(), 1, text.size(), file);
    bool readFailed = ferror(file) != 0;
    fclose(file);
    if (readFailed) return fail(error, 0, "cannot be read");
    return parseInputScript(text.data(), size, script, error);
}

void formatInputScriptError(const char* path, const InputScriptError& error, char* out, size_t outSize) {
    if (error.line > 0) snprintf(out, outSize, "%s:%d: %s", path, error.line, error.message);
    else snprintf(out, outSize, "%s: %s", path, error.message);
}

void formatButtons(uint16_t buttons, char* out, size_t outSize) {
    if (!outSize) return;
    out[0] = 0;
    buttons &= INPUT_SCRIPT_BUTTON_MASK;
    if (!buttons) {
        snprintf(out, outSize, "none");
        return;
    }
    size_t used = 0;
    for (int32_t bit = 0; bit < (int32_t)std::size(BUTTON_NAMES); ++bit) {
        if (!(buttons & (1u << bit))) continue;
        int n = snprintf(out + used, outSize - used, "%s%s", used ? "+" : "", BUTTON_NAMES[bit]);
        if (n < 0 || (size_t)n >= outSize - used) return;
        used += (size_t)n;
    }
}

// ---- The boot and the run ----

HeadlessRun gHeadlessRun;
static char sPreviousDir[1024];
static bool sMadeGameDir;
static bool sWaitForLoaders = true;

static bool setError(char* error, size_t errorSize, const char* format, ...) __attribute__((format(printf, 3, 4)));
static bool setError(char* error, size_t errorSize, const char* format, ...) {
    if (error && errorSize) {
        va_list args;
        va_start(args, format);
        vsnprintf(error, errorSize, format, args);
        va_end(args);
    }
    return false;
}

// Links every file of the packed data folder into the game folder, so that
// what the game writes (settings, saves) stays in the temporary folder.
static bool linkGameData(const char* dataDir, const char* gameDir, char* error, size_t errorSize) {
    DIR* dir = opendir(dataDir);
    if (!dir) return setError(error, errorSize, "no game data in %s (build the gamedata target)", dataDir);
    bool ok = true;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (!strcmp(name, ".") || !strcmp(name, "..") || !strcmp(name, "tollivand") || !strcmp(name, "tolli.ini") ||
            !strcmp(name, "save.dat") || !strcmp(name, "_save.dat"))
            continue;
        char from[1024], to[1024];
        if (snprintf(from, sizeof from, "%s/%s", dataDir, name) >= (int)sizeof from ||
            snprintf(to, sizeof to, "%s/%s", gameDir, name) >= (int)sizeof to || symlink(from, to) != 0) {
            ok = setError(error, errorSize, "cannot link %s/%s into %s", dataDir, name, gameDir);
            break;
        }
    }
    closedir(dir);
    return ok;
}

// The boot reads frame skip and screen size from the folder's settings file,
// as the game does.
static bool writeSettings(const HeadlessOptions& options, char* error, size_t errorSize) {
    static const int32_t SCREEN_WIDTHS[4] = {640, 800, 1024, 1280};
    int32_t screen = 0;
    while (screen < 3 && SCREEN_WIDTHS[screen] != options.screenWidth) ++screen;
    char ini[600];
    snprintf(ini, sizeof ini, "%s/tolli.ini", gHeadlessRun.gameDir);
    if (!profileWriteInt(ini, "setup", "fps", options.frameSkip) || !profileWriteInt(ini, "setup", "screen", screen))
        return setError(error, errorSize, "cannot write %s", ini);
    return true;
}

static void removeMadeGameDir() {
    if (!sMadeGameDir) return;
    std::error_code ignored;
    std::filesystem::remove_all(gHeadlessRun.gameDir, ignored);
    sMadeGameDir = false;
}

HeadlessOptions scriptRunOptions(const InputScript& script, const char* dataDir) {
    HeadlessOptions options;
    options.dataDir = dataDir;
    options.seed = script.seed;
    options.frameSkip = script.frameSkip;
    options.gfx = &GFX_HEADLESS;
    options.audio = &AUDIO_HEADLESS;
    return options;
}

bool headlessBoot(const HeadlessOptions& options, char* error, size_t errorSize) {
    threadMarkMain();
    gHeadlessRun = HeadlessRun{};
    sWaitForLoaders = options.waitForLoaders;
    gLoaderPollWaits = options.waitForLoaders ? 1 : 0;
    sMadeGameDir = false;
    if (options.gameDir) {
        if (snprintf(gHeadlessRun.gameDir, sizeof gHeadlessRun.gameDir, "%s", options.gameDir) >=
            (int)sizeof gHeadlessRun.gameDir)
            return setError(error, errorSize, "the game folder's path is too long");
    } else {
        snprintf(gHeadlessRun.gameDir, sizeof gHeadlessRun.gameDir, "/tmp/tolli_game_XXXXXX");
        if (!mkdtemp(gHeadlessRun.gameDir))
            return setError(error, errorSize, "cannot make a temporary game folder: %s", strerror(errno));
        sMadeGameDir = true;
        if ((options.dataDir && !linkGameData(options.dataDir, gHeadlessRun.gameDir, error, errorSize)) ||
            !writeSettings(options, error, errorSize)) {
            removeMadeGameDir();
            return false;
        }
    }
    if (!getcwd(sPreviousDir, sizeof sPreviousDir)) sPreviousDir[0] = 0;
    if (chdir(gHeadlessRun.gameDir) != 0) {
        setError(error, errorSize, "cannot enter %s: %s", gHeadlessRun.gameDir, strerror(errno));
        removeMadeGameDir();
        return false;
    }

    headlessWindowReset();
    headlessWindowSetCreateFails(options.windowFails);
    clockVirtualSet(0);
    gClock = &CLOCK_VIRTUAL;
    gWindow = &WINDOW_HEADLESS;
    gGfxBackend = options.gfx ? options.gfx : &GFX_HEADLESS;
    gInputBackend = &INPUT_SCRIPTED;
    if (options.audio) gAudioBackend = options.audio;
    inputScriptReset();
    gHeadlessRun.startup = startupApp(gHeadlessRun.gameDir);
    if (gHeadlessRun.startup == STARTUP_OK) {
        // The window is shown and active before the first frame, as a
        // desktop does on showing it.
        headlessPostEvent(WINDOW_EVENT_ACTIVATE, 1, 0);
        headlessPumpEvents();
    }
    seedRandom(options.seed);
    return true;
}

void headlessHoldButtons(uint16_t buttons) {
    inputScriptReleaseKeys();
    for (int i = 0; i < PAD_BINDING_COUNT; ++i) {
        int16_t code = gPadBindings[0][i];
        if ((buttons & PAD_BINDING_BITS[i]) && code >= 1 && code <= KEY_CODE_COUNT)
            inputScriptSetKey(KEY_CODE_TABLE[code - 1], true);
    }
}

static uint16_t scriptedButtons(int32_t tick, const InputScriptStep* script, int32_t steps) {
    uint16_t held = 0;
    for (int32_t i = 0; i < steps && script[i].tick <= tick; ++i) held = script[i].buttons;
    return held;
}

void headlessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps, HeadlessFrameHook onFrame,
                      void* context) {
    if (gHeadlessRun.startup != STARTUP_OK) return;
    int32_t target = gUpdateCount + n;
    while (!gHeadlessRun.quit && gUpdateCount < target) {
        if (sWaitForLoaders) waitForLoaderThread();
        headlessHoldButtons(scriptedButtons(gUpdateCount, script, steps));
        clockVirtualAdvance(1000);
        int32_t frames = gFrameCounter;
        if (!messageLoopStep()) gHeadlessRun.quit = true;
        if (onFrame && gFrameCounter != frames) onFrame(context);
    }
}

void headlessRunScript(const InputScript& script, HeadlessFrameHook onFrame, void* context) {
    headlessRunTicks(script.ticks - gUpdateCount, script.steps.data(), (int32_t)script.steps.size(), onFrame, context);
}

void headlessPumpEvents() {
    if (gHeadlessRun.startup != STARTUP_OK) return;
    WindowEvent event;
    // The loop takes one event per turn; turn until none is left.
    for (int guard = 0; guard < 1000 && !gHeadlessRun.quit; ++guard) {
        if (!gWindow->pollEvent(&event)) break;
        if (event.kind == WINDOW_EVENT_QUIT) {
            gHeadlessRun.quit = true;
            break;
        }
        mainWndProc(event);
    }
}

void headlessPostEvent(int32_t kind, int32_t a, int32_t b) {
    WindowEvent event = {};
    event.kind = kind;
    event.a = a;
    event.b = b;
    windowPostEvent(event);
}

bool headlessReadFrame(uint32_t* argb, int32_t width, int32_t height) {
    return gD3DDevice && gD3DDevice->readBackBuffer(argb, width, height);
}

int32_t headlessShutdown() {
    gHeadlessRun.exitCode = shutdownAfterLoop(gHeadlessRun.startup);
    if (sPreviousDir[0] && chdir(sPreviousDir) != 0) {
        fprintf(stderr, "headless run: cannot return to %s\n", sPreviousDir);
        abort();
    }
    removeMadeGameDir();
    return gHeadlessRun.exitCode;
}

// ---- Checksums ----

uint64_t fnv1a64(const void* bytes, size_t size, uint64_t hash) {
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= FNV64_PRIME;
    }
    return hash;
}

namespace {

// Feeds values into the hash as little-endian bytes, floats by their bits.
// A record goes in whole only when it has no padding and no float (whose
// bits may differ while comparing equal), so no byte of it is undefined.
// Each section also gets a hash of its own, to tell where two runs part.
struct StateHash {
    uint64_t hash = FNV64_OFFSET;
    StateSection* sections = nullptr;
    int32_t sectionMax = 0;
    int32_t sectionCount = 0;

    void add(const void* bytes, size_t size) {
        hash = fnv1a64(bytes, size, hash);
        if (sectionCount > 0 && sectionCount <= sectionMax) {
            StateSection& s = sections[sectionCount - 1];
            s.checksum = fnv1a64(bytes, size, s.checksum);
        }
    }
    void u32(uint32_t v) {
        unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                              (unsigned char)(v >> 24)};
        add(b, 4);
    }
    void i32(int32_t v) { u32((uint32_t)v); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    template <typename T>
    void record(const T& r) {
        static_assert(std::has_unique_object_representations_v<T>, "a record hashed whole has no padding and no float");
        static_assert(std::endian::native == std::endian::little);
        add(&r, sizeof r);
    }
    // A text buffer up to its end: what lies past it may be left from before.
    void text(const char* s, size_t capacity) {
        size_t n = strnlen(s, capacity);
        u32((uint32_t)n);
        add(s, n);
    }
    // Starts a section; its name goes into the hash, so values cannot slide
    // from one section into the next.
    void tag(const char* name) {
        if (sectionCount < sectionMax) sections[sectionCount] = StateSection{name, FNV64_OFFSET};
        ++sectionCount;
        add(name, strlen(name) + 1);
    }
};

}   // namespace

static int32_t currentStageIndex() {
    if (!gCurrentStage) return -1;
    if (gCurrentStage >= gStages && gCurrentStage < gStages + STAGE_CODE_COUNT) return (int32_t)(gCurrentStage - gStages);
    return -2;   // a record of a test's own
}

static uint64_t hashState(ChecksumScope scope, StateSection* sections, int32_t sectionMax, int32_t* sectionCount) {
    const bool frames = scope == CHECKSUM_ALL;
    StateHash h;
    h.sections = sections;
    h.sectionMax = sections ? sectionMax : 0;

    h.tag("frame loop");
    h.i32(gGameMode);
    h.i32(gTickCounter);
    h.i32(gUpdateCount);
    h.f32(gTimeOfDay);
    if (frames) h.i32(gFrameCounter);
    h.u32(gRandomState);
    h.i32(gAppActive);
    h.i32(gDeviceOk);

    h.tag("fades");
    h.i32(gFadeState);
    h.i32(gFadeCounter);
    h.i32(gFadeKind);
    h.i32(gFadeLength);
    h.i32(gBlackout);

    h.tag("loaders");
    h.record(gStageChange);
    h.i32(gSceneLoading);
    h.i32(gShowLoading);
    h.i32(gPartLoading);
    h.i32(gShowPartLoading);
    h.i32(gEventLoaderMode);
    h.i32(gEventReady);
    h.i32(gEventJustLoaded);
    h.i32(gPortraitState);
    h.i32(gShopPartState);
    h.i32(isLoaderThreadRunning() ? 1 : 0);
    if (frames) h.f32(gLoadingSignAngle);

    h.tag("overlay");
    h.i32(gOverlayScreen.kind);
    h.i32(gOverlayScreen.openCounter);
    if (frames) h.i32(gOverlayScreen.renderCounter);
    h.i32(gOverlayScreen.opening);
    h.i32(gOverlayScreen.savedMode);
    h.i32(gFrozenFrameStep);
    h.i32(gAfterimageStep);
    h.i32(gAfterimageLength);
    if (frames) h.i32(gScreenCaptured);
    h.record(gCameraShake);

    h.tag("input");
    h.record(gInputState);
    h.record(gPadBindings);

    h.tag("stage");
    h.i32(gStageIndex);
    h.i32(gFloorIndex);
    h.i32(currentStageIndex());
    h.i32(gOpeningVariant);

    h.tag("sound");
    h.i32(gSound.ready);
    for (const AudioSegment& music : gSound.music) h.i32(music.starts);
    h.record(gSound.effectRequests);
    h.i32(gSound.voice.starts);
    for (const AudioSegment& effect : gEffectSegments) h.i32(effect.starts);
    h.i32(gCurrentTrack);
    h.i32(gForcedTrack);
    h.i32(gKeepEventMusic);
    h.i32(gMusicFadeRequest);
    h.i32(gMusicFadeDirection);
    h.i32(gMusicFadeFrame);
    h.i32(gMusicFadeFrames);
    h.f32(gMusicFadeFactor);
    h.i32(gReportMusicFlag);
    h.i32(gBossMusicFlag);

    h.tag("dialogs");
    h.i32(gMessageWindow.openCounter);
    h.i32(gMessageWindow.closing);
    h.i32(gMessageWindow.markerCount);
    for (const auto& line : gMessageWindow.lines) h.text(line, sizeof line);
    h.i32(gYesNoWindow.openCounter);
    h.i32(gYesNoWindow.closingCounter);
    h.i32(gYesNoWindow.result);
    h.i32(gYesNoWindow.cancelAllowed);
    h.i32(gYesNoWindow.choice);
    h.i32(gYesNoWindow.lineCount);
    h.f32(gYesNoWindow.rowOffset);
    for (const auto& line : gYesNoWindow.lines) h.text(line, sizeof line);
    h.f32(gPointer.x);
    h.f32(gPointer.y);
    h.f32(gPointer.dx);
    h.f32(gPointer.dy);
    h.i32(gPointer.glideFrames);
    h.i32(gPointer.shown);
    h.i32(gPointer.bobCounter);

    h.tag("title");
    TitleState title = gTitle;
    if (!frames) title.slotListFrame = 0;
    h.record(title);
    h.f32(gTitleMenuSpacing);
    h.f32(gTitleMenuOffset);
    h.i32(gNewGameChosen);
    h.i32(gSlotListCount);

    h.tag("shop");
    h.record(gCounter);
    h.i32(gMarketMode);
    h.record(gDayCandidates);
    h.record(gVisitPlan);
    h.i32(gVisitPlanCount);
    h.record(gVisitOrder);
    h.i32(gShopFloorState);

    h.tag("dungeon");
    h.i32(gDungeonIndex);
    h.i32(gRunEndState);
    h.i32(gRunEndTimer);
    h.i32(gSpecialMusicTimer);
    h.record(gEventNumber);

    // The file records name their padding; they are read from the file or
    // cleared whole, so every byte is defined.
    h.tag("running game");
    h.i32(gCurrentSlot);
    h.record(runningGameState());
    h.tag("save image");
    h.i32(gSaveConverted);
    h.record(gSaveImage);
    if (sectionCount) *sectionCount = h.sectionCount;
    return h.hash;
}

uint64_t headlessStateChecksum(ChecksumScope scope) { return hashState(scope, nullptr, 0, nullptr); }

int32_t headlessStateSections(ChecksumScope scope, StateSection* sections, int32_t max) {
    int32_t count = 0;
    hashState(scope, sections, max, &count);
    return count;
}

bool headlessFrameChecksum(uint64_t& checksum) {
    static std::vector<uint32_t> pixels;
    int32_t width = gScreenSize.width, height = gScreenSize.height;
    if (width <= 0 || height <= 0) return false;
    pixels.resize((size_t)width * (size_t)height);
    if (!headlessReadFrame(pixels.data(), width, height)) return false;
    static_assert(std::endian::native == std::endian::little);
    checksum = fnv1a64(pixels.data(), pixels.size() * sizeof(uint32_t));
    return true;
}

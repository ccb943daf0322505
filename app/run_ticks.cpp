// app/run_ticks.cpp: tollivand-run, the game run headless for a number of
// ticks from an input script, printing a checksum of the game state (and
// with --frames one of every drawn frame). The determinism check: the same
// script, seed and frame skip print the same checksum on every run and
// under every compiler. And the whole-game benchmark: the time the run took
// goes to stderr.
//
//   tollivand-run SCRIPT [--game-dir DIR] [--frames] [--sections] [--frame-skip N] [--seed N] [--recording]
//                        [--first-frame-fd FD] [--last-frame PATH]
//
// The game runs in a fresh temporary folder holding links to the packed game
// folder's files (DIR, by default this build's game folder), without its
// settings and save files: a run starts with no save file and default
// settings, at 640 x 480. The script file's format is described in
// game/input_script.h; --frame-skip and --seed override its header.
// --recording draws on the recording device instead of OpenGL (no frame
// checksums). stdout gets "frame <n> <hex>" after each drawn frame with
// --frames, "section <name> <hex>" for each part of the state with
// --sections (to tell where two runs part), then "checksum <hex>". Exit 1
// for bad arguments or a bad script, 2 when the game did not boot.
// --first-frame-fd writes one byte to that open descriptor as soon as the
// first frame is drawn, and closes it: the start-up benchmark's finish line.
// --last-frame writes the last drawn frame as a binary PPM picture (to look
// at what a run shows).
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <fcntl.h>
#include <unistd.h>

#include "engine/frame_loop.h"
#include "engine/settings.h"
#include "game/headless_run.h"
#include "game/state_checksum.h"
#include "platform/audio.h"
#include "platform/gfx.h"

#ifndef TOLLI_GAME_DATA_DIR
#error "TOLLI_GAME_DATA_DIR names this build's game folder"
#endif

static void usage(FILE* out) {
    fprintf(out,
            "usage: tollivand-run SCRIPT [--game-dir DIR] [--frames] [--sections] [--frame-skip N] [--seed N] [--recording]\n"
            "  Runs the game headless for the script's ticks and prints 'checksum <hex>'.\n"
            "  --game-dir DIR   the packed game folder to link in (default %s)\n"
            "  --frames         print 'frame <n> <hex>' for every drawn frame\n"
            "  --sections       print 'section <name> <hex>' for each part of the state\n"
            "  --frame-skip N   0..4, instead of the script's\n"
            "  --seed N         instead of the script's\n"
            "  --recording      the recording device: no drawing, no frame checksums\n"
            "  --first-frame-fd FD  write one byte to FD when the first frame is drawn\n"
            "  --last-frame PATH    write the last drawn frame to PATH as a PPM picture\n",
            TOLLI_GAME_DATA_DIR);
}

static bool parseUnsigned(const char* text, uint64_t limit, uint64_t& value) {
    if (!text || !*text) return false;
    value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + (uint64_t)(*c - '0');
        if (value > limit) return false;
    }
    return true;
}

struct FramePrinter {
    bool print;
    bool failed;
    int firstFrameFd;   // -1 none, or once written
};

static void onFrame(void* context) {
    FramePrinter& printer = *static_cast<FramePrinter*>(context);
    if (printer.firstFrameFd >= 0) {
        const char drawn = 1;
        if (write(printer.firstFrameFd, &drawn, 1) != 1) perror("tollivand-run: --first-frame-fd");
        close(printer.firstFrameFd);
        printer.firstFrameFd = -1;
    }
    if (!printer.print) return;
    uint64_t checksum;
    if (!headlessFrameChecksum(checksum)) {
        printer.failed = true;
        return;
    }
    printf("frame %d %016" PRIx64 "\n", gFrameCounter, checksum);
}

// The frame as the device holds it, top row first, as binary PPM.
static bool writeLastFrame(const char* path) {
    int32_t width = gScreenSize.width, height = gScreenSize.height;
    if (width <= 0 || height <= 0) return false;
    std::vector<uint32_t> pixels((size_t)width * (size_t)height);
    if (!headlessReadFrame(pixels.data(), width, height)) return false;
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (uint32_t p : pixels) {
        const unsigned char rgb[3] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p};
        fwrite(rgb, 1, 3, file);
    }
    return fclose(file) == 0;
}

int main(int argc, char** argv) {
    const char* scriptPath = nullptr;
    const char* dataDir = TOLLI_GAME_DATA_DIR;
    bool frames = false, sections = false, recording = false;
    int64_t frameSkip = -1, seed = -1;
    int firstFrameFd = -1;
    const char* lastFramePath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool hasValue = i + 1 < argc;
        uint64_t value;
        if (!strcmp(arg, "--help") || !strcmp(arg, "-h")) {
            usage(stdout);
            return 0;
        } else if (!strcmp(arg, "--frames")) {
            frames = true;
        } else if (!strcmp(arg, "--sections")) {
            sections = true;
        } else if (!strcmp(arg, "--recording")) {
            recording = true;
        } else if (!strcmp(arg, "--game-dir") && hasValue) {
            dataDir = argv[++i];
        } else if (!strcmp(arg, "--frame-skip") && hasValue) {
            if (!parseUnsigned(argv[++i], INPUT_SCRIPT_FRAME_SKIP_MAX, value)) {
                fprintf(stderr, "tollivand-run: --frame-skip takes 0 to %d, not '%s'\n", INPUT_SCRIPT_FRAME_SKIP_MAX,
                        argv[i]);
                return 1;
            }
            frameSkip = (int64_t)value;
        } else if (!strcmp(arg, "--last-frame") && hasValue) {
            lastFramePath = argv[++i];
        } else if (!strcmp(arg, "--first-frame-fd") && hasValue) {
            if (!parseUnsigned(argv[++i], INT32_MAX, value) || fcntl((int)value, F_GETFD) < 0) {
                fprintf(stderr, "tollivand-run: --first-frame-fd takes an open descriptor, not '%s'\n", argv[i]);
                return 1;
            }
            firstFrameFd = (int)value;
        } else if (!strcmp(arg, "--seed") && hasValue) {
            if (!parseUnsigned(argv[++i], UINT32_MAX, value)) {
                fprintf(stderr, "tollivand-run: --seed takes 0 to %u, not '%s'\n", UINT32_MAX, argv[i]);
                return 1;
            }
            seed = (int64_t)value;
        } else if (arg[0] == '-' && arg[1]) {
            fprintf(stderr, "tollivand-run: unknown or incomplete option '%s'\n", arg);
            usage(stderr);
            return 1;
        } else if (!scriptPath) {
            scriptPath = arg;
        } else {
            fprintf(stderr, "tollivand-run: one script only ('%s' and '%s')\n", scriptPath, arg);
            return 1;
        }
    }
    if (!scriptPath) {
        usage(stderr);
        return 1;
    }

    static InputScript script;
    InputScriptError error;
    if (!loadInputScript(scriptPath, script, error)) {
        char message[1400];
        formatInputScriptError(scriptPath, error, message, sizeof message);
        fprintf(stderr, "tollivand-run: %s\n", message);
        return 1;
    }
    if (frameSkip >= 0) script.frameSkip = (int32_t)frameSkip;
    if (seed >= 0) script.seed = (uint32_t)seed;
    if (frames && recording) {
        fprintf(stderr, "tollivand-run: --frames needs the OpenGL device, not --recording\n");
        return 1;
    }

    HeadlessOptions options = scriptRunOptions(script, dataDir);
    if (recording) options.gfx = &GFX_RECORDING;
    char bootError[1200];
    if (!headlessBoot(options, bootError, sizeof bootError)) {
        fprintf(stderr, "tollivand-run: %s\n", bootError);
        return 2;
    }
    if (gHeadlessRun.startup != STARTUP_OK) {
        static const char* const WHY[] = {"ok", "no window", "no data archive", "no graphics device"};
        int32_t why = gHeadlessRun.startup;
        fprintf(stderr, "tollivand-run: the game did not start in %s (%s)\n", dataDir,
                why >= 0 && why <= 3 ? WHY[why] : "unknown");
        headlessShutdown();
        return 2;
    }

    FramePrinter printer = {frames, false, firstFrameFd};
    auto started = std::chrono::steady_clock::now();
    headlessRunScript(script, frames || firstFrameFd >= 0 ? onFrame : nullptr, &printer);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    int32_t ticks = gUpdateCount, drawn = gFrameCounter;
    bool quit = gHeadlessRun.quit;
    if (sections) {
        StateSection parts[STATE_SECTION_MAX];
        int32_t count = headlessStateSections(CHECKSUM_ALL, parts, STATE_SECTION_MAX);
        for (int32_t i = 0; i < count && i < STATE_SECTION_MAX; ++i)
            printf("section %s %016" PRIx64 "\n", parts[i].name, parts[i].checksum);
    }
    if (lastFramePath && !writeLastFrame(lastFramePath)) {
        fprintf(stderr, "tollivand-run: the last frame could not be written to %s\n", lastFramePath);
        headlessShutdown();
        return 2;
    }
    uint64_t checksum = headlessStateChecksum();
    printf("checksum %016" PRIx64 "\n", checksum);
    fflush(stdout);
    headlessShutdown();

    if (quit) fprintf(stderr, "tollivand-run: the game quit after %d ticks\n", ticks);
    fprintf(stderr, "tollivand-run: %d ticks, %d frames (frame skip %d, seed %u) in %.3f s: %.1f ticks/s\n", ticks,
            drawn, script.frameSkip, script.seed, seconds, seconds > 0 ? ticks / seconds : 0.0);
    if (printer.failed) {
        fprintf(stderr, "tollivand-run: a drawn frame could not be read back\n");
        return 2;
    }
    return 0;
}

// The headless run behind tollivand-run: the input script reader on good and
// bad text, the state checksum's repeatability (twice the same, frame skip
// changing only what frames draw), and the script files of tests/scripts/
// reaching their recorded checksums, which are what tollivand-run prints
// for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/movie.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "game/state_checksum.h"
#include "platform/audio.h"
#include "story/story_state.h"
#include "tests/harness/harness.h"

namespace {

InputScript parsed(const std::string& text) {
    InputScript script;
    InputScriptError error;
    EXPECT_TRUE(parseInputScript(text.data(), text.size(), script, error)) << error.line << ": " << error.message;
    return script;
}

TEST(RunTicksScript, ReadsHeaderStepsCommentsAndLineEnds) {
    const std::string TEXT =
        "# a comment line\n"
        "\n"
        "seed 4294967295   # the largest\r\n"
        "\tframeskip\t4\n"
        "ticks 500\n"
        "0 none\n"
        "  3 confirm # held from tick 3\n"
        "9 left+up+skill4\n"
        "10 0x2A\n"
        "499 0X3fff";   // no final line break
    InputScript script = parsed(TEXT);
    EXPECT_EQ(script.seed, 4294967295u);
    EXPECT_EQ(script.frameSkip, 4);
    EXPECT_EQ(script.ticks, 500);
    const InputScriptStep WANT[] = {
        {0, 0}, {3, BUTTON_CONFIRM}, {9, BUTTON_LEFT | BUTTON_UP | BUTTON_SKILL_4}, {10, 0x2A}, {499, 0x3FFF}};
    ASSERT_EQ(script.steps.size(), std::size(WANT));
    for (size_t i = 0; i < std::size(WANT); ++i) {
        EXPECT_EQ(script.steps[i].tick, WANT[i].tick) << "step " << i;
        EXPECT_EQ(script.steps[i].buttons, WANT[i].buttons) << "step " << i;
    }

    InputScript defaults = parsed("ticks 1\n");
    EXPECT_EQ(defaults.seed, 1u);
    EXPECT_EQ(defaults.frameSkip, 0);
    EXPECT_TRUE(defaults.steps.empty());
}

TEST(RunTicksScript, ButtonNamesWriteBackAsTheyRead) {
    for (uint16_t buttons : {0x0000, 0x0001, 0x0030, 0x0106, 0x3FFF}) {
        char text[160];
        formatButtons(buttons, text, sizeof text);
        InputScript script = parsed(std::string("ticks 2\n1 ") + text + "\n");
        ASSERT_EQ(script.steps.size(), 1u) << text;
        EXPECT_EQ(script.steps[0].buttons, buttons) << text;
    }
    char text[160];
    formatButtons(BUTTON_CONFIRM | BUTTON_DOWN, text, sizeof text);
    EXPECT_STREQ(text, "down+confirm");
}

struct BadScript {
    const char* name;
    std::string text;
    int32_t line;           // 0: the script as a whole
    const char* fragment;   // of the message
};

TEST(RunTicksScript, RefusesBadScriptsNamingTheLine) {
    const BadScript CASES[] = {
        {"empty", "", 0, "no 'ticks' line"},
        {"comments only", "# nothing\n\n", 0, "no 'ticks' line"},
        {"no tick count", "seed 3\nframeskip 1\n", 0, "no 'ticks' line"},
        {"zero ticks", "ticks 0\n", 1, "'ticks' must be"},
        {"too many ticks", "ticks 100000001\n", 1, "'ticks' must be"},
        {"huge number", "ticks 99999999999999999999999\n", 1, "'ticks' must be"},
        {"negative seed", "seed -1\nticks 5\n", 1, "'seed' must be"},
        {"seed over 32 bits", "seed 4294967296\nticks 5\n", 1, "'seed' must be"},
        {"frame skip 5", "frameskip 5\nticks 5\n", 1, "'frameskip' must be"},
        {"header without number", "ticks\n", 1, "takes one number"},
        {"header with two numbers", "ticks 5 6\n", 1, "takes one number"},
        {"second header", "ticks 5\nticks 6\n", 2, "a second 'ticks'"},
        {"header after a step", "ticks 5\n0 up\nseed 2\n", 3, "after the first step"},
        {"step before ticks", "0 up\nticks 5\n", 1, "before the 'ticks' line"},
        {"step without buttons", "ticks 5\n0\n", 2, "'<tick> <buttons>'"},
        {"step with three words", "ticks 5\n0 up down\n", 2, "'<tick> <buttons>'"},
        {"tick past the count", "ticks 5\n5 up\n", 2, "not below the tick count"},
        {"ticks out of order", "ticks 9\n4 up\n2 down\n", 3, "does not come after"},
        {"the same tick twice", "ticks 9\n4 up\n4 down\n", 3, "does not come after"},
        {"negative tick", "ticks 9\n-1 up\n", 2, "unknown line"},
        {"tick with letters", "ticks 9\n1x up\n", 2, "is no decimal number"},
        {"unknown word", "ticks 9\njump 3\n", 2, "unknown line 'jump'"},
        {"unknown button", "ticks 9\n1 jump\n", 2, "unknown button 'jump'"},
        {"empty button name", "ticks 9\n1 up++down\n", 2, "an empty button name"},
        {"trailing plus", "ticks 9\n1 up+\n", 2, "an empty button name"},
        {"hex too wide", "ticks 9\n1 0x00010\n", 2, "more than 4 hex digits"},
        {"hex above the buttons", "ticks 9\n1 0x4000\n", 2, "bits above 0x3FFF"},
        {"not hex", "ticks 9\n1 0xZZ\n", 2, "no hex button word"},
        {"truncated step", "ticks 9\n1 conf", 2, "unknown button 'conf'"},
        {"NUL byte", std::string("ticks 9\n1 up\0\n", 14), 2, "a NUL byte"},
        {"control byte", "ticks 9\n1 \x01up\n", 2, "unexpected byte 0x01"},
        {"high byte outside a comment", "ticks 9\n1 \xC3\xA9\n", 2, "unexpected byte 0xC3"},
        {"control byte in a comment", "ticks 9 # \x1B[0m\n", 1, "a control byte in a comment"},
        {"lone carriage return", "ticks 9\r1 up\n", 1, "a carriage return inside the line"},
        {"line too long", "ticks 9\n" + std::string(300, ' ') + "1 up\n", 2, "longer than 255 bytes"},
        {"too many words", "ticks 9\n1 2 3 4 5\n", 2, "too many words"},
        {"over a megabyte", "ticks 9\n" + std::string(INPUT_SCRIPT_MAX_BYTES, '#'), 0, "over 1048576 bytes"},
    };
    for (const BadScript& c : CASES) {
        InputScript script;
        InputScriptError error;
        EXPECT_FALSE(parseInputScript(c.text.data(), c.text.size(), script, error)) << c.name;
        EXPECT_EQ(error.line, c.line) << c.name << ": " << error.message;
        EXPECT_NE(std::string(error.message).find(c.fragment), std::string::npos)
            << c.name << ": '" << error.message << "' lacks '" << c.fragment << "'";
        EXPECT_EQ(script.ticks, 0) << c.name;
        EXPECT_TRUE(script.steps.empty()) << c.name;
    }
}

TEST(RunTicksScript, TooManyStepsAreRefused) {
    std::string text = "ticks 200000\n";
    for (int32_t i = 0; i <= INPUT_SCRIPT_MAX_STEPS; ++i) text += std::to_string(i) + (i % 2 ? " up\n" : " none\n");
    InputScript script;
    InputScriptError error;
    EXPECT_FALSE(parseInputScript(text.data(), text.size(), script, error));
    EXPECT_EQ(error.line, INPUT_SCRIPT_MAX_STEPS + 2);
    EXPECT_STREQ(error.message, "more than 100000 steps");
}

TEST(RunTicksScript, FilesThatCannotBeReadOrAreTooLargeAreRefused) {
    char folder[] = "/tmp/tolli_script_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string missing = std::string(folder) + "/missing.txt";
    InputScript script;
    InputScriptError error;
    EXPECT_FALSE(loadInputScript(missing.c_str(), script, error));
    EXPECT_EQ(error.line, 0);
    EXPECT_NE(std::string(error.message).find("cannot be opened"), std::string::npos) << error.message;
    char message[600];
    formatInputScriptError(missing.c_str(), error, message, sizeof message);
    EXPECT_EQ(std::string(message).rfind(missing + ": cannot be opened", 0), 0u) << message;

    std::string large = std::string(folder) + "/large.txt";
    std::ofstream(large) << "ticks 9\n" << std::string(INPUT_SCRIPT_MAX_BYTES, '#');
    EXPECT_FALSE(loadInputScript(large.c_str(), script, error));
    EXPECT_STREQ(error.message, "the script is over 1048576 bytes");

    std::string bad = std::string(folder) + "/bad.txt";
    std::ofstream(bad) << "ticks 9\n\n3 fly\n";
    EXPECT_FALSE(loadInputScript(bad.c_str(), script, error));
    formatInputScriptError("bad.txt", error, message, sizeof message);
    EXPECT_EQ(std::string(message).rfind("bad.txt:3: unknown button 'fly'", 0), 0u) << message;

    std::string good = std::string(folder) + "/good.txt";
    std::ofstream(good) << "seed 5\nticks 9\n3 up\n";
    EXPECT_TRUE(loadInputScript(good.c_str(), script, error)) << error.message;
    EXPECT_EQ(script.seed, 5u);
    ASSERT_EQ(script.steps.size(), 1u);
    std::filesystem::remove_all(folder);
}

// ---- Runs ----

struct RunResult {
    uint64_t state = 0;
    uint64_t ticks = 0;            // CHECKSUM_TICKS
    std::vector<uint64_t> frames;  // one per drawn frame
    int32_t updates = 0;
    int32_t drawn = 0;
    std::vector<StateSection> sections;   // CHECKSUM_ALL
};

// The sections two runs' states differ in, for the failure message.
std::string differingSections(const RunResult& a, const RunResult& b) {
    std::string names;
    for (size_t i = 0; i < a.sections.size() && i < b.sections.size(); ++i)
        if (a.sections[i].checksum != b.sections[i].checksum) names += std::string(" ") + a.sections[i].name;
    return names.empty() ? " none" : names;
}

void recordFrame(void* context) {
    uint64_t checksum = 0;
    EXPECT_TRUE(headlessFrameChecksum(checksum));
    static_cast<RunResult*>(context)->frames.push_back(checksum);
}

// The headless mixer is set for a script run; every other test keeps the
// backend it had.
class RunTicks : public ::testing::Test {
protected:
    void SetUp() override { mPreviousAudio = gAudioBackend; }
    void TearDown() override { gAudioBackend = mPreviousAudio; }

    // Boots as tollivand-run does, runs the script, checks (before the shut-down).
    // The state checksum does not depend on the device, so only the frame
    // checksums need OpenGL.
    RunResult run(const InputScript& script, const GfxBackend* gfx = &GFX_RECORDING, bool frames = false,
                  const std::function<void()>& check = nullptr) {
        RunResult result;
        HeadlessOptions options = scriptRunOptions(script, TOLLI_GAME_DATA_DIR);
        options.gfx = gfx;
        char error[1200] = "";
        EXPECT_TRUE(headlessBoot(options, error, sizeof error)) << error;
        EXPECT_EQ(gHeadlessRun.startup, STARTUP_OK);
        headlessRunScript(script, frames ? recordFrame : nullptr, &result);
        result.state = headlessStateChecksum();
        result.ticks = headlessStateChecksum(CHECKSUM_TICKS);
        result.sections.resize(STATE_SECTION_MAX);
        result.sections.resize((size_t)headlessStateSections(CHECKSUM_ALL, result.sections.data(), STATE_SECTION_MAX));
        result.updates = gUpdateCount;
        result.drawn = gFrameCounter;
        if (check) check();
        headlessShutdown();
        return result;
    }

    const AudioBackend* mPreviousAudio = nullptr;
};

// A new game from the title with a scene load, the buttons changing on even
// ticks only, so that at frame skip 1 every step falls where a frame begins.
// The buttons are let go before the shop floor's first tick, which empties
// the input record once (at frame skip 1 the frame's second tick would see
// that, at frame skip 0 a fresh read).
const char SHORT_SCRIPT[] =
    "seed 1234\n"
    "ticks 120\n"
    "0 none\n"
    "6 confirm\n"
    "10 none\n"
    "20 left+up\n"
    "60 none\n";

TEST_F(RunTicks, TheSameScriptRepeatsBitForBit) {
    InputScript script = parsed(SHORT_SCRIPT);
    RunResult first = run(script, &GFX_HEADLESS, true);
    RunResult second = run(script, &GFX_HEADLESS, true);
    EXPECT_EQ(first.updates, 120);
    EXPECT_EQ(first.drawn, 120);
    ASSERT_EQ(first.frames.size(), 120u);
    EXPECT_EQ(first.frames, second.frames);
    EXPECT_EQ(first.state, second.state) << "sections differing:" << differingSections(first, second);
    EXPECT_EQ(first.ticks, second.ticks);
    // The frames change: the title fades out to the next scene.
    EXPECT_GT(std::set<uint64_t>(first.frames.begin(), first.frames.end()).size(), 10u);
}

// At frame skip 1 two ticks run per drawn frame on the buttons held when the
// frame began, so a script whose steps fall on even ticks gives each tick
// the same buttons as at frame skip 0, and the ticks reach the same state.
// What moves once per drawn frame differs (half as many frames: the frame
// counter, the overlay's render counter), so the whole state does not.
TEST_F(RunTicks, FrameSkipChangesOnlyWhatTheFramesCount) {
    InputScript script = parsed(SHORT_SCRIPT);
    RunResult every = run(script);
    script.frameSkip = 1;
    RunResult skipping = run(script);
    EXPECT_EQ(skipping.updates, 120);
    EXPECT_EQ(skipping.drawn, 60);
    EXPECT_EQ(every.ticks, skipping.ticks) << "sections differing:" << differingSections(every, skipping);
    EXPECT_NE(every.state, skipping.state);
}

TEST_F(RunTicks, TheChecksumFollowsSeedAndInput) {
    InputScript script = parsed(SHORT_SCRIPT);
    uint64_t base = run(script).state;
    script.seed = 1235;
    EXPECT_NE(run(script).state, base);
    script.seed = 1234;
    script.steps.back().buttons = BUTTON_LEFT;
    EXPECT_NE(run(script).state, base);
}

// The state checksum leaves out what the device does: the recording device
// reaches the same one as OpenGL.
TEST_F(RunTicks, TheDeviceDoesNotChangeTheStateChecksum) {
    InputScript script = parsed(SHORT_SCRIPT);
    RunResult recorded = run(script, &GFX_RECORDING);
    RunResult drawn = run(script, &GFX_HEADLESS);
    EXPECT_EQ(recorded.state, drawn.state) << "sections differing:" << differingSections(recorded, drawn);
}

// ---- The script files ----

std::string scriptFolder() { return std::string(TOLLI_SOURCE_DIR) + "/tests/scripts"; }

std::vector<std::string> scriptNames() {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(scriptFolder(), ignored))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What each script's run shows a player, checked before the shut-down.
const std::map<std::string, std::function<void()>> SCRIPT_CHECKS = {
    {"title_idle_to_movie",
     [] {
         EXPECT_EQ(gGameMode, 0);
         EXPECT_EQ(gTitle.menuCursor, 2);   // the two Downs before the fade; not the one after
         // The movie's four seconds (240 ticks, and the sound's last block at
         // most) held the count; it started over when the movie ended.
         EXPECT_EQ(gMedia.graph, 0);
         EXPECT_LE(gTitle.idleTicks, 7500 - TITLE_IDLE_MOVIE - 240);
         EXPECT_GE(gTitle.idleTicks, 7500 - TITLE_IDLE_MOVIE - 240 - 12);
         EXPECT_EQ(gCurrentTrack, 0);
     }},
    {"title_movie_skipped",
     [] {
         EXPECT_EQ(gMedia.graph, 0);
         EXPECT_EQ(gTitle.idleTicks, 7260 - 7200 - 1);   // from 0 on the confirm's tick
         EXPECT_EQ(gCurrentTrack, 0);
     }},
    {"title_new_game",
     [] {
         EXPECT_EQ(gGameMode, 1);
         EXPECT_EQ(gTitle.newGameChosen, 1);
         EXPECT_EQ(gStageIndex, 0);
         EXPECT_EQ(gSceneLoading, 0);
     }},
    {"title_options",
     [] {
         const SaveHeader& h = gSaveImage.header;
         EXPECT_EQ(h.optionMusicLevel, 0);
         EXPECT_EQ(h.optionSoundLevel, 8);
         EXPECT_EQ(h.optionVoiceLevel, 8);
         EXPECT_EQ(h.optionMessageSpeed, 2);
         EXPECT_TRUE(std::filesystem::exists(std::string(gHeadlessRun.gameDir) + "/save.dat"));
         EXPECT_EQ(gTitle.windowOpen, 0);
     }},
    {"title_quit",
     [] {
         EXPECT_TRUE(gHeadlessRun.quit);
         EXPECT_EQ(gTitle.quitChosen, 1);
     }},
    {"frame_skip_new_game",
     [] {
         EXPECT_EQ(gGameMode, 1);
         EXPECT_EQ(gFrameCounter, 60);
         EXPECT_EQ(gInputState[0].previous, BUTTON_LEFT | BUTTON_UP);
     }},
};

class RunTicksScriptFile : public RunTicks, public ::testing::WithParamInterface<std::string> {};

// The recorded file is what tollivand-run --sections prints for the script:
// "section <name> <hex>" lines, then "checksum <hex>".
TEST_P(RunTicksScriptFile, ReachesItsRecordedChecksum) {
    std::string path = scriptFolder() + "/" + GetParam() + ".txt";
    InputScript script;
    InputScriptError error;
    ASSERT_TRUE(loadInputScript(path.c_str(), script, error)) << path << ":" << error.line << ": " << error.message;
    std::ifstream recorded(scriptFolder() + "/" + GetParam() + ".checksum");
    ASSERT_TRUE(recorded) << "no " << GetParam() << ".checksum beside the script";
    std::string want;
    std::map<std::string, std::string> wantSections;
    for (std::string line; std::getline(recorded, line);) {
        if (line.rfind("checksum ", 0) == 0) want = line;
        size_t last = line.rfind(' ');
        if (line.rfind("section ", 0) == 0 && last > 8) wantSections[line.substr(8, last - 8)] = line.substr(last + 1);
    }
    ASSERT_FALSE(want.empty()) << GetParam() << ".checksum holds no checksum line";

    auto check = SCRIPT_CHECKS.find(GetParam());
    RunResult result = run(script, &GFX_RECORDING, false, check == SCRIPT_CHECKS.end() ? nullptr : check->second);
    char got[40];
    snprintf(got, sizeof got, "checksum %016" PRIx64, result.state);
    std::string differing;
    for (const StateSection& section : result.sections) {
        char hex[20];
        snprintf(hex, sizeof hex, "%016" PRIx64, section.checksum);
        auto w = wantSections.find(section.name);
        if (w == wantSections.end() || w->second != hex) differing += std::string(" ") + section.name;
    }
    EXPECT_EQ(want, got) << GetParam() << ": the run differs from the recorded one in the sections:" << differing;
}

std::string scriptTestName(const ::testing::TestParamInfo<std::string>& info) { return info.param; }

INSTANTIATE_TEST_SUITE_P(RunTicks, RunTicksScriptFile, ::testing::ValuesIn(scriptNames()), scriptTestName);

}   // namespace

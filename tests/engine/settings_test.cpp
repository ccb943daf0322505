// "tolli.ini": every key into its global at start-up, and what goes back at
// exit, on real files in a temporary folder.
#include "engine/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/input.h"
#include "platform/window.h"
#include "tests/file_size_limit.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"

const int16_t DEFAULT_BINDINGS[2][PAD_BINDING_COUNT] = {
    {1, 2, 3, 4, 39, 37, 16, 35, 36, 0, 0, 0, 0, 0},
    {40, 41, 42, 43, 44, 45, 46, 47, 48, 0, 0, 0, 0, 0},
};

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(savedIniPath, gIniPath, sizeof gIniPath);
        snprintf(gIniPath, sizeof gIniPath, "%s", path.c_str());
    }
    void TearDown() override {
        folder.remove();
        // Nothing read here outlives the test: back to every default.
        loadSettings();
        memcpy(gIniPath, savedIniPath, sizeof gIniPath);
    }
    void writeIni(const std::string& bytes) { folder.write("tolli.ini", bytes); }
    std::string iniText() { return readTextFile(path); }

    TempFolder folder{"settings"};
    std::string path = folder.file("tolli.ini");
    char savedIniPath[sizeof gIniPath];
};

TEST_F(SettingsFile, NoFileStartsWithDefaultsAndWritesOnlyTheVolumes) {
    // Values a previous start might have left behind.
    gScreenSize = {1, 1};
    gWindowed = gWindowAspectLock = 0;
    gFrameSkip = gTexLevel = gUseWindowPos = gEasyDisp = gNoLight[1] = 3;
    gIniVolumes[0] = 2;
    for (auto& set : gPadBindings)
        for (int16_t& code : set) code = 99;

    loadSettings();
    EXPECT_EQ(gWindowed, 1);
    EXPECT_EQ(gScreenSize.width, 640);
    EXPECT_EQ(gScreenSize.height, 480);
    EXPECT_EQ(gWindowAspectLock, 1);
    EXPECT_EQ(gFrameSkip, 0);
    EXPECT_EQ(gTexLevel, 0);
    EXPECT_EQ(gUseWindowPos, 0);
    EXPECT_EQ(gEasyDisp, 0);
    EXPECT_EQ(gNoLight[1], 0);
    EXPECT_EQ(gIniVolumes[0], 9);
    EXPECT_EQ(gIniVolumes[1], 9);
    for (int set = 0; set < 2; ++set)
        for (int i = 0; i < PAD_BINDING_COUNT; ++i)
            EXPECT_EQ(gPadBindings[set][i], DEFAULT_BINDINGS[set][i]) << "set " << set << " index " << i;

    EXPECT_TRUE(saveSettings());
    EXPECT_EQ(iniText(), "[config]\r\nse=9\r\nmu=9\r\n");
}

struct ScreenCase {
    const char* value;
    int32_t width, height;
};

const ScreenCase SCREEN_CASES[] = {
    {"0", 640, 480}, {"1", 800, 600}, {"2", 1024, 768}, {"3", 1280, 960},
    {"7", 1280, 960}, {"-1", 1280, 960}, {"abc", 640, 480},
};

TEST_F(SettingsFile, ScreenKeyPicksTheSize) {
    for (const ScreenCase& c : SCREEN_CASES) {
        writeIni(std::string("[setup]\nscreen=") + c.value + "\n");
        loadSettings();
        EXPECT_EQ(gScreenSize.width, c.width) << "screen=" << c.value;
        EXPECT_EQ(gScreenSize.height, c.height) << "screen=" << c.value;
    }
}

struct RangeCase {
    const char* value;
    int32_t frameSkip;
    int32_t texLevel;
};

const RangeCase RANGE_CASES[] = {
    {"0", 0, 0}, {"2", 2, 2}, {"3", 3, 3}, {"4", 4, 3}, {"5", 4, 3}, {"99", 4, 3},
    {"-1", 0, 0}, {"-7", 0, 0}, {"2147483647", 4, 3}, {"-2147483648", 0, 0},
};

TEST_F(SettingsFile, FrameSkipAndTextureLevelStayInTheirTables) {
    for (const RangeCase& c : RANGE_CASES) {
        writeIni(std::string("[setup]\nfps=") + c.value + "\ntexlevel=" + c.value + "\n");
        loadSettings();
        EXPECT_EQ(gFrameSkip, c.frameSkip) << "value " << c.value;
        EXPECT_EQ(gTexLevel, c.texLevel) << "value " << c.value;
    }
}

TEST_F(SettingsFile, VolumesAreClampedAndWrittenBackInPlace) {
    writeIni("; tuned by hand\r\n[Config]\r\nSE=12\r\nmu=-4\r\nextra=1\r\n\r\n[setup]\r\nwinx=5\r\n");
    loadSettings();
    EXPECT_EQ(gIniVolumes[0], 9);
    EXPECT_EQ(gIniVolumes[1], 0);
    EXPECT_TRUE(saveSettings());
    EXPECT_EQ(iniText(), "; tuned by hand\r\n[Config]\r\nSE=9\r\nmu=0\r\nextra=1\r\n\r\n[setup]\r\nwinx=5\r\n");
}

TEST_F(SettingsFile, WindowPositionIsUsedAndSavedOnlyWhenSwitchedOn) {
    writeIni("[setup]\nwindowpos=0\nwinx=100\nwiny=50\n");
    loadSettings();
    EXPECT_EQ(gUseWindowPos, 0);
    gWindowPos[0] = 300;   // where the window was at close
    gWindowPos[1] = 200;
    EXPECT_TRUE(saveSettings());
    EXPECT_EQ(iniText(), "[setup]\nwindowpos=0\nwinx=100\nwiny=50\n[config]\nse=9\nmu=9\n");

    writeIni("[setup]\nwindowpos=1\nwinx=100\nwiny=50\n");
    loadSettings();
    EXPECT_NE(gUseWindowPos, 0);
    EXPECT_EQ(gWindowPos[0], 100);
    EXPECT_EQ(gWindowPos[1], 50);
    gWindowPos[0] = 300;
    gWindowPos[1] = -20;
    EXPECT_TRUE(saveSettings());
    gWindowPos[0] = gWindowPos[1] = 0;
    loadSettings();
    EXPECT_EQ(gWindowPos[0], 300);
    EXPECT_EQ(gWindowPos[1], -20);
    EXPECT_EQ(iniText(), "[setup]\nwindowpos=1\nwinx=300\nwiny=-20\n[config]\nse=9\nmu=9\n");
}

struct KeyCase {
    const char* line;   // as written in the file, names in any case
    const int32_t* global;
    int32_t want;
};

TEST_F(SettingsFile, EveryKeyFeedsItsGlobal) {
    const KeyCase SETUP_KEYS[] = {
        {"aspect=0", &gWindowAspectLock, 0},   {"WINMODE=0", &gWindowed, 0},
        {"fps=3", &gFrameSkip, 3},             {"DispFps=5", &gDispFps, 5},
        {"sfnouse=6", &gSfNoUse, 6},           {"usemipmap=7", &gUseMipmap, 7},
        {"UseTree=8", &gUseTree, 8},           {"uselighttex=9", &gUseLightTex, 9},
        {"texlevel=2", &gTexLevel, 2},         {"TooriOff=11", &gTooriOff, 11},
        {"windowpos=12", &gUseWindowPos, 12},  {"winx=-13", &gWindowPos[0], -13},
        {"WinY=14", &gWindowPos[1], 14},       {"nolight=15", &gNoLight[0], 15},
        {"NoLight_S=16", &gNoLight[1], 16},    {"easydisp=17", &gEasyDisp, 17},
        {"easydisp=17", &gEasyDispTextures, 17}, {"s_easydisp=18", &gSEasyDisp, 18},
        {"UseFog=19", &gUseFog, 19},
    };
    std::string file = "[OPTION]\n";
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < 9; ++i) file += "Pad" + std::to_string(set) + std::to_string(i) + "=" +
                                            std::to_string(100 + 20 * set + i) + "\n";
        for (int i = 0; i < 5; ++i) file += "SKILL" + std::to_string(set) + std::to_string(i) + "=" +
                                            std::to_string(110 + 20 * set + i) + "\n";
    }
    file += "[Setup]\n";
    for (const KeyCase& c : SETUP_KEYS) file += std::string(c.line) + "\n";
    file += "screen=1\n";
    writeIni(file);

    loadSettings();
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < 9; ++i) EXPECT_EQ(gPadBindings[set][i], 100 + 20 * set + i) << "pad" << set << i;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(gPadBindings[set][9 + i], 110 + 20 * set + i) << "skill" << set << i;
    }
    for (const KeyCase& c : SETUP_KEYS) EXPECT_EQ(*c.global, c.want) << c.line;
    EXPECT_EQ(gScreenSize.width, 800);
}

TEST_F(SettingsFile, BindingsAreKeptAsShorts) {
    writeIni("[option]\npad00=65537\npad01=-1\nskill14=40000\n");
    loadSettings();
    EXPECT_EQ(gPadBindings[0][0], 1);
    EXPECT_EQ(gPadBindings[0][1], -1);
    EXPECT_EQ(gPadBindings[1][13], (int16_t)40000);
    EXPECT_EQ(gPadBindings[0][2], 3);   // untouched keys keep their defaults
}

// 保存できませんでした。 ("could not save"), the box's first line.
static const char WRITE_FAILED_LINE[] =
    "\x95\xdb\x91\xb6\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

// A write that fails is told once, with the file and the reason, whichever
// keys failed; the old file stays byte for byte and no temporary is left.
TEST_F(SettingsFile, AFailedWriteIsToldAndLeavesTheOldFile) {
    const std::string old = "; tuned by hand\r\n[config]\r\nse=3\r\nmu=4\r\n[setup]\r\nwindowpos=1\r\n";
    writeIni(old);
    loadSettings();
    gIniVolumes[0] = 7;
    const WindowBackend* previousWindow = gWindow;
    gWindow = &WINDOW_HEADLESS;
    headlessWindowReset();
    bool saved;
    {
        FileSizeLimit limit(16);
        saved = saveSettings();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error");
    EXPECT_EQ(std::string(gHeadlessMessageBoxes.boxes[0].text),
              std::string(WRITE_FAILED_LINE) + "\n" + path + ": File too large");
    EXPECT_EQ(iniText(), old);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) ++entries;
    EXPECT_EQ(entries, 1);

    EXPECT_TRUE(saveSettings());   // without the limit it writes, and says nothing
    EXPECT_EQ(gHeadlessMessageBoxes.total, 1);
    gWindow = previousWindow;
}

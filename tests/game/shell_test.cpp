// Start-up and shut-down order, the window's events and the menu commands,
// on the headless window and the recording graphics device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/settings.h"
#include "game/startup.h"
#include "game/window_proc.h"
#include "platform/clock.h"
#include "platform/glyphs.h"
#include "platform/message_box.h"
#include "platform/sjis.h"
#include "platform/window.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/harness/harness.h"
#include "tests/temp_folder.h"

static std::vector<std::string> traceSteps() {
    return std::vector<std::string>(gShellTrace.steps, gShellTrace.steps + gShellTrace.count);
}

static HarnessOptions recordingOptions() {
    HarnessOptions options;
    options.gfx = &GFX_RECORDING;
    return options;
}

static const std::vector<std::string> STARTUP_STEPS = {
    "initGameGlobals", "seedRandom",     "loadSettings",       "createMainWindow",   "openArchive",
    "initGraphicsDevice",    "clearDebugText", "initInputDevices",    "prepareSkinnedModels", "loadIndexFiles",
    "initGlyphCache",  "initSound",      "loadFontFiles",      "loadSystemTextures", "loadSaveFile",
    "resetNewsAndEvents", "loadTitleTextures", "enterTitleScreen", "messageLoop",
};

static const std::vector<std::string> SHUTDOWN_APP_STEPS = {
    "shutdownApp", "releaseAllTextures", "releaseSystemTextures", "releaseDevice",
    "releaseGraphicsDevice", "releaseInputDevices", "unloadSounds", "shutdownSound",
};

static std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ShellStartup, RunsEveryStepInOrderAndShutsDownInOrder) {
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    EXPECT_EQ(traceSteps(), STARTUP_STEPS);
    EXPECT_EQ(gGameMode, GAME_MODE_TITLE);
    EXPECT_EQ(gAppActive, 1);
    // Both off-screen targets exist after the system pictures.
    EXPECT_NE(gRenderTargetSurfaces[0], nullptr);
    EXPECT_NE(gRenderTargetSurfaces[1], nullptr);

    gHeadlessMessageBoxes.yesNoAnswer = MESSAGE_BOX_ANSWER_YES;
    harnessPostEvent(WINDOW_EVENT_CLOSE);
    harnessRunTicks(10);
    EXPECT_TRUE(gHarness.quit);
    EXPECT_EQ(harnessShutdown(), 0);
    std::vector<std::string> want =
        concat(concat(STARTUP_STEPS, {"saveSettings", "closeArchive", "freeFontFiles"}), SHUTDOWN_APP_STEPS);
    EXPECT_EQ(traceSteps(), want);
    EXPECT_EQ(gGfxDevice, nullptr);
    EXPECT_EQ(gOpenGraphics, nullptr);
}

TEST(ShellStartup, FontFilesAreBuiltOnlyWhenAsked) {
    gMakeFont = 1;
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    gMakeFont = 0;
    std::vector<std::string> steps = traceSteps();
    auto build = std::find(steps.begin(), steps.end(), "buildFontFiles");
    ASSERT_NE(build, steps.end());
    EXPECT_EQ(*(build + 1), "loadFontFiles");
    harnessShutdown();
}

TEST(ShellStartup, FailedWindowEndsAtOnceWithFailure) {
    HarnessOptions options = recordingOptions();
    options.windowFails = true;
    EXPECT_EQ(harnessBoot(options), STARTUP_NO_WINDOW);
    EXPECT_EQ(traceSteps().back(), "createMainWindow");
    EXPECT_EQ(harnessShutdown(), 1);
    EXPECT_EQ(traceSteps().back(), "createMainWindow");   // nothing released or written
}

struct GraphicsFailureCase {
    bool openFails;
    bool deviceFails;
};

TEST(ShellStartup, GraphicsFailureShowsMessageAndShutsDown) {
    for (GraphicsFailureCase c : {GraphicsFailureCase{true, false}, GraphicsFailureCase{false, true}}) {
        gfxRecordingSetFailures(c.openFails, c.deviceFails);
        StartupResult result = harnessBoot(recordingOptions());
        gfxRecordingSetFailures(false, false);
        EXPECT_EQ(result, STARTUP_NO_GRAPHICS) << "open fails " << c.openFails;
        ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
        const RecordedMessageBox& box = gHeadlessMessageBoxes.boxes[0];
        EXPECT_STREQ(box.caption, "error");
        EXPECT_EQ(box.kind, MESSAGE_BOX_OK);
        // Two lines of Shift-JIS text.
        EXPECT_NE(strchr(box.text, '\n'), nullptr);
        EXPECT_EQ((unsigned char)box.text[0], 0x83);

        EXPECT_EQ(harnessShutdown(), 1);
        std::vector<std::string> want = {"initGameGlobals", "seedRandom", "loadSettings", "createMainWindow",
                                         "openArchive", "initGraphicsDevice", "saveSettings", "closeArchive",
                                         "freeFontFiles", "shutdownApp", "releaseAllTextures",
                                         "releaseSystemTextures"};
        if (!c.openFails) want.push_back("releaseGraphicsDevice");
        want.insert(want.end(), {"releaseInputDevices", "unloadSounds", "shutdownSound"});
        EXPECT_EQ(traceSteps(), want) << "open fails " << c.openFails;
    }
}

// A game folder whose first archive volume lost all but its first bytes:
// the box that ends the start-up is drawn with the game's Japanese glyphs,
// the first one (起) where the text begins.
TEST(ShellStartup, DamagedArchiveVolumeShowsItsBoxInTheGamesGlyphs) {
    namespace fs = std::filesystem;
    TempFolder folder("damaged");
    for (const fs::directory_entry& entry : fs::directory_iterator(TOLLI_GAME_DATA_DIR)) {
        std::string name = entry.path().filename().string();
        if (name != "bin" && name != "tollivand") fs::create_directory_symlink(entry.path(), folder.file(name));
    }
    fs::copy(std::string(TOLLI_GAME_DATA_DIR) + "/bin", folder.file("bin"), fs::copy_options::recursive);
    fs::resize_file(folder.file("bin/data000.bin"), 5);

    HarnessOptions options = recordingOptions();
    options.gameDir = folder.path().c_str();
    EXPECT_EQ(harnessBoot(options), STARTUP_NO_ARCHIVE);
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    char text[512];
    sjisToUtf8(gHeadlessMessageBoxes.boxes[0].text, text, sizeof text);
    EXPECT_STREQ(text, "起動に必要なファイル　bin/data000.bin　にデータ欠損があります");
    ASSERT_NE(headlessLastMessageBoxPicture(), nullptr);
    const MessageBoxPicture box = *headlessLastMessageBoxPicture();
    EXPECT_EQ(harnessShutdown(), 1);

    GlyphFaceMetrics metrics = {};
    GlyphFaceResult opened = GLYPH_FACE_NONE;
    GlyphFace* face = openOwnGlyphFace(GLYPH_FALLBACK_FACE, MESSAGE_BOX_CELL, &metrics, &opened);
    if (!face) GTEST_SKIP() << "no Japanese face installed";
    std::unique_ptr<GlyphBitmap> glyph(new GlyphBitmap);
    renderOwnGlyph(face, 0x8B4E, glyph.get());
    closeOwnGlyphFace(face);
    ASSERT_GT(glyph->byteCount, 0);
    int32_t baseline = box.textRect[1] + (MESSAGE_BOX_LINE - metrics.height) / 2 + metrics.ascent;
    int32_t solid = 0, matched = 0;
    for (int32_t row = 0; row < glyph->boxHeight; ++row) {
        for (int32_t col = 0; col < glyph->boxWidth; ++col) {
            if (glyph->levels[row * glyph->pitch + col] != GLYPH_LEVEL_MAX) continue;
            int32_t x = box.textRect[0] + glyph->boxLeft + col;
            int32_t y = baseline - glyph->boxTop + row;
            ++solid;
            matched += box.pixels[(size_t)y * box.width + x] == MESSAGE_BOX_INK;
        }
    }
    EXPECT_GT(solid, 10);
    EXPECT_EQ(matched, solid);
}

struct QuitCase {
    const char* name;
    int32_t windowed;
    int32_t titleQuit;
    int32_t answer;
    int32_t closeKind;   // 0 the user, WINDOW_CLOSE_FORCED the system
    bool asked;
    bool quits;
};

TEST(ShellWindow, CloseAsksOnlyWhenWindowedAndNotFromTheTitle) {
    const QuitCase CASES[] = {
        {"windowed, answered no", 1, 0, MESSAGE_BOX_ANSWER_NO, 0, true, false},
        {"windowed, answered yes", 1, 0, MESSAGE_BOX_ANSWER_YES, 0, true, true},
        {"full screen", 0, 0, MESSAGE_BOX_ANSWER_NO, 0, false, true},
        {"title's own exit", 1, 1, MESSAGE_BOX_ANSWER_NO, 0, false, true},
        {"ended by the system", 1, 0, MESSAGE_BOX_ANSWER_NO, WINDOW_CLOSE_FORCED, false, true},
    };
    for (const QuitCase& c : CASES) {
        ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
        gWindowed = c.windowed;
        gTitle.quitChosen = c.titleQuit;
        gHeadlessMessageBoxes.yesNoAnswer = c.answer;
        harnessPostEvent(WINDOW_EVENT_CLOSE, c.closeKind);
        harnessRunTicks(5);
        EXPECT_EQ(gHeadlessMessageBoxes.total, c.asked ? 1 : 0) << c.name;
        if (c.asked) {
            EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "EXIT?") << c.name;
            EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "Do you really want to quit the game?") << c.name;
            EXPECT_EQ(gHeadlessMessageBoxes.boxes[0].kind, MESSAGE_BOX_YES_NO) << c.name;
        }
        EXPECT_EQ(gHarness.quit, c.quits) << c.name;
        harnessShutdown();
    }
}

TEST(ShellWindow, EscapeClosesOnlyTheIdleTitleAndNotWhileLoading) {
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    gHeadlessMessageBoxes.yesNoAnswer = MESSAGE_BOX_ANSWER_NO;
    gSceneLoading = 1;
    harnessPostEvent(WINDOW_EVENT_KEY_DOWN, WINDOW_KEY_ESCAPE);
    harnessPumpEvents();
    harnessPumpEvents();
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    gSceneLoading = 0;

    harnessPostEvent(WINDOW_EVENT_KEY_DOWN, WINDOW_KEY_ESCAPE);
    harnessPumpEvents();   // the key posts a close ...
    harnessPumpEvents();   // ... which asks
    EXPECT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_FALSE(gHarness.quit);

    gHeadlessMessageBoxes.yesNoAnswer = MESSAGE_BOX_ANSWER_YES;
    harnessPostEvent(WINDOW_EVENT_KEY_DOWN, WINDOW_KEY_ESCAPE);
    harnessRunTicks(3);
    EXPECT_TRUE(gHarness.quit);
    harnessShutdown();
}

TEST(ShellWindow, ActivationFollowsMinimising) {
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    harnessPostEvent(WINDOW_EVENT_ACTIVATE, 0, 1);
    harnessPumpEvents();
    EXPECT_EQ(gAppActive, 0);
    int32_t ticks = gTickCounter;
    // While minimised the loop waits instead of running frames.
    for (int i = 0; i < 100; ++i) {
        clockVirtualAdvance(1000);
        messageLoopStep();
    }
    EXPECT_EQ(gTickCounter, ticks);
    harnessPostEvent(WINDOW_EVENT_ACTIVATE, 0, 0);   // deactivated, not minimised: still runs
    harnessPumpEvents();
    EXPECT_EQ(gAppActive, 1);
    harnessRunTicks(2);
    EXPECT_EQ(gTickCounter, ticks + 2);
    harnessShutdown();
}

struct AspectCase {
    int32_t edge;
    int32_t rect[4];
    int32_t want[4];
};

TEST(ShellWindow, AspectLockKeepsFourByThree) {
    const WindowMetrics m = {4, 19, 19};
    // Client width 640 - 8 = 632 -> height 474 + 8 + 19 + 19 = 520.
    const AspectCase CASES[] = {
        {WINDOW_EDGE_RIGHT, {100, 50, 740, 300}, {100, 50, 740, 570}},
        {WINDOW_EDGE_BOTTOM_RIGHT, {0, 0, 640, 10}, {0, 0, 640, 520}},
        {WINDOW_EDGE_BOTTOM, {0, 0, 640, 10}, {0, 0, 640, 520}},
        {WINDOW_EDGE_TOP, {0, 100, 640, 900}, {0, 380, 640, 900}},
        {WINDOW_EDGE_TOP_LEFT, {0, -300, 640, 200}, {0, 0, 640, 520}},   // above the screen: top at 0
    };
    for (const AspectCase& c : CASES) {
        int32_t rect[4] = {c.rect[0], c.rect[1], c.rect[2], c.rect[3]};
        applyAspectLock(c.edge, rect, m);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(rect[i], c.want[i]) << "edge " << c.edge << " side " << i;
    }
}

TEST(ShellWindow, MenuCommandsScaleAndToggleTheLock) {
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    const WindowMetrics m = gWindow->metrics();
    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_SCALE_300);
    harnessPumpEvents();
    int32_t x, y;
    gWindow->getPosition(&x, &y);
    EXPECT_EQ(gHeadlessWindow.rect[2] - gHeadlessWindow.rect[0], 1920 + 2 * m.frame);
    EXPECT_EQ(gHeadlessWindow.rect[3] - gHeadlessWindow.rect[1], 1440 + m.caption + m.menu + 2 * m.frame);
    EXPECT_EQ(gHeadlessWindow.rect[0], x);

    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_SCALE_50);
    harnessPumpEvents();
    EXPECT_EQ(gHeadlessWindow.rect[2] - gHeadlessWindow.rect[0], 320 + 2 * m.frame);

    EXPECT_EQ(gWindowAspectLock, 1);
    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_ASPECT_LOCK);
    harnessPumpEvents();
    EXPECT_EQ(gWindowAspectLock, 0);
    // Without the lock a drag is left as it is.
    int32_t before[4] = {gHeadlessWindow.rect[0], gHeadlessWindow.rect[1], gHeadlessWindow.rect[2], gHeadlessWindow.rect[3]};
    WindowEvent sizing = {};
    sizing.kind = WINDOW_EVENT_SIZING;
    sizing.a = WINDOW_EDGE_RIGHT;
    sizing.rect[0] = 0; sizing.rect[1] = 0; sizing.rect[2] = 500; sizing.rect[3] = 100;
    windowPostEvent(sizing);
    harnessPumpEvents();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gHeadlessWindow.rect[i], before[i]);

    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_ABOUT);
    harnessPumpEvents();
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "About");
    harnessShutdown();
}

TEST(ShellWindow, ReturnToTitleResetsTheScene) {
    ASSERT_EQ(harnessBoot(recordingOptions()), STARTUP_OK);
    gGameMode = GAME_MODE_DEPARTURE;
    gEventReady = 1;
    gBlackout = 1;
    startFadeOut(0, 17);
    gTitle.idleTicks = 500;
    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_RETURN_TO_TITLE);
    harnessPumpEvents();
    EXPECT_EQ(gGameMode, GAME_MODE_TITLE);
    EXPECT_EQ(gEventReady, 0);
    EXPECT_EQ(gBlackout, 0);
    EXPECT_EQ(gFadeState, 0);
    EXPECT_EQ(gTitle.idleTicks, 0);
    // The render targets were released and made again, and still work.
    EXPECT_NE(gRenderTargetSurfaces[0], nullptr);
    EXPECT_EQ(gGfxDevice->liveDefaultPoolTextures(), 2);
    harnessShutdown();
}

#include "platform/sdl_window.h"
#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

// Shift-JIS for 店を開けます。 and お知らせ (a notice).
const char SHOP_OPENS_SJIS[] = "\x93\x58\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB7\x81\x42";
const char NOTICE_SJIS[] = "\x82\xA8\x92\x6D\x82\xE7\x82\xB9";

static WindowEvent numberedEvent(int32_t n) { return WindowEvent{WINDOW_EVENT_COMMAND, n, 0, {0, 0, 0, 0}}; }

TEST(WindowQueue, KeepsOrderAndDropsNewestWhenFull) {
    windowClearEvents();
    for (int round = 0; round < 3; ++round) {   // later rounds start mid-ring
        for (int32_t n = 0; n < 1000; ++n) windowPostEvent(numberedEvent(n));
        WindowEvent e;
        int32_t popped = 0;
        while (windowPopEvent(&e)) {
            ASSERT_EQ(e.a, popped) << "round " << round;
            ++popped;
        }
        EXPECT_GT(popped, 8) << "round " << round;
        EXPECT_LT(popped, 1000) << "round " << round;
        windowPostEvent(numberedEvent(7));
        ASSERT_TRUE(windowPopEvent(&e));
        EXPECT_EQ(e.a, 7);
        EXPECT_FALSE(windowPopEvent(&e));
    }
}

TEST(WindowQueue, ClearEmptiesIt) {
    windowPostEvent(numberedEvent(1));
    windowPostEvent(numberedEvent(2));
    windowClearEvents();
    WindowEvent e;
    EXPECT_FALSE(windowPopEvent(&e));
}

TEST(WindowNoBackend, ShowMessageBoxAnswersTheDefaultAndLogs) {
    gWindow = nullptr;
    testing::internal::CaptureStderr();
    int32_t ok = showMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_OK);
    int32_t yes = showMessageBox("Quit?", "Tollivand", MESSAGE_BOX_YES_NO);
    std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ok, MESSAGE_BOX_ANSWER_OK);
    EXPECT_EQ(yes, MESSAGE_BOX_ANSWER_YES);
    EXPECT_EQ(written, "お知らせ: 店を開けます。\nTollivand: Quit?\n");
}

class WindowHeadless : public testing::Test {
protected:
    void SetUp() override {
        headlessWindowReset();
        gWindow = &WINDOW_HEADLESS;
    }
    void TearDown() override {
        gWindow = nullptr;
        headlessWindowReset();
    }
};

struct BoxPolicyCase {
    int32_t kind;
    int32_t yesNoAnswer;
    int32_t want;
};
const BoxPolicyCase BOX_POLICY_CASES[] = {
    {MESSAGE_BOX_OK, MESSAGE_BOX_ANSWER_NO, MESSAGE_BOX_ANSWER_OK},   // an OK box has one answer
    {MESSAGE_BOX_YES_NO, MESSAGE_BOX_ANSWER_YES, MESSAGE_BOX_ANSWER_YES},
    {MESSAGE_BOX_YES_NO, MESSAGE_BOX_ANSWER_NO, MESSAGE_BOX_ANSWER_NO},
};

TEST_F(WindowHeadless, MessageBoxesAreRecordedAndAnsweredByThePolicy) {
    EXPECT_EQ(gHeadlessMessageBoxes.yesNoAnswer, MESSAGE_BOX_ANSWER_YES);
    int32_t i = 0;
    for (const BoxPolicyCase& c : BOX_POLICY_CASES) {
        gHeadlessMessageBoxes.yesNoAnswer = c.yesNoAnswer;
        testing::internal::CaptureStderr();
        int32_t answer = showMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, c.kind);
        std::string written = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, c.want) << "case " << i;
        EXPECT_EQ(written, "お知らせ: 店を開けます。\n") << "case " << i;
        ASSERT_EQ(gHeadlessMessageBoxes.count, i + 1);
        const RecordedMessageBox& box = gHeadlessMessageBoxes.boxes[i];
        EXPECT_STREQ(box.caption, NOTICE_SJIS) << "case " << i;
        EXPECT_STREQ(box.text, SHOP_OPENS_SJIS) << "case " << i;
        EXPECT_EQ(box.kind, c.kind) << "case " << i;
        EXPECT_EQ(box.answer, c.want) << "case " << i;
        ++i;
    }
}

TEST_F(WindowHeadless, LongTextsAreCutBetweenCharacters) {
    // Two ASCII bytes put every double-byte character at an even offset, so a
    // byte-wise cut at the last byte of the record would split one.
    std::string text = "AA";
    std::string caption = "A";
    for (int i = 0; i < 400; ++i) {
        text += "\x82\xA0";
        caption += "\x82\xA0";
    }
    WINDOW_HEADLESS.messageBox(text.c_str(), caption.c_str(), MESSAGE_BOX_OK);
    const RecordedMessageBox& box = gHeadlessMessageBoxes.boxes[0];
    EXPECT_EQ(strlen(box.text), 510u);
    EXPECT_EQ(std::string(box.text), text.substr(0, 510));
    EXPECT_EQ(strlen(box.caption), 63u);
    EXPECT_EQ(std::string(box.caption), caption.substr(0, 63));
}

TEST_F(WindowHeadless, RecordStopsAtItsSizeButTotalCountsAll) {
    for (int i = 0; i < HEADLESS_MESSAGE_BOX_MAX + 6; ++i) WINDOW_HEADLESS.messageBox("x", "y", MESSAGE_BOX_OK);
    EXPECT_EQ(gHeadlessMessageBoxes.count, HEADLESS_MESSAGE_BOX_MAX);
    EXPECT_EQ(gHeadlessMessageBoxes.total, HEADLESS_MESSAGE_BOX_MAX + 6);
    headlessWindowReset();
    EXPECT_EQ(gHeadlessMessageBoxes.count, 0);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
}

TEST_F(WindowHeadless, MessageBoxFromALoaderThreadIsRecorded) {
    int32_t answer = 0;
    testing::internal::CaptureStderr();
    std::thread loader([&answer] { answer = showMessageBox("missing file", "Error", MESSAGE_BOX_YES_NO); });
    loader.join();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: missing file\n");
    EXPECT_EQ(answer, MESSAGE_BOX_ANSWER_YES);
    EXPECT_EQ(gHeadlessMessageBoxes.count, 1);
}

TEST_F(WindowHeadless, CreateFailsWhileToldUntilReset) {
    WindowDesc desc = {"t", 640, 480, false, false, 0, 0, nullptr, 0};
    headlessWindowSetCreateFails(true);
    EXPECT_FALSE(gWindow->create(desc));
    EXPECT_FALSE(gWindow->create(desc));
    EXPECT_FALSE(gWindow->exists());
    headlessWindowReset();
    EXPECT_TRUE(gWindow->create(desc));
    EXPECT_TRUE(gWindow->exists());
    gWindow->destroy();
    EXPECT_FALSE(gWindow->exists());
}

TEST_F(WindowHeadless, OuterAndClientSizesFollowTheMetrics) {
    WindowDesc desc = {NOTICE_SJIS, 640, 480, false, true, 10, 20, nullptr, 0};
    ASSERT_TRUE(gWindow->create(desc));
    WindowMetrics m = gWindow->metrics();
    ASSERT_GT(m.frame, 0);
    ASSERT_GT(m.caption, 0);
    ASSERT_GT(m.menu, 0);
    EXPECT_STREQ(gHeadlessWindow.title, NOTICE_SJIS);
    const int32_t wantRect[4] = {10, 20, 10 + 640 + 2 * m.frame, 20 + 480 + 2 * m.frame + m.caption + m.menu};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(gHeadlessWindow.rect[i], wantRect[i]) << "edge " << i;

    const int32_t dragged[4] = {100, 50, 100 + 800 + 2 * m.frame, 50 + 600 + 2 * m.frame + m.caption + m.menu};
    gWindow->setOuterRect(dragged);
    int32_t x = 0, y = 0, w = 0, h = 0;
    gWindow->getPosition(&x, &y);
    gWindow->getClientSize(&w, &h);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);

    gWindow->setClientSize(320, 240);
    EXPECT_EQ(gHeadlessWindow.rect[0], 100);
    EXPECT_EQ(gHeadlessWindow.rect[2], 100 + 320 + 2 * m.frame);
    EXPECT_EQ(gHeadlessWindow.rect[3], 50 + 240 + 2 * m.frame + m.caption + m.menu);
}

TEST_F(WindowHeadless, CheckedCommandsAreKeptAsASet) {
    gWindow->setCommandChecked(40, true);
    gWindow->setCommandChecked(41, true);
    gWindow->setCommandChecked(40, true);
    gWindow->setCommandChecked(40, false);
    gWindow->setCommandChecked(42, false);
    ASSERT_EQ(gHeadlessWindow.checkedCount, 1);
    EXPECT_EQ(gHeadlessWindow.checkedCommands[0], 41);
}

TEST_F(WindowHeadless, EventsComeOnlyFromTheQueue) {
    WindowEvent e;
    EXPECT_FALSE(gWindow->pollEvent(&e));
    windowPostEvent(WindowEvent{WINDOW_EVENT_QUIT, 3, 0, {0, 0, 0, 0}});
    ASSERT_TRUE(gWindow->pollEvent(&e));
    EXPECT_EQ(e.kind, WINDOW_EVENT_QUIT);
    EXPECT_EQ(e.a, 3);
}

// One SDL event pushed as if the system sent it, and the window event the
// shell should hear (kind NONE: nothing).
struct SdlEventCase {
    const char* name;
    uint32_t type;
    uint8_t windowEvent;
    SDL_Keycode sym;
    uint16_t mod;
    uint8_t repeat;
    int32_t wantKind;
    int32_t wantA;
    int32_t wantB;
};
const int32_t COMMAND_FULL_SCREEN = 101;
const int32_t COMMAND_HELP = 102;
const WindowShortcut SDL_TEST_SHORTCUTS[] = {
    {'f', WINDOW_MOD_ALT, COMMAND_FULL_SCREEN},
    {WINDOW_KEY_F1, WINDOW_MOD_NONE, COMMAND_HELP},
};
const SdlEventCase SDL_EVENT_CASES[] = {
    {"alt+f", SDL_KEYDOWN, 0, SDLK_f, KMOD_LALT, 0, WINDOW_EVENT_COMMAND, COMMAND_FULL_SCREEN, 0},
    {"f alone", SDL_KEYDOWN, 0, SDLK_f, KMOD_NONE, 0, WINDOW_EVENT_NONE, 0, 0},
    {"ctrl+alt+f", SDL_KEYDOWN, 0, SDLK_f, KMOD_LALT | KMOD_RCTRL, 0, WINDOW_EVENT_NONE, 0, 0},
    {"F1", SDL_KEYDOWN, 0, SDLK_F1, KMOD_NONE, 0, WINDOW_EVENT_COMMAND, COMMAND_HELP, 0},
    {"F2", SDL_KEYDOWN, 0, SDLK_F2, KMOD_NONE, 0, WINDOW_EVENT_NONE, 0, 0},
    {"escape", SDL_KEYDOWN, 0, SDLK_ESCAPE, KMOD_NONE, 0, WINDOW_EVENT_KEY_DOWN, WINDOW_KEY_ESCAPE, 0},
    {"escape held", SDL_KEYDOWN, 0, SDLK_ESCAPE, KMOD_NONE, 1, WINDOW_EVENT_NONE, 0, 0},
    {"focus lost", SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 0, WINDOW_EVENT_ACTIVATE, 0, 0},
    {"minimised", SDL_WINDOWEVENT, SDL_WINDOWEVENT_MINIMIZED, 0, 0, 0, WINDOW_EVENT_ACTIVATE, 0, 1},
    {"restored", SDL_WINDOWEVENT, SDL_WINDOWEVENT_RESTORED, 0, 0, 0, WINDOW_EVENT_ACTIVATE, 1, 0},
    {"focus gained", SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED, 0, 0, 0, WINDOW_EVENT_ACTIVATE, 1, 0},
    {"close button", SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE, 0, 0, 0, WINDOW_EVENT_CLOSE, 0, 0},
    {"quit signal", SDL_QUIT, 0, 0, 0, 0, WINDOW_EVENT_CLOSE, WINDOW_CLOSE_FORCED, 0},
};

static void pushSdlEvent(const SdlEventCase& c) {
    SDL_Event e = {};
    e.type = c.type;
    if (c.type == SDL_KEYDOWN) {
        e.key.windowID = SDL_GetWindowID(sdlMainWindow());
        e.key.state = SDL_PRESSED;
        e.key.repeat = c.repeat;
        e.key.keysym.sym = c.sym;
        e.key.keysym.mod = c.mod;
    } else if (c.type == SDL_WINDOWEVENT) {
        e.window.windowID = SDL_GetWindowID(sdlMainWindow());
        e.window.event = c.windowEvent;
    }
    SDL_PushEvent(&e);
}

static void drainEvents() {
    WindowEvent e;
    while (WINDOW_SDL.pollEvent(&e)) {
    }
}

TEST(WindowSdl, OffscreenWindowTranslatesEvents) {
    const char* oldDriver = getenv("SDL_VIDEODRIVER");
    std::string restore = oldDriver ? oldDriver : "";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    windowClearEvents();
    WindowDesc desc = {NOTICE_SJIS, 320, 240, false, false, 0, 0, SDL_TEST_SHORTCUTS, 2};
    bool created = WINDOW_SDL.create(desc);
    if (oldDriver)
        setenv("SDL_VIDEODRIVER", restore.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    if (!created) GTEST_SKIP() << "no offscreen SDL window: " << SDL_GetError();

    ASSERT_NE(sdlMainWindow(), nullptr);
    EXPECT_TRUE(WINDOW_SDL.exists());
    EXPECT_STREQ(SDL_GetWindowTitle(sdlMainWindow()), "お知らせ");
    WindowMetrics m = WINDOW_SDL.metrics();
    EXPECT_EQ(m.frame + m.caption + m.menu, 0);
    int32_t w = 0, h = 0;
    WINDOW_SDL.getClientSize(&w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);
    drainEvents();

    // Our own resize is no sizing drag.
    WINDOW_SDL.setClientSize(400, 300);
    WindowEvent e;
    while (WINDOW_SDL.pollEvent(&e)) EXPECT_NE(e.kind, WINDOW_EVENT_SIZING);
    WINDOW_SDL.getClientSize(&w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);

    // The user's is, with the client rectangle as the outer one.
    SDL_Event sized = {};
    sized.type = SDL_WINDOWEVENT;
    sized.window.windowID = SDL_GetWindowID(sdlMainWindow());
    sized.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    sized.window.data1 = 500;
    sized.window.data2 = 350;
    SDL_PushEvent(&sized);
    int32_t x = 0, y = 0;
    WINDOW_SDL.getPosition(&x, &y);
    ASSERT_TRUE(WINDOW_SDL.pollEvent(&e));
    EXPECT_EQ(e.kind, WINDOW_EVENT_SIZING);
    EXPECT_EQ(e.a, WINDOW_EDGE_BOTTOM_RIGHT);
    EXPECT_EQ(e.rect[0], x);
    EXPECT_EQ(e.rect[1], y);
    EXPECT_EQ(e.rect[2], x + 500);
    EXPECT_EQ(e.rect[3], y + 350);
    drainEvents();

    for (const SdlEventCase& c : SDL_EVENT_CASES) {
        pushSdlEvent(c);
        bool got = WINDOW_SDL.pollEvent(&e);
        if (c.wantKind == WINDOW_EVENT_NONE) {
            EXPECT_FALSE(got) << c.name << " gave kind " << e.kind;
            continue;
        }
        ASSERT_TRUE(got) << c.name;
        EXPECT_EQ(e.kind, c.wantKind) << c.name;
        EXPECT_EQ(e.a, c.wantA) << c.name;
        EXPECT_EQ(e.b, c.wantB) << c.name;
        EXPECT_FALSE(WINDOW_SDL.pollEvent(&e)) << c.name << " gave a second event";
    }

    // Off the main thread no box is shown; the caller gets the default.
    int32_t answer = 0;
    std::thread loader([&answer] { answer = WINDOW_SDL.messageBox("quit?", "t", MESSAGE_BOX_YES_NO); });
    loader.join();
    EXPECT_EQ(answer, MESSAGE_BOX_ANSWER_YES);

    WINDOW_SDL.destroy();
    EXPECT_EQ(sdlMainWindow(), nullptr);
    EXPECT_FALSE(WINDOW_SDL.exists());
}

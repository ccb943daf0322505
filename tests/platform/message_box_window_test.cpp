// A message box over the game's window on a real X display (an Xvfb this
// test starts): once the box is answered, the game's window draws again,
// and is active.
#include "platform/gfx.h"
#include "platform/sdl_window.h"
#include "platform/window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/platform/present_params.h"

namespace {

// An Xvfb of our own on a display number it picks; the name is empty when
// none could be started.
struct OwnDisplay {
    pid_t pid = -1;
    std::string name;
};

OwnDisplay startXvfb() {
    OwnDisplay display;
    int fds[2];
    if (pipe(fds) != 0) return display;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        int devNull = open("/dev/null", O_WRONLY);
        if (devNull >= 0) dup2(devNull, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
               (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return display;
    }
    display.pid = pid;
    char number[16] = {};
    size_t got = 0;
    while (got < sizeof number - 1) {
        ssize_t n = read(fds[0], number + got, 1);
        if (n <= 0 || number[got] == '\n') break;
        ++got;
    }
    close(fds[0]);
    number[got] = 0;
    if (got > 0) display.name = std::string(":") + number;
    return display;
}

void stopXvfb(OwnDisplay& display) {
    if (display.pid <= 0) return;
    kill(display.pid, SIGTERM);
    waitpid(display.pid, nullptr, 0);
    display.pid = -1;
}

// A pixel of the window's own framebuffer; GL numbers its rows bottom up.
uint32_t windowPixel(int32_t x, int32_t glRow) {
    uint32_t argb = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, glRow, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &argb);
    return argb;
}

// One frame of a flat colour, presented; the back buffer's middle pixel.
uint32_t drawFrame(GfxDevice* device, uint32_t argb) {
    if (device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, argb, 1.0f, 0) != GFX_OK) return 0;
    uint32_t back[160 * 120];
    if (!device->readBackBuffer(back, 160, 120)) return 0;
    if (device->present() != GFX_OK) return 0;
    return back[60 * 160 + 80];
}

void pushKey(SDL_Keycode sym, SDL_Scancode scancode) {
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    SDL_PushEvent(&e);
}

class MessageBoxWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const char* oldDisplay = getenv("DISPLAY");
        const char* oldDriver = getenv("SDL_VIDEODRIVER");
        mOldDisplay = oldDisplay ? oldDisplay : "";
        mOldDriver = oldDriver ? oldDriver : "";
        mHadDisplay = oldDisplay != nullptr;
        mHadDriver = oldDriver != nullptr;
        mDisplay = startXvfb();
        if (mDisplay.name.empty()) GTEST_SKIP() << "no Xvfb to show a box on";
        setenv("DISPLAY", mDisplay.name.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        gWindow = &WINDOW_SDL;
        windowClearEvents();
    }
    void TearDown() override {
        if (device) GFX_OPENGL.destroyDevice(device);
        GFX_OPENGL.close();
        WINDOW_SDL.destroy();
        gWindow = nullptr;
        windowClearEvents();
        stopXvfb(mDisplay);
        if (mHadDisplay) setenv("DISPLAY", mOldDisplay.c_str(), 1);
        else unsetenv("DISPLAY");
        if (mHadDriver) setenv("SDL_VIDEODRIVER", mOldDriver.c_str(), 1);
        else unsetenv("SDL_VIDEODRIVER");
    }
    // The answer to a box of this kind that key answers.
    int32_t answerBox(int32_t kind, SDL_Keycode sym, SDL_Scancode scancode) {
        pushKey(sym, scancode);
        return showMessageBox("The file could not be read.", "file not found", kind);
    }
    OwnDisplay mDisplay;
    std::string mOldDisplay, mOldDriver;
    bool mHadDisplay = false, mHadDriver = false;
    GfxDevice* device = nullptr;
};

TEST_F(MessageBoxWindow, TheGameDrawsAgainTheFrameAfterABox) {
    WindowDesc desc = {"game", 320, 240, false, false, 0, 0, nullptr, 0};
    ASSERT_TRUE(WINDOW_SDL.create(desc)) << SDL_GetError();
    ASSERT_TRUE(GFX_OPENGL.open());
    device = GFX_OPENGL.createDevice(presentParams(160, 120));
    ASSERT_NE(device, nullptr);
    device->setRenderState(GFX_RS_LIGHTING, 0);
    ASSERT_EQ(drawFrame(device, 0xFF0000FF), 0xFF0000FFu);
    EXPECT_EQ(windowPixel(160, 120), 0xFF0000FFu);

    struct Box {
        const char* name;
        int32_t kind;
        SDL_Keycode sym;
        SDL_Scancode scancode;
        int32_t want;
        uint32_t colourAfter;
    };
    const Box BOXES[] = {
        {"a missing file's box, Enter", MESSAGE_BOX_OK, SDLK_RETURN, SDL_SCANCODE_RETURN, MESSAGE_BOX_ANSWER_OK,
         0xFFFF0000},
        {"the quit question, Escape for No", MESSAGE_BOX_YES_NO, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE,
         MESSAGE_BOX_ANSWER_NO, 0xFF00FF00},
        {"the quit question, Enter for Yes", MESSAGE_BOX_YES_NO, SDLK_RETURN, SDL_SCANCODE_RETURN,
         MESSAGE_BOX_ANSWER_YES, 0xFFFFFF00},
    };
    for (const Box& box : BOXES) {
        SDL_GLContext before = SDL_GL_GetCurrentContext();
        EXPECT_EQ(answerBox(box.kind, box.sym, box.scancode), box.want) << box.name;
        EXPECT_EQ(SDL_GL_GetCurrentContext(), before) << box.name;
        EXPECT_EQ(SDL_GL_GetCurrentWindow(), sdlMainWindow()) << box.name;
        // The frame after the box: drawn, presented and on the window.
        EXPECT_EQ(drawFrame(device, box.colourAfter), box.colourAfter) << box.name;
        EXPECT_EQ(windowPixel(160, 120), box.colourAfter) << box.name;
        EXPECT_EQ(windowPixel(0, 0), box.colourAfter) << box.name;

        // The game is active again: it reads its keys and draws.
        bool active = false;
        WindowEvent e;
        while (WINDOW_SDL.pollEvent(&e))
            if (e.kind == WINDOW_EVENT_ACTIVATE) active = e.a == 1;
        EXPECT_TRUE(active) << box.name;
    }
}

}  // namespace

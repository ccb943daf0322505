// The windowed OpenGL backend on a real SDL window (SDL's offscreen driver,
// which still has OpenGL): it needs the window, and present shows the back
// buffer stretched over the window the right way up.
#include "platform/gfx.h"
#include "platform/sdl_window.h"
#include "platform/window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/platform/present_params.h"

namespace {

bool createOffscreenWindow(int32_t width, int32_t height) {
    const char* oldDriver = getenv("SDL_VIDEODRIVER");
    std::string restore = oldDriver ? oldDriver : "";
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    WindowDesc desc = {"gfx", width, height, false, false, 0, 0, nullptr, 0};
    bool created = WINDOW_SDL.create(desc);
    if (oldDriver)
        setenv("SDL_VIDEODRIVER", restore.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
    return created;
}

// A pixel of the window's own framebuffer; GL numbers its rows bottom up.
uint32_t windowPixel(int32_t x, int32_t glRow) {
    uint32_t argb = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, glRow, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &argb);
    return argb;
}

class GfxOpenGl : public ::testing::Test {
protected:
    void TearDown() override {
        if (device) GFX_OPENGL.destroyDevice(device);
        GFX_OPENGL.close();
        WINDOW_SDL.destroy();
    }
    GfxDevice* device = nullptr;
};

TEST_F(GfxOpenGl, NeedsTheWindow) {
    ASSERT_EQ(sdlMainWindow(), nullptr);
    EXPECT_FALSE(GFX_OPENGL.open());
    EXPECT_EQ(GFX_OPENGL.createDevice(presentParams(160, 120)), nullptr);
}

TEST_F(GfxOpenGl, PresentStretchesTheBackBufferOverTheWindow) {
    ASSERT_TRUE(createOffscreenWindow(320, 240)) << "no SDL window with OpenGL: " << SDL_GetError();
    ASSERT_TRUE(GFX_OPENGL.open());
    GfxDisplayMode mode = {};
    EXPECT_TRUE(GFX_OPENGL.getDisplayMode(&mode));
    EXPECT_EQ(mode.format, GFX_FORMAT_X8R8G8B8);
    device = GFX_OPENGL.createDevice(presentParams(160, 120));
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(GFX_OPENGL.createDevice(presentParams(160, 120)), nullptr) << "one device at a time";

    // Blue, with the upper half of clip space red.
    device->setRenderState(GFX_RS_LIGHTING, 0);
    ASSERT_EQ(device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), GFX_OK);
    glColor4ub(255, 0, 0, 255);
    glBegin(GL_TRIANGLES);
    glVertex3f(-1, 1, 0.5f), glVertex3f(1, 1, 0.5f), glVertex3f(1, 0, 0.5f);
    glVertex3f(-1, 1, 0.5f), glVertex3f(1, 0, 0.5f), glVertex3f(-1, 0, 0.5f);
    glEnd();
    uint32_t back[160 * 120];
    ASSERT_TRUE(device->readBackBuffer(back, 160, 120));
    EXPECT_EQ(back[80], 0xFFFF0000u);
    EXPECT_EQ(back[119 * 160 + 80], 0xFF0000FFu);

    ASSERT_EQ(device->present(), GFX_OK);
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(sdlMainWindow(), &width, &height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 240);
    EXPECT_EQ(windowPixel(160, 239), 0xFFFF0000u) << "the top row of the window";
    EXPECT_EQ(windowPixel(160, 125), 0xFFFF0000u) << "stretched to the middle";
    EXPECT_EQ(windowPixel(160, 114), 0xFF0000FFu);
    EXPECT_EQ(windowPixel(319, 0), 0xFF0000FFu) << "the bottom right corner";

    device->simulateDeviceLoss();
    EXPECT_EQ(device->present(), GFX_DEVICE_LOST);
}

}  // namespace

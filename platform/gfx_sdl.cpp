// platform/gfx_sdl.cpp: the windowed backend: the OpenGL device on a context
// of the SDL window (made by the window service with SDL_WINDOW_OPENGL).
// Present stretches the back buffer over the window's drawable and swaps.
#include "platform/gfx.h"
#include "platform/gfx_gl.h"
#include "platform/log.h"
#include "platform/sdl_window.h"

#include <SDL.h>

struct WindowGl {
    SDL_Window* window;   // the window the context draws into
    SDL_GLContext context;
    GfxDevice* device;
};
static WindowGl sWindowGl;

static void windowDrawableSize(int32_t* width, int32_t* height) {
    int w = 0;
    int h = 0;
    SDL_GL_GetDrawableSize(sWindowGl.window, &w, &h);
    *width = w;
    *height = h;
}

static void windowSwap() { SDL_GL_SwapWindow(sWindowGl.window); }

// Not every driver can wait for the display; the frame loop paces itself then.
static void windowSetVsync(bool on) { SDL_GL_SetSwapInterval(on ? 1 : 0); }

static const GlOutput WINDOW_OUTPUT = {windowDrawableSize, windowSwap, windowSetVsync};

// Graphics need the window: without one there is nothing to start.
static bool windowOpen() {
    if (!sdlMainWindow()) {
        logLine("gfx: no window to draw into");
        return false;
    }
    return true;
}

// SDL belongs to the window service and the context to the device: nothing
// is left to close.
static void windowClose() {}

static bool windowDisplayMode(GfxDisplayMode* out) {
    SDL_Window* window = sdlMainWindow();
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_DisplayMode mode;
    if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0) {
        logLine("gfx: no desktop display mode: %s", SDL_GetError());
        return false;
    }
    *out = GfxDisplayMode{mode.w, mode.h, GFX_FORMAT_X8R8G8B8};
    return true;
}

static GfxDevice* windowCreateDevice(const GfxPresentParams& params) {
    SDL_Window* window = sdlMainWindow();
    if (!window || sWindowGl.device) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GLContext context = SDL_GL_CreateContext(window);   // current from here on
    if (!context) {
        logLine("gfx: cannot create an OpenGL context: %s", SDL_GetError());
        return nullptr;
    }
    glKeepDriverLoaded();
    sWindowGl = WindowGl{window, context, nullptr};
    sWindowGl.device = glDeviceCreate(params, &WINDOW_OUTPUT);
    if (!sWindowGl.device) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        sWindowGl = WindowGl{};
    }
    return sWindowGl.device;
}

static void windowDestroyDevice(GfxDevice* device) {
    if (!device || device != sWindowGl.device) return;
    glDeviceDestroy(device);
    SDL_GL_MakeCurrent(sWindowGl.window, nullptr);
    SDL_GL_DeleteContext(sWindowGl.context);
    sWindowGl = WindowGl{};
}

const GfxBackend GFX_OPENGL = {
    "opengl", windowOpen, windowClose, windowDisplayMode, windowCreateDevice, windowDestroyDevice,
};

// The real window: one SDL window the OpenGL device draws into, SDL events
// turned into the shell's window events, and message boxes through SDL.
// SDL sizes are client sizes, so the metrics are all zero and an outer
// rectangle is the client rectangle.
#include "platform/sdl_window.h"
#include "platform/window.h"

#include "platform/log.h"
#include "platform/sjis.h"
#include "platform/thread.h"

#include <SDL.h>

constexpr int WINDOW_SDL_SHORTCUT_MAX = 32;
constexpr int WINDOW_SDL_CHECKED_MAX = 32;
constexpr Uint32 WINDOW_SDL_SUBSYSTEMS = SDL_INIT_VIDEO | SDL_INIT_EVENTS;

struct SdlWindowState {
    SDL_Window* window;
    WindowShortcut shortcuts[WINDOW_SDL_SHORTCUT_MAX];
    int32_t shortcutCount;
    // Size our own resize asked for: its size-changed event is not the user's.
    bool ownResizePending;
    int32_t ownResizeW;
    int32_t ownResizeH;
    // No menu is drawn; the checks are kept for when one is.
    int32_t checkedCommands[WINDOW_SDL_CHECKED_MAX];
    int32_t checkedCount;
};
static SdlWindowState sSdl;

SDL_Window* sdlMainWindow() { return sSdl.window; }

static bool sdlCreate(const WindowDesc& desc) {
    if (sSdl.window) return false;
    // A close click is one request: without this SDL follows it with a quit.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(WINDOW_SDL_SUBSYSTEMS) != 0) {
        logLine("SDL video: %s", SDL_GetError());
        return false;
    }
    // The OpenGL device's context is made on this window, so its attributes
    // must be in place before the window exists.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    char title[512];
    sjisToUtf8(desc.title, title, sizeof title);
    Uint32 flags = SDL_WINDOW_OPENGL | (desc.fullScreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE);
    int x = desc.usePosition ? desc.x : (int)SDL_WINDOWPOS_UNDEFINED;
    int y = desc.usePosition ? desc.y : (int)SDL_WINDOWPOS_UNDEFINED;
    sSdl.window = SDL_CreateWindow(title, x, y, desc.clientWidth, desc.clientHeight, flags);
    if (!sSdl.window) {
        logLine("SDL window: %s", SDL_GetError());
        SDL_QuitSubSystem(WINDOW_SDL_SUBSYSTEMS);
        return false;
    }
    sSdl.shortcutCount = 0;
    for (int32_t i = 0; i < desc.shortcutCount && i < WINDOW_SDL_SHORTCUT_MAX; ++i)
        sSdl.shortcuts[sSdl.shortcutCount++] = desc.shortcuts[i];
    sSdl.ownResizePending = false;
    sSdl.checkedCount = 0;
    return true;
}

static void sdlDestroy() {
    if (!sSdl.window) return;
    SDL_DestroyWindow(sSdl.window);
    sSdl.window = nullptr;
    SDL_QuitSubSystem(WINDOW_SDL_SUBSYSTEMS);
}

static bool sdlExists() { return sSdl.window != nullptr; }

static void postSimple(int32_t kind, int32_t a, int32_t b) {
    WindowEvent event = {kind, a, b, {0, 0, 0, 0}};
    windowPostEvent(event);
}

// Letters and digits are their own (lower-case) key codes in SDL; F1..F12
// are consecutive. Anything else is no shortcut key.
static int32_t shortcutKey(SDL_Keycode sym) {
    if ((sym >= SDLK_a && sym <= SDLK_z) || (sym >= SDLK_0 && sym <= SDLK_9)) return (int32_t)sym;
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return WINDOW_KEY_F1 + (int32_t)(sym - SDLK_F1);
    return 0;
}

static uint32_t shortcutMods(Uint16 mod) {
    uint32_t mods = WINDOW_MOD_NONE;
    if (mod & KMOD_CTRL) mods |= WINDOW_MOD_CTRL;
    if (mod & KMOD_ALT) mods |= WINDOW_MOD_ALT;
    if (mod & KMOD_SHIFT) mods |= WINDOW_MOD_SHIFT;
    return mods;
}

// Held keys repeat; a command runs once per press.
static void translateKey(const SDL_KeyboardEvent& key) {
    if (key.repeat) return;
    if (key.keysym.sym == SDLK_ESCAPE) {
        postSimple(WINDOW_EVENT_KEY_DOWN, WINDOW_KEY_ESCAPE, 0);
        return;
    }
    int32_t code = shortcutKey(key.keysym.sym);
    if (code == 0) return;
    uint32_t mods = shortcutMods(key.keysym.mod);
    for (int32_t i = 0; i < sSdl.shortcutCount; ++i) {
        if (sSdl.shortcuts[i].key == code && sSdl.shortcuts[i].mods == mods) {
            postSimple(WINDOW_EVENT_COMMAND, sSdl.shortcuts[i].command, 0);
            return;
        }
    }
}

static void translateSizeChanged(int32_t w, int32_t h) {
    if (sSdl.ownResizePending && w == sSdl.ownResizeW && h == sSdl.ownResizeH) {
        sSdl.ownResizePending = false;
        return;
    }
    if (SDL_GetWindowFlags(sSdl.window) & SDL_WINDOW_FULLSCREEN) return;
    int x = 0, y = 0;
    SDL_GetWindowPosition(sSdl.window, &x, &y);
    WindowEvent event = {WINDOW_EVENT_SIZING, WINDOW_EDGE_BOTTOM_RIGHT, 0, {x, y, x + w, y + h}};
    windowPostEvent(event);
}

static void translate(const SDL_Event& e) {
    if (e.type == SDL_QUIT) {
        // Only a signal (SIGINT, SIGTERM) raises this: close without asking.
        postSimple(WINDOW_EVENT_CLOSE, WINDOW_CLOSE_FORCED, 0);
    } else if (e.type == SDL_KEYDOWN) {
        translateKey(e.key);
    } else if (e.type == SDL_WINDOWEVENT) {
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: postSimple(WINDOW_EVENT_CLOSE, 0, 0); break;
        case SDL_WINDOWEVENT_MINIMIZED: postSimple(WINDOW_EVENT_ACTIVATE, 0, 1); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_FOCUS_GAINED: postSimple(WINDOW_EVENT_ACTIVATE, 1, 0); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: postSimple(WINDOW_EVENT_ACTIVATE, 0, 0); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: translateSizeChanged(e.window.data1, e.window.data2); break;
        default: break;
        }
    }
}

static bool sdlPollEvent(WindowEvent* out) {
    SDL_Event e;
    if (sSdl.window) {
        while (SDL_PollEvent(&e)) translate(e);
    }
    return windowPopEvent(out);
}

static void sdlWaitEvent() {
    SDL_Event e;
    if (sSdl.window && SDL_WaitEventTimeout(&e, 100)) translate(e);
}

static void resizeOwn(int32_t width, int32_t height) {
    int w = 0, h = 0;
    SDL_GetWindowSize(sSdl.window, &w, &h);
    if (w == width && h == height) return;   // SDL reports no change, so expect none
    sSdl.ownResizePending = true;
    sSdl.ownResizeW = width;
    sSdl.ownResizeH = height;
    SDL_SetWindowSize(sSdl.window, width, height);
}

static void sdlSetClientSize(int32_t width, int32_t height) {
    if (sSdl.window) resizeOwn(width, height);
}

static void sdlSetOuterRect(const int32_t rect[4]) {
    if (!sSdl.window) return;
    SDL_SetWindowPosition(sSdl.window, rect[0], rect[1]);
    resizeOwn(rect[2] - rect[0], rect[3] - rect[1]);
}

static void sdlGetPosition(int32_t* x, int32_t* y) {
    int px = 0, py = 0;
    if (sSdl.window) SDL_GetWindowPosition(sSdl.window, &px, &py);
    *x = px;
    *y = py;
}

static void sdlGetClientSize(int32_t* width, int32_t* height) {
    int w = 0, h = 0;
    if (sSdl.window) SDL_GetWindowSize(sSdl.window, &w, &h);
    *width = w;
    *height = h;
}

static void sdlSetCommandChecked(int32_t command, bool checked) {
    int32_t at = 0;
    while (at < sSdl.checkedCount && sSdl.checkedCommands[at] != command) ++at;
    if (checked && at == sSdl.checkedCount && sSdl.checkedCount < WINDOW_SDL_CHECKED_MAX)
        sSdl.checkedCommands[sSdl.checkedCount++] = command;
    if (!checked && at < sSdl.checkedCount) sSdl.checkedCommands[at] = sSdl.checkedCommands[--sSdl.checkedCount];
}

static WindowMetrics sdlMetrics() { return WindowMetrics{0, 0, 0}; }

// A box is modal on the main thread only; elsewhere, or with no display to
// show it on, the caller gets the default answer (the text is already on
// stderr).
static int32_t sdlMessageBox(const char* text, const char* caption, int32_t kind) {
    bool yesNo = kind == MESSAGE_BOX_YES_NO;
    int32_t fallback = yesNo ? MESSAGE_BOX_ANSWER_YES : MESSAGE_BOX_ANSWER_OK;
    if (!threadIsMain()) return fallback;
    char textUtf8[2048];
    char captionUtf8[256];
    sjisToUtf8(text, textUtf8, sizeof textUtf8);
    sjisToUtf8(caption, captionUtf8, sizeof captionUtf8);
    const Uint32 RETURN_KEY = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 ESCAPE_KEY = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    const SDL_MessageBoxButtonData OK_BUTTONS[] = {{RETURN_KEY | ESCAPE_KEY, MESSAGE_BOX_ANSWER_OK, "OK"}};
    const SDL_MessageBoxButtonData YES_NO_BUTTONS[] = {
        {RETURN_KEY, MESSAGE_BOX_ANSWER_YES, "Yes"},
        {ESCAPE_KEY, MESSAGE_BOX_ANSWER_NO, "No"},
    };
    SDL_MessageBoxData data = {};
    data.flags = SDL_MESSAGEBOX_INFORMATION;
    data.window = sSdl.window;
    data.title = captionUtf8;
    data.message = textUtf8;
    data.numbuttons = yesNo ? 2 : 1;
    data.buttons = yesNo ? YES_NO_BUTTONS : OK_BUTTONS;
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return fallback;
    // Closing the box without a button counts as its escape button.
    if (pressed < 0) return yesNo ? MESSAGE_BOX_ANSWER_NO : MESSAGE_BOX_ANSWER_OK;
    return pressed;
}

const WindowBackend WINDOW_SDL = {
    "sdl",
    sdlCreate,
    sdlDestroy,
    sdlExists,
    sdlPollEvent,
    sdlWaitEvent,
    sdlSetClientSize,
    sdlSetOuterRect,
    sdlGetPosition,
    sdlGetClientSize,
    sdlSetCommandChecked,
    sdlMetrics,
    sdlMessageBox,
};

// The real window: one SDL window the OpenGL device draws into, SDL events
// turned into the shell's window events, and message boxes in windows of
// their own, drawn by the shared box renderer.
// SDL sizes are client sizes, so the metrics are all zero and an outer
// rectangle is the client rectangle.
#include "platform/sdl_window.h"
#include "platform/window.h"

#include "platform/log.h"
#include "platform/message_box.h"
#include "platform/sjis.h"
#include "platform/thread.h"

#include <SDL.h>

#include <cstring>

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
    // A signal has asked the program to end; kept to the end of the process.
    bool quitBySignal;
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
        sSdl.quitBySignal = true;
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

// SDL's own box: only when ours cannot be made. Its X11 box has no Japanese
// glyphs and hears no signal, so it is the last resort.
static int32_t showSdlBox(const char* textUtf8, const char* captionUtf8, int32_t kind) {
    bool yesNo = kind == MESSAGE_BOX_YES_NO;
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
    if (SDL_ShowMessageBox(&data, &pressed) != 0) return yesNo ? MESSAGE_BOX_ANSWER_YES : MESSAGE_BOX_ANSWER_OK;
    // Closing the box without a button counts as its escape button.
    if (pressed < 0) return messageBoxCancelAnswer(kind);
    return pressed;
}

static bool presentBox(SDL_Window* box, MessageBoxPicture& picture) {
    SDL_Surface* target = SDL_GetWindowSurface(box);
    if (!target) return false;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(picture.pixels.data(), picture.width, picture.height, 32,
                                                             picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!source) return false;
    bool shown = SDL_BlitSurface(source, nullptr, target, nullptr) == 0 && SDL_UpdateWindowSurface(box) == 0;
    SDL_FreeSurface(source);
    return shown;
}

static MessageBoxKey boxKey(const SDL_Keysym& key, bool* known) {
    *known = true;
    switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE: return MESSAGE_BOX_KEY_CHOOSE;
    case SDLK_ESCAPE: return MESSAGE_BOX_KEY_CANCEL;
    case SDLK_TAB: return (key.mod & KMOD_SHIFT) ? MESSAGE_BOX_KEY_PREVIOUS : MESSAGE_BOX_KEY_NEXT;
    case SDLK_RIGHT:
    case SDLK_DOWN: return MESSAGE_BOX_KEY_NEXT;
    case SDLK_LEFT:
    case SDLK_UP: return MESSAGE_BOX_KEY_PREVIOUS;
    default: *known = false; return MESSAGE_BOX_KEY_CANCEL;
    }
}

struct OwnBox {
    const char* text;
    const char* caption;
    int32_t kind;
    int32_t screenW;
    int32_t screenH;
    SDL_Window* window;
    Uint32 id;
    MessageBoxPicture picture;
    int32_t pressed;   // the button a click began on, or -1
};

static void refocus(OwnBox& box, int32_t focus) {
    if (focus == box.picture.focus) return;
    drawMessageBox(box.text, box.caption, box.kind, focus, box.screenW, box.screenH, &box.picture);
    presentBox(box.window, box.picture);
}

// One event while our box is up; returns the answer once there is one.
static int32_t boxEvent(OwnBox& box, const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        // A signal: the box goes as if cancelled and the program ends, with
        // no question asked on the way.
        sSdl.quitBySignal = true;
        postSimple(WINDOW_EVENT_CLOSE, WINDOW_CLOSE_FORCED, 0);
        return messageBoxCancelAnswer(box.kind);
    case SDL_KEYDOWN: {
        bool known = false;
        MessageBoxKey key = boxKey(e.key.keysym, &known);
        // A key held since before the box came up must not answer it.
        if (!known || (e.key.repeat && key == MESSAGE_BOX_KEY_CHOOSE)) return 0;
        int32_t focus = box.picture.focus;
        int32_t answer = messageBoxKey(box.kind, &focus, key);
        if (answer == 0) refocus(box, focus);
        return answer;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (e.button.windowID != box.id || e.button.button != SDL_BUTTON_LEFT) return 0;
        box.pressed = messageBoxButtonAt(box.picture, e.button.x, e.button.y);
        if (box.pressed >= 0) refocus(box, box.pressed);
        return 0;
    case SDL_MOUSEBUTTONUP: {
        if (e.button.windowID != box.id || e.button.button != SDL_BUTTON_LEFT) return 0;
        int32_t released = messageBoxButtonAt(box.picture, e.button.x, e.button.y);
        bool clicked = released >= 0 && released == box.pressed;
        box.pressed = -1;
        return clicked ? box.picture.buttons[released].answer : 0;
    }
    case SDL_WINDOWEVENT:
        if (e.window.windowID == box.id) {
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) return messageBoxCancelAnswer(box.kind);
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
                e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                presentBox(box.window, box.picture);
        } else if (e.window.event != SDL_WINDOWEVENT_CLOSE) {
            // The main window keeps its activation and sizes; it cannot be
            // closed while the box is up.
            translate(e);
        }
        return 0;
    default: return 0;
    }
}

// Our box, drawn by the shared renderer in a window of its own. False when
// that window cannot be made.
static bool showOwnBox(const char* text, const char* caption, int32_t kind, int32_t* answer) {
    int display = sSdl.window ? SDL_GetWindowDisplayIndex(sSdl.window) : 0;
    if (display < 0) display = 0;
    SDL_Rect usable = {0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(display, &usable) != 0) usable = SDL_Rect{0, 0, 1024, 768};
    OwnBox box = {text, caption, kind, usable.w, usable.h, nullptr, 0, {}, -1};
    drawMessageBox(text, caption, kind, 0, box.screenW, box.screenH, &box.picture);

    char captionUtf8[256];
    sjisToUtf8(caption, captionUtf8, sizeof captionUtf8);
    box.window = SDL_CreateWindow(captionUtf8, (int)SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                  (int)SDL_WINDOWPOS_CENTERED_DISPLAY(display), box.picture.width,
                                  box.picture.height, SDL_WINDOW_SHOWN | SDL_WINDOW_SKIP_TASKBAR);
    if (!box.window) {
        logLine("SDL message box window: %s", SDL_GetError());
        return false;
    }
    if (!presentBox(box.window, box.picture)) {
        logLine("SDL message box surface: %s", SDL_GetError());
        SDL_DestroyWindow(box.window);
        return false;
    }
    if (sSdl.window) SDL_SetWindowModalFor(box.window, sSdl.window);
    SDL_RaiseWindow(box.window);
    box.id = SDL_GetWindowID(box.window);
    *answer = 0;
    while (*answer == 0) {
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, 100)) *answer = boxEvent(box, e);
    }
    SDL_DestroyWindow(box.window);
    return true;
}

// What a box takes from the game while it is up: the drawing context that
// is current and the keyboard focus.
struct GameSide {
    SDL_Window* glWindow;
    SDL_GLContext glContext;
};

static GameSide takeGameSide() { return GameSide{SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext()}; }

// The game gets back its context, its window in front and active, and a
// keyboard with nothing held: the key that answered the box is still down
// and must not act in the game as a new press.
static void giveBackGameSide(const GameSide& side) {
    if (side.glContext && SDL_GL_MakeCurrent(side.glWindow, side.glContext) != 0)
        logLine("SDL message box: the drawing context is lost: %s", SDL_GetError());
    SDL_ResetKeyboard();
    if (!sSdl.window) return;
    // What the box's going left behind (its focus leaving the game) comes
    // first; then the game has the focus back and is active, whether or not
    // a window manager hands the focus on by itself.
    SDL_Event e;
    SDL_PumpEvents();
    while (SDL_PollEvent(&e)) translate(e);
    if (SDL_GetWindowFlags(sSdl.window) & SDL_WINDOW_MINIMIZED) return;
    SDL_RaiseWindow(sSdl.window);
    SDL_SetWindowInputFocus(sSdl.window);
    postSimple(WINDOW_EVENT_ACTIVATE, 1, 0);
}

// A box is modal on the main thread only; elsewhere, or with no display to
// show it on, the caller gets the default answer (the text is already on
// stderr). Once a signal has asked the program to end, every box answers as
// if cancelled at once, so the quit is not held up.
static int32_t sdlMessageBox(const char* text, const char* caption, int32_t kind) {
    int32_t fallback = kind == MESSAGE_BOX_YES_NO ? MESSAGE_BOX_ANSWER_YES : MESSAGE_BOX_ANSWER_OK;
    if (!threadIsMain()) return fallback;
    if (sSdl.quitBySignal) return messageBoxCancelAnswer(kind);
    // A box may come before the main window or after it: SDL is started for
    // it (counted, so the window's own start is kept).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(WINDOW_SDL_SUBSYSTEMS) != 0) return fallback;
    // No one can see or answer a window on these drivers.
    const char* driver = SDL_GetCurrentVideoDriver();
    int32_t answer = fallback;
    if (driver && strcmp(driver, "offscreen") != 0 && strcmp(driver, "dummy") != 0) {
        // The box's picture goes to its window through a plain surface: an
        // accelerated one would make a drawing context of its own current
        // and leave none to the game once the box is gone.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        GameSide side = takeGameSide();
        if (!showOwnBox(text, caption, kind, &answer)) {
            char textUtf8[2048];
            char captionUtf8[256];
            sjisToUtf8(text, textUtf8, sizeof textUtf8);
            sjisToUtf8(caption, captionUtf8, sizeof captionUtf8);
            answer = showSdlBox(textUtf8, captionUtf8, kind);
        }
        giveBackGameSide(side);
    }
    SDL_QuitSubSystem(WINDOW_SDL_SUBSYSTEMS);
    return answer;
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

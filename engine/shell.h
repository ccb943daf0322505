// engine/shell.h: the program's outermost frame: start-up in its fixed order,
// the message loop, the window's event handling and shut-down.
// The real program runs winMain; the headless harness runs the same pieces
// (startupApp, messageLoopStep, shutdownAfterLoop) under a virtual clock.
#pragma once
#include <cstdint>

#include "engine/math.h"
#include "platform/gfx.h"
#include "platform/gfx_light.h"
#include "platform/window.h"

// Menu commands, reached through keyboard shortcuts.
enum MenuCommand : int32_t {
    MENU_EXIT = 40002,
    MENU_RETURN_TO_TITLE = 40003,
    MENU_ASPECT_LOCK = 40004,
    MENU_SCALE_50 = 40005,
    MENU_SCALE_100 = 40006,
    MENU_SCALE_150 = 40007,
    MENU_SCALE_200 = 40008,
    MENU_SCALE_300 = 40009,
    MENU_ABOUT = 40010,
    MENU_SAVE_EFFECTS_2 = 40011,
    MENU_SAVE_EFFECTS_3 = 40012,
    MENU_SAVE_EFFECTS_4 = 40013,
};

struct CameraState {
    Vector3 eye;
    Vector3 target;
    GfxLight light;
    float yaw;
    float fov;          // degrees
    GfxMaterial material;
    Matrix4 view;
    Matrix4 projection;
};
extern CameraState gCamera;

extern int32_t gAppActive;                 // 1 while the window is not minimised
extern const GfxBackend* gDirect3D;        // the graphics backend once opened
extern GfxDevice* gD3DDevice;
extern GfxPresentParams gPresentParams;    // created with and reset with
extern GfxDisplayMode gDisplayMode;
extern int32_t gDeviceOk;                  // 0 from a lost present until a good reset
extern GfxTexture* gRenderTargetTextures[2];   // 0: screen-size copy, 1: 1280 x 256
extern GfxSurface* gRenderTargetSurfaces[2];
extern int32_t gMakeFont;                  // the configuration asks to build the font files
extern char gModuleDir[512];               // the game folder, with a trailing '/'
extern int32_t gModuleDirLength;

extern const WindowShortcut MENU_SHORTCUTS[];
extern const int32_t MENU_SHORTCUT_COUNT;

// The order start-up and shut-down ran their steps in, for the tests.
constexpr int SHELL_TRACE_MAX = 64;
struct ShellTrace {
    const char* steps[SHELL_TRACE_MAX];
    int32_t count;
};
extern ShellTrace gShellTrace;

enum StartupResult : int32_t {
    STARTUP_OK = 0,
    STARTUP_NO_WINDOW,     // nothing else was made; exit at once
    STARTUP_NO_ARCHIVE,    // shut down without writing the settings
    STARTUP_NO_GRAPHICS,   // message shown; full shut-down
};

int winMain();
// gameDir: the folder holding the program's data and settings (with or
// without a trailing '/'); null means the program's own folder.
StartupResult startupApp(const char* gameDir);
// One turn of the message loop: one event, or one frame, or a wait.
// False once the quit event has been taken.
bool messageLoopStep();
int32_t shutdownAfterLoop(StartupResult result);

bool createMainWindow();
void mainWndProc(const WindowEvent& event);
int initDirect3D();
void setDefaultCamera();
int createRenderTargets();
void releaseRenderTargets();
void prepareSkinnedModels();
int shutdownApp();
void returnToTitle();
const char* getModuleDir();
void writeDebugLog(const char* text);
// The window's outer rectangle for a drag with the aspect lock on.
void applyAspectLock(int32_t edge, int32_t rect[4], const WindowMetrics& metrics);

// platform/gfx_gl.h: inside platform/ only: the OpenGL device both OpenGL
// backends share. The backend makes its context current, then creates the
// device; the context stays current until the device is destroyed.
#pragma once
#include "platform/gfx.h"

// Where a presented frame goes. The windowed backend fills it in; the
// headless one passes none and present shows nothing.
struct GlOutput {
    void (*drawableSize)(int32_t* width, int32_t* height);
    void (*swap)();
    void (*setVsync)(bool on);
};

// Null when the context lacks OpenGL 2.1 with framebuffer objects or the back
// buffer cannot be made.
GfxDevice* glDeviceCreate(const GfxPresentParams& params, const GlOutput* output);
// Deletes every OpenGL object the device made; the context must be current.
void glDeviceDestroy(GfxDevice* device);

// Whether a space-separated extension list names this extension.
bool glExtensionListHas(const char* list, const char* name);
// Keeps the OpenGL drivers loaded now mapped until the process ends; called
// once a backend's driver is loaded. Mesa unloads its driver when the display
// or context library goes, and the driver's own caches are lost with it: a
// little memory on every open and close, which leak checkers report. Kept
// mapped, the next open finds the driver again, caches and all.
void glKeepDriverLoaded();

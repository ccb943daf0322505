// platform/gfx_egl.cpp: the headless backend: the OpenGL device on an EGL
// context with no surface at all (Mesa's surfaceless platform, software
// rendering), so it runs with no display server. It draws only into the
// device's off-screen back buffer; nothing is ever shown.
#include "platform/gfx.h"
#include "platform/gfx_gl.h"
#include "platform/log.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

struct HeadlessGl {
    EGLDisplay display;
    EGLContext context;
    GfxDevice* device;
};
static HeadlessGl sHeadless = {EGL_NO_DISPLAY, EGL_NO_CONTEXT, nullptr};

static bool headlessOpen() {
    if (sHeadless.display != EGL_NO_DISPLAY) return true;
    if (!glExtensionListHas(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_MESA_platform_surfaceless")) {
        logLine("gfx: EGL has no surfaceless platform");
        return false;
    }
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        logLine("gfx: cannot open a surfaceless EGL display (EGL error 0x%x)", (unsigned)eglGetError());
        return false;
    }
    if (!glExtensionListHas(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context")) {
        logLine("gfx: EGL %d.%d cannot make a context current without a surface", (int)major, (int)minor);
        eglTerminate(display);
        return false;
    }
    glKeepDriverLoaded();
    sHeadless.display = display;
    return true;
}

static void headlessClose() {
    if (sHeadless.display == EGL_NO_DISPLAY) return;
    eglTerminate(sHeadless.display);
    eglReleaseThread();
    sHeadless.display = EGL_NO_DISPLAY;
}

static bool headlessDisplayMode(GfxDisplayMode* out) {
    *out = GfxDisplayMode{640, 480, GFX_FORMAT_X8R8G8B8};
    return true;
}

static void dropContext() {
    eglMakeCurrent(sHeadless.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(sHeadless.display, sHeadless.context);
    sHeadless.context = EGL_NO_CONTEXT;
}

// One device at a time, after open. The context asks for no version, which
// gives the newest compatibility profile.
static GfxDevice* headlessCreateDevice(const GfxPresentParams& params) {
    if (sHeadless.display == EGL_NO_DISPLAY || sHeadless.device) return nullptr;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglBindAPI(EGL_OPENGL_API) ||
        !eglChooseConfig(sHeadless.display, configAttribs, &config, 1, &configCount) || configCount < 1) {
        logLine("gfx: EGL offers no OpenGL configuration (EGL error 0x%x)", (unsigned)eglGetError());
        return nullptr;
    }
    sHeadless.context = eglCreateContext(sHeadless.display, config, EGL_NO_CONTEXT, nullptr);
    if (sHeadless.context == EGL_NO_CONTEXT) {
        logLine("gfx: cannot create an EGL OpenGL context (EGL error 0x%x)", (unsigned)eglGetError());
        return nullptr;
    }
    if (!eglMakeCurrent(sHeadless.display, EGL_NO_SURFACE, EGL_NO_SURFACE, sHeadless.context)) {
        logLine("gfx: cannot make the EGL context current (EGL error 0x%x)", (unsigned)eglGetError());
        dropContext();
        return nullptr;
    }
    sHeadless.device = glDeviceCreate(params, nullptr);
    if (!sHeadless.device) dropContext();
    return sHeadless.device;
}

static void headlessDestroyDevice(GfxDevice* device) {
    if (!device || device != sHeadless.device) return;
    glDeviceDestroy(device);
    sHeadless.device = nullptr;
    dropContext();
}

const GfxBackend GFX_HEADLESS = {
    "headless", headlessOpen, headlessClose, headlessDisplayMode, headlessCreateDevice, headlessDestroyDevice,
};

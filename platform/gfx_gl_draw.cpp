// platform/gfx_gl_draw.cpp: the OpenGL device's drawing and lifetime:
// user-pointer draws, the pre-transformed vertex path, clear, scenes,
// present and the back buffer; the context check, creation, reset and
// destruction.
#include "platform/gfx_gl_device.h"

#include "platform/log.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <new>

// Indexed by GfxPrimitive.
const GLenum GL_PRIMITIVE_MODES[] = {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
static_assert(sizeof GL_PRIMITIVE_MODES / sizeof GL_PRIMITIVE_MODES[0] == GFX_PT_TRIANGLEFAN + 1);

static bool formatHasAlpha(GfxFormat format) {
    return format == GFX_FORMAT_A8R8G8B8 || format == GFX_FORMAT_A1R5G5B5 || format == GFX_FORMAT_A4R4G4B4;
}

// Set at start-up by the program or the test harness.
const GfxBackend* gGfxBackend = nullptr;

bool glExtensionListHas(const char* list, const char* name) {
    size_t length = strlen(name);
    for (const char* at = list ? strstr(list, name) : nullptr; at; at = strstr(at + length, name)) {
        bool starts = at == list || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return true;
    }
    return false;
}

static int keepDriverMapped(dl_phdr_info* info, size_t, void*) {
    const char* name = info->dlpi_name;
    size_t length = strlen(name);
    if (length > 7 && strcmp(name + length - 7, "_dri.so") == 0) {
        void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        if (handle) dlclose(handle);
    }
    return 0;
}

void glKeepDriverLoaded() { dl_iterate_phdr(keepDriverMapped, nullptr); }

// The device needs GL 2.1 fixed function plus framebuffer objects (core in
// 3.0); a core-profile context has no fixed function.
static bool contextUsable() {
    const char* version = (const char*)glGetString(GL_VERSION);
    if (!version) {
        logLine("gfx: no OpenGL context is current");
        return false;
    }
    // Once a run is enough: tests and the harness make many devices.
    static bool reported = false;
    if (!reported) {
        const char* renderer = (const char*)glGetString(GL_RENDERER);
        logLine("gfx: OpenGL %s, %s", version, renderer ? renderer : "unknown renderer");
        reported = true;
    }
    int major = 0;
    int minor = 0;
    sscanf(version, "%d.%d", &major, &minor);
    bool core = false;
    if (major * 10 + minor >= 32) {
        GLint profile = 0;
        glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
        core = (profile & GL_CONTEXT_CORE_PROFILE_BIT) != 0;
    }
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    bool framebuffers = major >= 3 || glExtensionListHas(extensions, "GL_ARB_framebuffer_object");
    if (major * 10 + minor < 21 || core || !framebuffers) {
        logLine("gfx: OpenGL 2.1 compatibility with framebuffer objects is needed");
        return false;
    }
    // Vertex colours are read as stored (0xAARRGGBB); ADDSMOOTH needs the
    // multiply-add combine function.
    bool bgraColors = major * 10 + minor >= 32 || glExtensionListHas(extensions, "GL_ARB_vertex_array_bgra") ||
                      glExtensionListHas(extensions, "GL_EXT_vertex_array_bgra");
    if (!bgraColors || !glExtensionListHas(extensions, "GL_ATI_texture_env_combine3")) {
        logLine("gfx: OpenGL needs GL_ARB_vertex_array_bgra and GL_ATI_texture_env_combine3");
        return false;
    }
    return true;
}

bool GlDevice::init(const GfxPresentParams& newParams, const GlOutput* newOutput) {
    if (!contextUsable()) return false;
    output = newOutput;
    mainThread = std::this_thread::get_id();
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
    stageCount = units < GFX_TEXTURE_STAGE_MAX ? units : GFX_TEXTURE_STAGE_MAX;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbufferSize);
    if (!backBufferFits(newParams) || !createBackBuffer(newParams)) {
        logLine("gfx: cannot make a %dx%d back buffer", newParams.backBufferWidth, newParams.backBufferHeight);
        return false;
    }
    params = newParams;
    resetState();
    return true;
}

// Loader threads are joined by now.
void GlDevice::shutdown() {
    shutdownSkinning();
    collectReleased();
    shutdownBuffers();
    for (GfxTexture& texture : textures)
        if (texture.state == TEXTURE_LIVE) {
            deleteGlObjects(&texture);
            gfxTexelsDestroy(&texture.texels);
            texture.state = TEXTURE_FREE;
        }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    deleteBackBuffer();
}

bool GlDevice::backBufferFits(const GfxPresentParams& p) const {
    return p.backBufferWidth >= 1 && p.backBufferHeight >= 1 && p.backBufferWidth <= maxRenderbufferSize &&
           p.backBufferHeight <= maxRenderbufferSize;
}

bool GlDevice::createBackBuffer(const GfxPresentParams& p) {
    int32_t width = p.backBufferWidth;
    int32_t height = p.backBufferHeight;
    backBuffer = GfxSurface{SURFACE_BACK_BUFFER, width, height, nullptr, 0, 0, 0};
    depthBuffer = GfxSurface{SURFACE_DEPTH, width, height, nullptr, 0, 0, 0};
    depthFormat = p.depthStencilFormat == GFX_FORMAT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;

    glGenRenderbuffers(1, &backBuffer.renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, backBuffer.renderbuffer);
    // Without alpha the buffer reads and blends as opaque, as an X8 surface does.
    glRenderbufferStorage(GL_RENDERBUFFER, formatHasAlpha(p.backBufferFormat) ? GL_RGBA8 : GL_RGB8, width, height);
    if (p.autoDepthStencil) {
        glGenRenderbuffers(1, &depthBuffer.renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer.renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);

    glGenFramebuffers(1, &backBuffer.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, backBuffer.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, backBuffer.renderbuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer.renderbuffer);
    backBuffer.attachedDepth = depthBuffer.renderbuffer;
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        deleteBackBuffer();
        return false;
    }
    return true;
}

void GlDevice::deleteBackBuffer() {
    glDeleteFramebuffers(1, &backBuffer.framebuffer);
    glDeleteRenderbuffers(1, &backBuffer.renderbuffer);
    glDeleteRenderbuffers(1, &depthBuffer.renderbuffer);
    backBuffer.framebuffer = backBuffer.renderbuffer = backBuffer.attachedDepth = 0;
    depthBuffer.renderbuffer = 0;
}

// Pre-transformed vertices give pixels with centres at integers; GL's
// centres lie at n + 0.5, so the mapping adds half a pixel: a quad from
// (x - 0.5, y - 0.5) to (x + w - 0.5, y + h - 0.5) covers pixels x..x+w-1.
// Rows need no flip (GL window y is the caller's row, see gfx_gl_device.h);
// depth 0..1 goes to -1..1. rhw is not used: the game always writes 1.
void GlDevice::loadScreenSpace() {
    int32_t width = colorTarget->width;
    int32_t height = colorTarget->height;
    if (screenSpaceLoaded && width == screenWidth && height == screenHeight) return;
    const float screen[16] = {
        2.0f / (float)width, 0, 0, 0, 0, 2.0f / (float)height, 0, 0, 0, 0, 2.0f, 0,
        1.0f / (float)width - 1.0f, 1.0f / (float)height - 1.0f, -1.0f, 1.0f,
    };
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(screen);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    screenSpaceLoaded = true;
    screenWidth = width;
    screenHeight = height;
}

void GlDevice::loadWorldSpace() {
    if (!screenSpaceLoaded) return;
    loadModelView();
    loadProjection();
    screenSpaceLoaded = false;
}

// Clears the whole target whatever the write masks say, as the old API does;
// no stencil format exists, so asking for stencil is refused like there.
GfxResult GlDevice::clear(uint32_t flags, uint32_t argb, float z, uint32_t /*stencil*/) {
    GLbitfield bits = 0;
    if (flags & (GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL)) {
        if (!depthTarget || (flags & GFX_CLEAR_STENCIL)) return GFX_INVALID_CALL;
        bits |= GL_DEPTH_BUFFER_BIT;
        glClearDepth(z);
    }
    if (flags & GFX_CLEAR_TARGET) {
        bits |= GL_COLOR_BUFFER_BIT;
        glClearColor((float)((argb >> 16) & 0xFF) / 255.0f, (float)((argb >> 8) & 0xFF) / 255.0f,
                     (float)(argb & 0xFF) / 255.0f, (float)(argb >> 24) / 255.0f);
    }
    if (bits & GL_DEPTH_BUFFER_BIT) glDepthMask(GL_TRUE);
    glClear(bits);
    if (bits & GL_DEPTH_BUFFER_BIT) applyRenderState(GFX_RS_ZWRITEENABLE);
    return GFX_OK;
}

GfxResult GlDevice::beginScene() {
    if (inScene) return GFX_INVALID_CALL;
    inScene = true;
    return GFX_OK;
}

GfxResult GlDevice::endScene() {
    if (!inScene) return GFX_INVALID_CALL;
    inScene = false;
    return GFX_OK;
}

// Stretches the back buffer over the window, flipping it (GL's window rows
// run bottom up), then swaps.
GfxResult GlDevice::present() {
    collectReleased();
    collectReleasedBuffers();
    if (lost) return GFX_DEVICE_LOST;
    if (!output) {
        glFlush();
        return GFX_OK;
    }
    int32_t width = 0;
    int32_t height = 0;
    output->drawableSize(&width, &height);
    if (width > 0 && height > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, backBuffer.framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, backBuffer.width, backBuffer.height, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                          GL_LINEAR);
        glBindFramebuffer(GL_FRAMEBUFFER, colorTarget->framebuffer);
    }
    output->swap();
    return GFX_OK;
}

GfxResult GlDevice::testCooperativeLevel() { return lost ? GFX_DEVICE_NOT_RESET : GFX_OK; }

// A refused or failed reset leaves the device lost, as the old API does.
// Managed textures keep their GL textures: the context outlives the reset.
GfxResult GlDevice::reset(const GfxPresentParams& newParams) {
    collectReleased();
    if (liveDefaultPoolTextures() > 0 || !backBufferFits(newParams)) {
        lost = true;
        return GFX_INVALID_CALL;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    deleteBackBuffer();
    if (!createBackBuffer(newParams)) {
        logLine("gfx: reset cannot make a %dx%d back buffer", newParams.backBufferWidth, newParams.backBufferHeight);
        lost = true;
        return GFX_FAILED;
    }
    params = newParams;
    resetState();
    lost = false;
    return GFX_OK;
}

// Checks the vertex format and stride and readies the textures and the
// transform of a draw; false: refuse the draw.
bool GlDevice::prepareDraw(int32_t stride) {
    int32_t size = gfxVertexSize(vertexFormat);
    if (size == 0 || stride < size) return false;
    for (int32_t stage = 0; stage < stageCount; ++stage)
        if (unitEnabled[stage] && stageTextures[stage]->texels.dirtyLevels) {
            glActiveTexture(GL_TEXTURE0 + stage);
            uploadDirtyLevels(stageTextures[stage]);
            glActiveTexture(GL_TEXTURE0);
        }
    if (vertexFormat & GFX_FVF_XYZRHW) {
        loadScreenSpace();
        beginScreenDraw();
    } else {
        loadWorldSpace();
        if (renderStates[GFX_RS_LIGHTING]) {
            if (lightsStale) applyLights();
            applyColorMaterial();
        }
    }
    return true;
}

// at is the address of client memory, or an offset into the bound GL array
// buffer (kept an integer: it is no pointer then).
void GlDevice::pointVertexArrays(uintptr_t at, int32_t stride) {
    bool screen = (vertexFormat & GFX_FVF_XYZRHW) != 0;
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(at));
    at += screen ? 16 : 12;
    if (vertexFormat & GFX_FVF_NORMAL) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(at));
        at += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (vertexFormat & GFX_FVF_DIFFUSE) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, reinterpret_cast<const void*>(at));
        at += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (vertexFormat & GFX_FVF_SPECULAR) at += 4;
    glClientActiveTexture(GL_TEXTURE0);
    if (vertexFormat & GFX_FVF_TEX1) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(at));
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

// The vertex arrays point into the caller's memory, which GL reads before
// glDrawArrays returns.
GfxResult GlDevice::drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices,
                                    int32_t stride) {
    if (!vertices || type < GFX_PT_TRIANGLELIST || type > GFX_PT_TRIANGLEFAN || primitiveCount < 1 ||
        primitiveCount > GFX_DRAW_PRIMITIVE_MAX || gfxVertexSize(vertexFormat) == 0 ||
        stride < gfxVertexSize(vertexFormat) || vertexFormat == GFX_FVF_SKINNED)
        return GFX_INVALID_CALL;
    if (lost) return GFX_OK;
    prepareDraw(stride);
    int32_t vertexCount = type == GFX_PT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
    prepareVertexFog(static_cast<const uint8_t*>(vertices), stride, vertexCount, nullptr);
    pointVertexArrays(reinterpret_cast<uintptr_t>(vertices), stride);
    glDrawArrays(GL_PRIMITIVE_MODES[type], 0, vertexCount);
    endScreenDraw();
    return GFX_OK;
}

// GL row 0 is the top row (see gfx_gl_device.h), so rows come out top first.
bool GlDevice::readBackBuffer(uint32_t* argb, int32_t width, int32_t height) {
    if (!argb || width != backBuffer.width || height != backBuffer.height) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backBuffer.framebuffer);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, colorTarget->framebuffer);
    return true;
}

GfxDevice* glDeviceCreate(const GfxPresentParams& params, const GlOutput* output) {
    GlDevice* device = new (std::nothrow) GlDevice();
    if (device && !device->init(params, output)) {
        delete device;
        device = nullptr;
    }
    return device;
}

void glDeviceDestroy(GfxDevice* device) {
    GlDevice* gl = static_cast<GlDevice*>(device);
    gl->shutdown();
    delete gl;
}

// platform/gfx_gl.cpp: the fixed-function device on OpenGL 2.1 (compatibility
// profile) with framebuffer objects, shared by the windowed and the headless
// backend. Every call runs on the main thread with the backend's context
// current; nothing is allocated after a texture or the device is created.
//
// Orientation. Every colour surface is a framebuffer object whose GL row 0
// holds the caller's top row, so GL window y equals the caller's pixel row:
// - viewports and pre-transformed vertices use the caller's row numbers as
//   they are, and the back buffer reads back top row first without a flip;
// - a render-target texture's first row (t = 0) is its top row, the same as
//   a texture uploaded top row first, so it samples the right way up;
// - the projection is followed by a fixup that negates clip-space y (the
//   caller's clip space has y up while its rows go down) and maps depth
//   0..1 onto GL's -1..1;
// - only present flips, when it blits the back buffer into the window.
// Winding: through that y flip the caller's clockwise triangles are
// counter-clockwise in GL window coordinates. GL's front face stays CCW, so
// the caller's front faces are GL front faces: culling the caller's CCW
// triangles culls GL back faces, culling CW culls GL front faces.
#include "platform/gfx_gl.h"

#include "platform/log.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <new>

// NONE marks the levels of a released texture, so a stale surface is refused.
enum SurfaceKind : int32_t { SURFACE_NONE = 0, SURFACE_BACK_BUFFER, SURFACE_DEPTH, SURFACE_TEXTURE_LEVEL };

struct GfxSurface {
    SurfaceKind kind;
    int32_t width;
    int32_t height;
    GfxTexture* texture;     // the owner of a texture level
    GLuint framebuffer;      // a colour surface that can be drawn into; 0 otherwise
    GLuint attachedDepth;    // the renderbuffer on that framebuffer's depth attachment now
    GLuint renderbuffer;     // the storage of the back buffer and of the depth buffer
};

struct GfxTexture {
    bool live;
    GfxPool pool;
    int32_t levels;
    GLuint name;
    // A render target larger than the shared depth buffer draws with a depth
    // buffer of its own size whenever it is paired with the shared one.
    GLuint ownDepth;
    GfxSurface surfaces[GFX_TEXTURE_LEVEL_MAX];
};

// Indexed by GfxFormat; 16-bit formats stay 16-bit.
static const GLenum TEXTURE_FORMATS[] = {0, GL_RGB8, GL_RGBA8, GL_RGB5, GL_RGB5, GL_RGB5_A1, GL_RGBA4};
static_assert(sizeof TEXTURE_FORMATS / sizeof TEXTURE_FORMATS[0] == GFX_FORMAT_D16);

// Indexed by GfxCompare - 1 and GfxBlend - 1.
static const GLenum COMPARE_FUNCS[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                                       GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
static const GLenum BLEND_FACTORS[] = {
    GL_ZERO,      GL_ONE,
    GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
    GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
    GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
};
static_assert(sizeof BLEND_FACTORS / sizeof BLEND_FACTORS[0] == GFX_BLEND_INVDESTCOLOR);
static_assert(sizeof COMPARE_FUNCS / sizeof COMPARE_FUNCS[0] == GFX_CMP_ALWAYS);

// The old API's defaults, in GfxRenderState order. ZENABLE is on only when
// the device was made with a depth buffer (set in resetState).
static const uint32_t RENDER_STATE_DEFAULTS[] = {
    GFX_CULL_CCW,       // CULLMODE
    1,                  // ZENABLE
    1,                  // ZWRITEENABLE
    GFX_CMP_LESSEQUAL,  // ZFUNC
    0,                  // ALPHABLENDENABLE
    GFX_BLEND_ONE,      // SRCBLEND
    GFX_BLEND_ZERO,     // DESTBLEND
    0,                  // ALPHATESTENABLE
    0,                  // ALPHAREF
    GFX_CMP_ALWAYS,     // ALPHAFUNC
    0,                  // FOGENABLE
    1,                  // LIGHTING
};
static_assert(sizeof RENDER_STATE_DEFAULTS / sizeof RENDER_STATE_DEFAULTS[0] == GFX_RS_COUNT);

static const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Largest value each state takes; 0: any value (booleans, the alpha reference).
static uint32_t renderStateMax(GfxRenderState state) {
    switch (state) {
    case GFX_RS_CULLMODE: return GFX_CULL_CCW;
    case GFX_RS_ZFUNC:
    case GFX_RS_ALPHAFUNC: return GFX_CMP_ALWAYS;
    case GFX_RS_SRCBLEND:
    case GFX_RS_DESTBLEND: return GFX_BLEND_INVDESTCOLOR;
    default: return 0;
    }
}

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
    bool framebuffers =
        major >= 3 || glExtensionListHas((const char*)glGetString(GL_EXTENSIONS), "GL_ARB_framebuffer_object");
    if (major * 10 + minor < 21 || core || !framebuffers) {
        logLine("gfx: OpenGL 2.1 compatibility with framebuffer objects is needed");
        return false;
    }
    return true;
}

// Row-vector product: out = a * b.
static void multiply(const float a[16], const float b[16], float out[16]) {
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[row * 4 + k] * b[k * 4 + col];
            out[row * 4 + col] = sum;
        }
}

class GlDevice final : public GfxDevice {
public:
    bool init(const GfxPresentParams& params, const GlOutput* output);
    void shutdown();

    GfxResult clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) override;
    GfxResult beginScene() override;
    GfxResult endScene() override;
    GfxResult present() override;
    GfxResult testCooperativeLevel() override;
    GfxResult reset(const GfxPresentParams& params) override;
    GfxTexture* createTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                              GfxPool pool) override;
    void releaseTexture(GfxTexture* texture) override;
    GfxSurface* getSurfaceLevel(GfxTexture* texture, int32_t level) override;
    GfxSurface* getRenderTarget() override { return colorTarget; }
    GfxSurface* getDepthStencilSurface() override { return depthTarget; }
    GfxSurface* getBackBuffer() override { return &backBuffer; }
    GfxResult setRenderTarget(GfxSurface* color, GfxSurface* depth) override;
    void setRenderState(GfxRenderState state, uint32_t value) override;
    void setTexture(int32_t stage, GfxTexture* texture) override;
    void setTransform(GfxTransform which, const float matrix[16]) override;
    bool readBackBuffer(uint32_t* argb, int32_t width, int32_t height) override;
    void simulateDeviceLoss() override { lost = true; }
    int32_t liveDefaultPoolTextures() override { return defaultPoolTextures; }

private:
    bool backBufferFits(const GfxPresentParams& params) const;
    bool createBackBuffer(const GfxPresentParams& params);
    void deleteBackBuffer();
    void resetState();
    void bindTarget(GfxSurface* color, GfxSurface* depth);
    void bindStage(int32_t stage, GfxTexture* texture);
    void applyRenderState(GfxRenderState state);
    void loadModelView();
    void loadProjection();
    void deleteTexture(GfxTexture* texture);

    GfxPresentParams params = {};
    const GlOutput* output = nullptr;
    GLint maxTextureSize = 0;
    GLint maxRenderbufferSize = 0;
    int32_t stageCount = 0;
    GLenum depthFormat = GL_DEPTH_COMPONENT24;

    GfxSurface backBuffer = {};
    GfxSurface depthBuffer = {};   // renderbuffer 0 when the device has none
    GfxSurface* colorTarget = &backBuffer;
    GfxSurface* depthTarget = nullptr;

    GfxTexture textures[GFX_TEXTURE_MAX] = {};
    int32_t defaultPoolTextures = 0;
    GfxTexture* stageTextures[GFX_TEXTURE_STAGE_MAX] = {};

    uint32_t renderStates[GFX_RS_COUNT] = {};
    float transforms[GFX_TS_COUNT][16] = {};
    bool lost = false;
    bool inScene = false;
};

bool GlDevice::init(const GfxPresentParams& newParams, const GlOutput* newOutput) {
    if (!contextUsable()) return false;
    output = newOutput;
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

void GlDevice::shutdown() {
    for (GfxTexture& texture : textures)
        if (texture.live) deleteTexture(&texture);
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

// What a new or reset device starts from: default render states, no
// textures, identity transforms, the back buffer and its depth as target.
void GlDevice::resetState() {
    glDisable(GL_DITHER);
    glFrontFace(GL_CCW);   // see the winding note at the top
    memcpy(renderStates, RENDER_STATE_DEFAULTS, sizeof renderStates);
    renderStates[GFX_RS_ZENABLE] = depthBuffer.renderbuffer != 0;
    for (int32_t state = 0; state < GFX_RS_COUNT; ++state) applyRenderState((GfxRenderState)state);
    for (int32_t stage = 0; stage < stageCount; ++stage) bindStage(stage, nullptr);
    for (float(&matrix)[16] : transforms) memcpy(matrix, IDENTITY, sizeof matrix);
    loadModelView();
    loadProjection();
    bindTarget(&backBuffer, depthBuffer.renderbuffer ? &depthBuffer : nullptr);
    inScene = false;
    if (output) output->setVsync(params.vsync);
}

// The depth surface is the shared one; a colour target larger than it draws
// with its own depth buffer instead (GL would clip drawing to the smaller).
void GlDevice::bindTarget(GfxSurface* color, GfxSurface* depth) {
    GLuint depthName = 0;
    if (depth) {
        bool covers = depth->width >= color->width && depth->height >= color->height;
        depthName = covers || !color->texture ? depth->renderbuffer : color->texture->ownDepth;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, color->framebuffer);
    if (color->attachedDepth != depthName) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthName);
        color->attachedDepth = depthName;
    }
    glViewport(0, 0, color->width, color->height);
    colorTarget = color;
    depthTarget = depth;
}

// Leaves unit 0 active, where createTexture binds.
void GlDevice::bindStage(int32_t stage, GfxTexture* texture) {
    glActiveTexture(GL_TEXTURE0 + stage);
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, texture->name);
        glEnable(GL_TEXTURE_2D);
    } else {
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
    }
    if (stage != 0) glActiveTexture(GL_TEXTURE0);
    stageTextures[stage] = texture;
}

static void setEnabled(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void GlDevice::applyRenderState(GfxRenderState state) {
    uint32_t value = renderStates[state];
    switch (state) {
    case GFX_RS_CULLMODE:
        setEnabled(GL_CULL_FACE, value != GFX_CULL_NONE);
        glCullFace(value == GFX_CULL_CW ? GL_FRONT : GL_BACK);
        break;
    case GFX_RS_ZENABLE: setEnabled(GL_DEPTH_TEST, value != 0); break;
    case GFX_RS_ZWRITEENABLE: glDepthMask(value ? GL_TRUE : GL_FALSE); break;
    case GFX_RS_ZFUNC: glDepthFunc(COMPARE_FUNCS[value - 1]); break;
    case GFX_RS_ALPHABLENDENABLE: setEnabled(GL_BLEND, value != 0); break;
    case GFX_RS_SRCBLEND:
    case GFX_RS_DESTBLEND:
        glBlendFunc(BLEND_FACTORS[renderStates[GFX_RS_SRCBLEND] - 1], BLEND_FACTORS[renderStates[GFX_RS_DESTBLEND] - 1]);
        break;
    case GFX_RS_ALPHATESTENABLE: setEnabled(GL_ALPHA_TEST, value != 0); break;
    case GFX_RS_ALPHAREF:
    case GFX_RS_ALPHAFUNC:
        glAlphaFunc(COMPARE_FUNCS[renderStates[GFX_RS_ALPHAFUNC] - 1],
                    (float)(renderStates[GFX_RS_ALPHAREF] & 0xFF) / 255.0f);
        break;
    case GFX_RS_FOGENABLE: setEnabled(GL_FOG, value != 0); break;
    case GFX_RS_LIGHTING: setEnabled(GL_LIGHTING, value != 0); break;
    case GFX_RS_COUNT: break;
    }
}

// GL keeps world and view as one matrix; the matrix mode rests at MODELVIEW.
// A row-major row-vector matrix is already GL's column-major storage.
void GlDevice::loadModelView() {
    float modelView[16];
    multiply(transforms[GFX_TS_WORLD], transforms[GFX_TS_VIEW], modelView);
    glLoadMatrixf(modelView);
}

// projection * fixup, the fixup negating y and taking z from 0..1 to -1..1
// (z' = 2z - w); see the orientation note at the top.
void GlDevice::loadProjection() {
    const float* p = transforms[GFX_TS_PROJECTION];
    float fixed[16];
    for (int row = 0; row < 4; ++row) {
        fixed[row * 4 + 0] = p[row * 4 + 0];
        fixed[row * 4 + 1] = -p[row * 4 + 1];
        fixed[row * 4 + 2] = 2.0f * p[row * 4 + 2] - p[row * 4 + 3];
        fixed[row * 4 + 3] = p[row * 4 + 3];
    }
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(fixed);
    glMatrixMode(GL_MODELVIEW);
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
GfxResult GlDevice::reset(const GfxPresentParams& newParams) {
    if (defaultPoolTextures > 0 || !backBufferFits(newParams)) {
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

GfxTexture* GlDevice::createTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                                    GfxPool pool) {
    int32_t levelCount = gfxTextureLevels(width, height, levels, usage, format, pool);
    if (levelCount == 0 || width > maxTextureSize || height > maxTextureSize) return nullptr;
    GfxTexture* texture = nullptr;
    for (GfxTexture& slot : textures)
        if (!slot.live) {
            texture = &slot;
            break;
        }
    if (!texture) return nullptr;

    *texture = GfxTexture{};
    texture->live = true;
    texture->pool = pool;
    texture->levels = levelCount;
    if (pool == GFX_POOL_DEFAULT) ++defaultPoolTextures;
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    // Point sampling without mips is the old API's default; the level limit
    // keeps a short chain complete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, levelCount - 1);
    for (int32_t level = 0; level < levelCount; ++level) {
        int32_t w = width >> level > 0 ? width >> level : 1;
        int32_t h = height >> level > 0 ? height >> level : 1;
        glTexImage2D(GL_TEXTURE_2D, level, (GLint)TEXTURE_FORMATS[format], w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        texture->surfaces[level] = GfxSurface{SURFACE_TEXTURE_LEVEL, w, h, texture, 0, 0, 0};
    }
    glBindTexture(GL_TEXTURE_2D, stageTextures[0] ? stageTextures[0]->name : 0);
    if (!(usage & GFX_USAGE_RENDER_TARGET)) return texture;

    GfxSurface& surface = texture->surfaces[0];
    glGenFramebuffers(1, &surface.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, surface.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture->name, 0);
    if (depthBuffer.renderbuffer && (width > depthBuffer.width || height > depthBuffer.height)) {
        glGenRenderbuffers(1, &texture->ownDepth);
        glBindRenderbuffer(GL_RENDERBUFFER, texture->ownDepth);
        glRenderbufferStorage(GL_RENDERBUFFER, depthFormat, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, texture->ownDepth);
        surface.attachedDepth = texture->ownDepth;
    }
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, colorTarget->framebuffer);
    if (!complete) {
        deleteTexture(texture);
        return nullptr;
    }
    return texture;
}

void GlDevice::deleteTexture(GfxTexture* texture) {
    for (int32_t stage = 0; stage < stageCount; ++stage)
        if (stageTextures[stage] == texture) bindStage(stage, nullptr);
    // Its target goes back to the back buffer before its framebuffer goes.
    if (colorTarget->texture == texture) bindTarget(&backBuffer, depthTarget);
    glDeleteFramebuffers(1, &texture->surfaces[0].framebuffer);
    glDeleteRenderbuffers(1, &texture->ownDepth);
    glDeleteTextures(1, &texture->name);
    if (texture->pool == GFX_POOL_DEFAULT) --defaultPoolTextures;
    *texture = GfxTexture{};
}

void GlDevice::releaseTexture(GfxTexture* texture) {
    if (texture && texture->live) deleteTexture(texture);
}

GfxSurface* GlDevice::getSurfaceLevel(GfxTexture* texture, int32_t level) {
    if (!texture || !texture->live || level < 0 || level >= texture->levels) return nullptr;
    return &texture->surfaces[level];
}

// A null colour keeps the current one, as the old API does; a null depth
// draws without depth.
GfxResult GlDevice::setRenderTarget(GfxSurface* color, GfxSurface* depth) {
    if (!color) color = colorTarget;
    bool drawable = color->kind == SURFACE_BACK_BUFFER || (color->kind == SURFACE_TEXTURE_LEVEL && color->framebuffer);
    if (!drawable || (depth && (depth->kind != SURFACE_DEPTH || !depth->renderbuffer))) return GFX_INVALID_CALL;
    bindTarget(color, depth);
    return GFX_OK;
}

// Values outside a state's range are ignored and the state kept.
void GlDevice::setRenderState(GfxRenderState state, uint32_t value) {
    if (state < 0 || state >= GFX_RS_COUNT) return;
    uint32_t max = renderStateMax(state);
    if (max != 0 && (value < 1 || value > max)) return;
    renderStates[state] = value;
    applyRenderState(state);
}

void GlDevice::setTexture(int32_t stage, GfxTexture* texture) {
    if (stage < 0 || stage >= stageCount || (texture && !texture->live)) return;
    bindStage(stage, texture);
}

void GlDevice::setTransform(GfxTransform which, const float matrix[16]) {
    if (which < 0 || which >= GFX_TS_COUNT || !matrix) return;
    memcpy(transforms[which], matrix, sizeof transforms[which]);
    if (which == GFX_TS_PROJECTION)
        loadProjection();
    else
        loadModelView();
}

// GL row 0 is the top row (see the top), so rows come out top first.
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

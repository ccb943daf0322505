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
//
// Textures. A texture keeps its texels on the CPU (platform/gfx_texels.h);
// lock and unlock touch only that copy, so loader threads may fill textures.
// The GL texture is made, and unlocked levels uploaded, on the main thread:
// when the texture is bound, and before a draw for levels unlocked since.
// A texture released off the main thread keeps its slot until the main
// thread has deleted its GL objects (at present, reset or the next create).
// Texture stages run in GL's combine environment, one texture unit a stage;
// filters and address modes are stage states in the old model but texture
// parameters in GL, so a texture takes its stage's values when bound and
// when they change.
#include "platform/gfx_gl.h"

#include "platform/gfx_texels.h"
#include "platform/log.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

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

// RELEASED: released off the main thread, its GL objects not yet deleted.
enum TextureState : int32_t { TEXTURE_FREE = 0, TEXTURE_LIVE, TEXTURE_RELEASED };

// The texture parameters last given to GL; 0 (no GL value) forces the next.
struct GlSampler {
    GLint minFilter;
    GLint magFilter;
    GLint wrapS;
    GLint wrapT;
};

struct GfxTexture {
    TextureState state;   // changed under the pool lock
    GfxPool pool;
    int32_t levels;
    GfxTexels texels;     // none for a render target
    // Main thread only from here on.
    GLuint name;          // 0 until first bound (render targets: from creation)
    // A render target larger than the shared depth buffer draws with a depth
    // buffer of its own size whenever it is paired with the shared one.
    GLuint ownDepth;
    GlSampler sampler;
    GfxSurface surfaces[GFX_TEXTURE_LEVEL_MAX];
};

// Indexed by GfxFormat. The client layouts read the texel bytes as stored
// (little-endian 0xAARRGGBB, or 16-bit words with red high); 16-bit formats
// stay 16-bit.
struct GlTextureFormat {
    GLenum internal;
    GLenum format;
    GLenum type;
};
static const GlTextureFormat TEXTURE_FORMATS[] = {
    {0, 0, 0},
    {GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV},            // X8R8G8B8
    {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV},           // A8R8G8B8
    {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5},                 // R5G6B5
    {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},          // X1R5G5B5
    {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV},       // A1R5G5B5
    {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV},         // A4R4G4B4
};
static_assert(sizeof TEXTURE_FORMATS / sizeof TEXTURE_FORMATS[0] == GFX_FORMAT_D16);

// How each operation runs in the combine environment: the function, the
// scale, and the argument (1 or 2; 0: CURRENT) each source takes. ADDSMOOTH,
// a + b - ab, is b (1 - a) + a, the third source complemented.
struct CombineRule {
    GLenum function;
    GLfloat scale;
    uint8_t sources[3];
    bool complementThird;
};
static const CombineRule COMBINE_RULES[] = {
    {GL_REPLACE, 1.0f, {0, 0, 0}, false},              // DISABLE (alpha: CURRENT kept)
    {GL_REPLACE, 1.0f, {1, 0, 0}, false},              // SELECTARG1
    {GL_REPLACE, 1.0f, {2, 0, 0}, false},              // SELECTARG2
    {GL_MODULATE, 1.0f, {1, 2, 0}, false},             // MODULATE
    {GL_MODULATE, 2.0f, {1, 2, 0}, false},             // MODULATE2X
    {GL_MODULATE, 4.0f, {1, 2, 0}, false},             // MODULATE4X
    {GL_ADD, 1.0f, {1, 2, 0}, false},                  // ADD
    {GL_ADD_SIGNED, 1.0f, {1, 2, 0}, false},           // ADDSIGNED
    {GL_MODULATE_ADD_ATI, 1.0f, {2, 1, 1}, true},      // ADDSMOOTH
    {GL_SUBTRACT, 1.0f, {1, 2, 0}, false},             // SUBTRACT
};
static_assert(sizeof COMBINE_RULES / sizeof COMBINE_RULES[0] == GFX_TOP_SUBTRACT + 1);

// Indexed by GfxTextureArg, GfxTextureAddress and GfxPrimitive.
static const GLenum ARG_SOURCES[] = {GL_TEXTURE, GL_PRIMARY_COLOR, GL_PREVIOUS, GL_CONSTANT};
static const GLint ADDRESS_MODES[] = {GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_BORDER};
static const GLenum PRIMITIVE_MODES[] = {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
static_assert(sizeof ARG_SOURCES / sizeof ARG_SOURCES[0] == GFX_TA_TFACTOR + 1);
static_assert(sizeof ADDRESS_MODES / sizeof ADDRESS_MODES[0] == GFX_ADDRESS_BORDER + 1);
static_assert(sizeof PRIMITIVE_MODES / sizeof PRIMITIVE_MODES[0] == GFX_PT_TRIANGLEFAN + 1);

// Minification by min filter (point, linear) and mip filter (point, linear, none).
static const GLint MIN_FILTERS[2][3] = {
    {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
    {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
};

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
    0xFFFFFFFF,         // TEXTUREFACTOR
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

// The old API's stage defaults: stage 0 modulates its texture by the diffuse
// colour and takes the texture's alpha; later stages are off; point
// sampling, no mips, wrapping.
static uint32_t stageStateDefault(int32_t stage, GfxTextureStageState state) {
    switch (state) {
    case GFX_TSS_COLOROP: return stage == 0 ? GFX_TOP_MODULATE : GFX_TOP_DISABLE;
    case GFX_TSS_ALPHAOP: return stage == 0 ? GFX_TOP_SELECTARG1 : GFX_TOP_DISABLE;
    case GFX_TSS_COLORARG1:
    case GFX_TSS_ALPHAARG1: return GFX_TA_TEXTURE;
    case GFX_TSS_COLORARG2:
    case GFX_TSS_ALPHAARG2: return GFX_TA_CURRENT;
    case GFX_TSS_MIPFILTER: return GFX_FILTER_NONE;
    default: return 0;   // point filters, no bias (0.0f), wrap
    }
}

// Largest value each stage state takes; the bias takes any float.
static uint32_t stageStateMax(GfxTextureStageState state) {
    switch (state) {
    case GFX_TSS_COLOROP:
    case GFX_TSS_ALPHAOP: return GFX_TOP_SUBTRACT;
    case GFX_TSS_COLORARG1:
    case GFX_TSS_COLORARG2:
    case GFX_TSS_ALPHAARG1:
    case GFX_TSS_ALPHAARG2: return GFX_TA_TFACTOR;
    case GFX_TSS_MAGFILTER:
    case GFX_TSS_MINFILTER:
    case GFX_TSS_MIPFILTER: return GFX_FILTER_NONE;
    case GFX_TSS_ADDRESSU:
    case GFX_TSS_ADDRESSV: return GFX_ADDRESS_BORDER;
    default: return UINT32_MAX;
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
    GfxResult lockRect(GfxTexture* texture, int32_t level, GfxLockedRect* out) override;
    GfxResult unlockRect(GfxTexture* texture, int32_t level) override;
    GfxSurface* getRenderTarget() override { return colorTarget; }
    GfxSurface* getDepthStencilSurface() override { return depthTarget; }
    GfxSurface* getBackBuffer() override { return &backBuffer; }
    GfxResult setRenderTarget(GfxSurface* color, GfxSurface* depth) override;
    void setRenderState(GfxRenderState state, uint32_t value) override;
    void setTexture(int32_t stage, GfxTexture* texture) override;
    void setTextureStageState(int32_t stage, GfxTextureStageState state, uint32_t value) override;
    void setTransform(GfxTransform which, const float matrix[16]) override;
    void setVertexFormat(uint32_t fvf) override { vertexFormat = fvf; }
    GfxResult drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices, int32_t stride) override;
    bool readBackBuffer(uint32_t* argb, int32_t width, int32_t height) override;
    void simulateDeviceLoss() override { lost = true; }
    int32_t liveDefaultPoolTextures() override;

private:
    bool onMainThread() const { return std::this_thread::get_id() == mainThread; }
    bool backBufferFits(const GfxPresentParams& params) const;
    bool createBackBuffer(const GfxPresentParams& params);
    void deleteBackBuffer();
    void resetState();
    void bindTarget(GfxSurface* color, GfxSurface* depth);
    void bindStage(int32_t stage, GfxTexture* texture);
    void applyUnitEnables();
    void applyCombine(int32_t stage, bool alpha);
    void applySampler(int32_t stage, GfxTexture* texture);
    void applyStageState(int32_t stage, GfxTextureStageState state);
    void applyRenderState(GfxRenderState state);
    void loadModelView();
    void loadProjection();
    void loadScreenSpace();
    void loadWorldSpace();
    GfxTexture* takeSlot(GfxPool pool);
    void freeSlot(GfxTexture* texture);
    void createGlTexture(GfxTexture* texture, int32_t width, int32_t height);
    void uploadDirtyLevels(GfxTexture* texture);
    void deleteGlObjects(GfxTexture* texture);
    void collectReleased();

    GfxPresentParams params = {};
    const GlOutput* output = nullptr;
    std::thread::id mainThread;
    GLint maxTextureSize = 0;
    GLint maxRenderbufferSize = 0;
    int32_t stageCount = 0;
    GLenum depthFormat = GL_DEPTH_COMPONENT24;

    GfxSurface backBuffer = {};
    GfxSurface depthBuffer = {};   // renderbuffer 0 when the device has none
    GfxSurface* colorTarget = &backBuffer;
    GfxSurface* depthTarget = nullptr;

    // The pool: slot states, the default-pool count and the released list
    // change under poolLock, from any thread.
    std::mutex poolLock;
    GfxTexture textures[GFX_TEXTURE_MAX] = {};
    int32_t defaultPoolTextures = 0;
    int32_t releasedSlots[GFX_TEXTURE_MAX] = {};
    int32_t releasedCount = 0;

    GfxTexture* stageTextures[GFX_TEXTURE_STAGE_MAX] = {};
    uint32_t stageStates[GFX_TEXTURE_STAGE_MAX][GFX_TSS_COUNT] = {};
    bool unitEnabled[GFX_TEXTURE_STAGE_MAX] = {};

    uint32_t renderStates[GFX_RS_COUNT] = {};
    float transforms[GFX_TS_COUNT][16] = {};
    uint32_t vertexFormat = 0;
    // Pre-transformed draws load a pixel mapping for the target of this size.
    bool screenSpaceLoaded = false;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    bool lost = false;
    bool inScene = false;
};

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
    collectReleased();
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

// What a new or reset device starts from: default render and stage states,
// no textures, identity transforms, the back buffer and its depth as target.
void GlDevice::resetState() {
    glDisable(GL_DITHER);
    glFrontFace(GL_CCW);   // see the winding note at the top
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);   // texel rows are packed
    glEnableClientState(GL_VERTEX_ARRAY);
    memcpy(renderStates, RENDER_STATE_DEFAULTS, sizeof renderStates);
    renderStates[GFX_RS_ZENABLE] = depthBuffer.renderbuffer != 0;
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        for (int32_t state = 0; state < GFX_TSS_COUNT; ++state)
            stageStates[stage][state] = stageStateDefault(stage, (GfxTextureStageState)state);
        glActiveTexture(GL_TEXTURE0 + stage);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glActiveTexture(GL_TEXTURE0);
        for (int32_t state = 0; state < GFX_TSS_COUNT; ++state) applyStageState(stage, (GfxTextureStageState)state);
    }
    for (int32_t state = 0; state < GFX_RS_COUNT; ++state) applyRenderState((GfxRenderState)state);
    for (int32_t stage = 0; stage < stageCount; ++stage) bindStage(stage, nullptr);
    for (float(&matrix)[16] : transforms) memcpy(matrix, IDENTITY, sizeof matrix);
    loadModelView();
    loadProjection();
    screenSpaceLoaded = false;
    vertexFormat = 0;
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

// Makes the GL texture at first use, brings unlocked levels up to date and
// gives it the stage's filters. Leaves unit 0 active, where createTexture
// binds.
void GlDevice::bindStage(int32_t stage, GfxTexture* texture) {
    glActiveTexture(GL_TEXTURE0 + stage);
    if (texture) {
        if (!texture->name) {
            createGlTexture(texture, texture->texels.width, texture->texels.height);
        } else {
            glBindTexture(GL_TEXTURE_2D, texture->name);
            uploadDirtyLevels(texture);
        }
        applySampler(stage, texture);
    } else {
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
    stageTextures[stage] = texture;
    applyUnitEnables();
}

// A unit samples while its stage has a texture and no stage up to it is
// disabled; one without a texture passes the colour on.
void GlDevice::applyUnitEnables() {
    bool chainOn = true;
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        chainOn = chainOn && stageStates[stage][GFX_TSS_COLOROP] != GFX_TOP_DISABLE;
        bool on = chainOn && stageTextures[stage];
        if (on == unitEnabled[stage]) continue;
        glActiveTexture(GL_TEXTURE0 + stage);
        if (on)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        unitEnabled[stage] = on;
    }
    glActiveTexture(GL_TEXTURE0);
}

// The stage's unit must be active.
void GlDevice::applyCombine(int32_t stage, bool alpha) {
    const uint32_t* states = stageStates[stage];
    const CombineRule& rule = COMBINE_RULES[states[alpha ? GFX_TSS_ALPHAOP : GFX_TSS_COLOROP]];
    const uint32_t args[3] = {GFX_TA_CURRENT, states[alpha ? GFX_TSS_ALPHAARG1 : GFX_TSS_COLORARG1],
                              states[alpha ? GFX_TSS_ALPHAARG2 : GFX_TSS_COLORARG2]};
    GLenum source0 = alpha ? GL_SOURCE0_ALPHA : GL_SOURCE0_RGB;
    GLenum operand0 = alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB;
    GLint plain = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
    GLint complement = alpha ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE_MINUS_SRC_COLOR;
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, (GLint)rule.function);
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, rule.scale);
    for (GLenum i = 0; i < 3; ++i) {
        if (i > 0 && rule.sources[i] == 0) break;
        glTexEnvi(GL_TEXTURE_ENV, source0 + i, (GLint)ARG_SOURCES[args[rule.sources[i]]]);
        glTexEnvi(GL_TEXTURE_ENV, operand0 + i, i == 2 && rule.complementThird ? complement : plain);
    }
}

// The texture must be bound on the active unit, the stage's.
void GlDevice::applySampler(int32_t stage, GfxTexture* texture) {
    const uint32_t* states = stageStates[stage];
    uint32_t mip = states[GFX_TSS_MIPFILTER];
    GlSampler want = {
        MIN_FILTERS[states[GFX_TSS_MINFILTER] == GFX_FILTER_LINEAR][mip == GFX_FILTER_NONE ? 2 : mip],
        states[GFX_TSS_MAGFILTER] == GFX_FILTER_LINEAR ? GL_LINEAR : GL_NEAREST,
        ADDRESS_MODES[states[GFX_TSS_ADDRESSU]],
        ADDRESS_MODES[states[GFX_TSS_ADDRESSV]],
    };
    GlSampler& have = texture->sampler;
    if (have.minFilter != want.minFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, want.minFilter);
    if (have.magFilter != want.magFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, want.magFilter);
    if (have.wrapS != want.wrapS) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, want.wrapS);
    if (have.wrapT != want.wrapT) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, want.wrapT);
    have = want;
}

void GlDevice::applyStageState(int32_t stage, GfxTextureStageState state) {
    glActiveTexture(GL_TEXTURE0 + stage);
    switch (state) {
    case GFX_TSS_COLOROP:
    case GFX_TSS_COLORARG1:
    case GFX_TSS_COLORARG2: applyCombine(stage, false); break;
    case GFX_TSS_ALPHAOP:
    case GFX_TSS_ALPHAARG1:
    case GFX_TSS_ALPHAARG2: applyCombine(stage, true); break;
    case GFX_TSS_MAGFILTER:
    case GFX_TSS_MINFILTER:
    case GFX_TSS_MIPFILTER:
    case GFX_TSS_ADDRESSU:
    case GFX_TSS_ADDRESSV:
        if (stageTextures[stage]) applySampler(stage, stageTextures[stage]);
        break;
    case GFX_TSS_MIPMAPLODBIAS: {
        float bias = 0.0f;
        memcpy(&bias, &stageStates[stage][state], sizeof bias);
        glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, bias);
        break;
    }
    case GFX_TSS_COUNT: break;
    }
    glActiveTexture(GL_TEXTURE0);
    if (state == GFX_TSS_COLOROP) applyUnitEnables();
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
    case GFX_RS_TEXTUREFACTOR: {
        // One factor for every stage: each unit's constant colour.
        const GLfloat color[4] = {(float)((value >> 16) & 0xFF) / 255.0f, (float)((value >> 8) & 0xFF) / 255.0f,
                                  (float)(value & 0xFF) / 255.0f, (float)(value >> 24) / 255.0f};
        for (int32_t stage = 0; stage < stageCount; ++stage) {
            glActiveTexture(GL_TEXTURE0 + stage);
            glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, color);
        }
        glActiveTexture(GL_TEXTURE0);
        break;
    }
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

// Pre-transformed vertices give pixels with centres at integers; GL's
// centres lie at n + 0.5, so the mapping adds half a pixel: a quad from
// (x - 0.5, y - 0.5) to (x + w - 0.5, y + h - 0.5) covers pixels x..x+w-1.
// Rows need no flip (GL window y is the caller's row, see the top); depth
// 0..1 goes to -1..1. rhw is not used: the game always writes 1.
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

int32_t GlDevice::liveDefaultPoolTextures() {
    std::lock_guard<std::mutex> hold(poolLock);
    return defaultPoolTextures;
}

// The first free slot, taken for the caller's thread; null when none is.
GfxTexture* GlDevice::takeSlot(GfxPool pool) {
    std::lock_guard<std::mutex> hold(poolLock);
    for (GfxTexture& slot : textures)
        if (slot.state == TEXTURE_FREE) {
            slot.state = TEXTURE_LIVE;
            slot.pool = pool;
            if (pool == GFX_POOL_DEFAULT) ++defaultPoolTextures;
            return &slot;
        }
    return nullptr;
}

// Gives a slot without GL objects back to the pool.
void GlDevice::freeSlot(GfxTexture* texture) {
    gfxTexelsDestroy(&texture->texels);
    std::lock_guard<std::mutex> hold(poolLock);
    if (texture->pool == GFX_POOL_DEFAULT) --defaultPoolTextures;
    texture->state = TEXTURE_FREE;
}

GfxTexture* GlDevice::createTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                                    GfxPool pool) {
    int32_t levelCount = gfxTextureLevels(width, height, levels, usage, format, pool);
    if (levelCount == 0 || width > maxTextureSize || height > maxTextureSize) return nullptr;
    bool renderTarget = (usage & GFX_USAGE_RENDER_TARGET) != 0;
    if (renderTarget && !onMainThread()) return nullptr;
    if (onMainThread()) collectReleased();
    GfxTexture* texture = takeSlot(pool);
    if (!texture) return nullptr;

    // Only this thread knows the slot until the texture is handed out; its
    // GL fields are zero (a free slot has no GL objects).
    texture->levels = levelCount;
    for (int32_t level = 0; level < levelCount; ++level)
        texture->surfaces[level] = GfxSurface{SURFACE_TEXTURE_LEVEL, gfxLevelSide(width, level),
                                              gfxLevelSide(height, level), texture, 0, 0, 0};
    if (!renderTarget) {
        if (gfxTexelsCreate(&texture->texels, width, height, levelCount, format)) return texture;
        freeSlot(texture);
        return nullptr;
    }

    texture->texels = GfxTexels{};
    texture->texels.format = format;
    createGlTexture(texture, width, height);
    glBindTexture(GL_TEXTURE_2D, stageTextures[0] ? stageTextures[0]->name : 0);
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
        deleteGlObjects(texture);
        freeSlot(texture);
        return nullptr;
    }
    return texture;
}

// Makes the GL texture with every level, from the texels when there are
// any, and leaves it bound on the active unit. Main thread.
void GlDevice::createGlTexture(GfxTexture* texture, int32_t width, int32_t height) {
    const GlTextureFormat& format = TEXTURE_FORMATS[texture->texels.format];
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    // The level limit keeps a short chain complete.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, texture->levels - 1);
    texture->sampler = GlSampler{};
    const GfxTexels& texels = texture->texels;
    for (int32_t level = 0; level < texture->levels; ++level)
        glTexImage2D(GL_TEXTURE_2D, level, (GLint)format.internal, gfxLevelSide(width, level),
                     gfxLevelSide(height, level), 0, format.format, format.type,
                     texels.bytes ? texels.bytes + texels.offsets[level] : nullptr);
    texture->texels.dirtyLevels = 0;
}

// The texture must be bound on the active unit. Main thread.
void GlDevice::uploadDirtyLevels(GfxTexture* texture) {
    GfxTexels& texels = texture->texels;
    if (!texels.dirtyLevels) return;
    const GlTextureFormat& format = TEXTURE_FORMATS[texels.format];
    for (int32_t level = 0; level < texels.levels; ++level)
        if (texels.dirtyLevels & (1u << level))
            glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, gfxLevelSide(texels.width, level),
                            gfxLevelSide(texels.height, level), format.format, format.type,
                            texels.bytes + texels.offsets[level]);
    texels.dirtyLevels = 0;
}

// Main thread.
void GlDevice::deleteGlObjects(GfxTexture* texture) {
    for (int32_t stage = 0; stage < stageCount; ++stage)
        if (stageTextures[stage] == texture) bindStage(stage, nullptr);
    // Its target goes back to the back buffer before its framebuffer goes.
    if (colorTarget->texture == texture) bindTarget(&backBuffer, depthTarget);
    glDeleteFramebuffers(1, &texture->surfaces[0].framebuffer);
    glDeleteRenderbuffers(1, &texture->ownDepth);
    glDeleteTextures(1, &texture->name);
    texture->name = texture->ownDepth = 0;
    for (GfxSurface& surface : texture->surfaces) surface = GfxSurface{};
}

// Deletes the GL objects of textures released off the main thread and frees
// their slots. Main thread.
void GlDevice::collectReleased() {
    std::lock_guard<std::mutex> hold(poolLock);
    for (int32_t i = 0; i < releasedCount; ++i) {
        GfxTexture* texture = &textures[releasedSlots[i]];
        deleteGlObjects(texture);
        texture->state = TEXTURE_FREE;
    }
    releasedCount = 0;
}

// Off the main thread the slot waits, RELEASED, on the released list until
// the main thread deletes its GL objects; only this call touches it until
// it is listed.
void GlDevice::releaseTexture(GfxTexture* texture) {
    if (!texture) return;
    {
        std::lock_guard<std::mutex> hold(poolLock);
        if (texture->state != TEXTURE_LIVE) return;
        texture->state = TEXTURE_RELEASED;
        if (texture->pool == GFX_POOL_DEFAULT) --defaultPoolTextures;
    }
    gfxTexelsDestroy(&texture->texels);
    if (onMainThread()) deleteGlObjects(texture);
    std::lock_guard<std::mutex> hold(poolLock);
    if (onMainThread())
        texture->state = TEXTURE_FREE;
    else
        releasedSlots[releasedCount++] = (int32_t)(texture - textures);
}

GfxSurface* GlDevice::getSurfaceLevel(GfxTexture* texture, int32_t level) {
    if (!texture || texture->state != TEXTURE_LIVE || level < 0 || level >= texture->levels) return nullptr;
    return &texture->surfaces[level];
}

GfxResult GlDevice::lockRect(GfxTexture* texture, int32_t level, GfxLockedRect* out) {
    if (!texture || texture->state != TEXTURE_LIVE) return GFX_INVALID_CALL;
    return gfxTexelsLock(&texture->texels, level, out);
}

GfxResult GlDevice::unlockRect(GfxTexture* texture, int32_t level) {
    if (!texture || texture->state != TEXTURE_LIVE) return GFX_INVALID_CALL;
    return gfxTexelsUnlock(&texture->texels, level);
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
    if (stage < 0 || stage >= stageCount || (texture && texture->state != TEXTURE_LIVE)) return;
    bindStage(stage, texture);
}

void GlDevice::setTextureStageState(int32_t stage, GfxTextureStageState state, uint32_t value) {
    if (stage < 0 || stage >= stageCount || state < 0 || state >= GFX_TSS_COUNT || value > stageStateMax(state))
        return;
    stageStates[stage][state] = value;
    applyStageState(stage, state);
}

void GlDevice::setTransform(GfxTransform which, const float matrix[16]) {
    if (which < 0 || which >= GFX_TS_COUNT || !matrix) return;
    memcpy(transforms[which], matrix, sizeof transforms[which]);
    if (screenSpaceLoaded)
        loadWorldSpace();
    else if (which == GFX_TS_PROJECTION)
        loadProjection();
    else
        loadModelView();
}

// The vertex arrays point into the caller's memory, which GL reads before
// glDrawArrays returns.
GfxResult GlDevice::drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices,
                                    int32_t stride) {
    int32_t size = gfxVertexSize(vertexFormat);
    if (size == 0 || !vertices || type < GFX_PT_TRIANGLELIST || type > GFX_PT_TRIANGLEFAN || primitiveCount < 1 ||
        primitiveCount > GFX_DRAW_PRIMITIVE_MAX || stride < size)
        return GFX_INVALID_CALL;
    if (lost) return GFX_OK;
    for (int32_t stage = 0; stage < stageCount; ++stage)
        if (unitEnabled[stage] && stageTextures[stage]->texels.dirtyLevels) {
            glActiveTexture(GL_TEXTURE0 + stage);
            uploadDirtyLevels(stageTextures[stage]);
            glActiveTexture(GL_TEXTURE0);
        }

    bool screen = (vertexFormat & GFX_FVF_XYZRHW) != 0;
    if (screen)
        loadScreenSpace();
    else
        loadWorldSpace();
    const uint8_t* at = (const uint8_t*)vertices;
    glVertexPointer(3, GL_FLOAT, stride, at);
    at += screen ? 16 : 12;
    if (vertexFormat & GFX_FVF_NORMAL) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, at);
        at += 12;
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
    }
    if (vertexFormat & GFX_FVF_DIFFUSE) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, at);
        at += 4;
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (vertexFormat & GFX_FVF_SPECULAR) at += 4;
    glClientActiveTexture(GL_TEXTURE0);
    if (vertexFormat & GFX_FVF_TEX1) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, at);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    bool unlit = screen && renderStates[GFX_RS_LIGHTING];
    if (unlit) glDisable(GL_LIGHTING);
    int32_t vertexCount = type == GFX_PT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
    glDrawArrays(PRIMITIVE_MODES[type], 0, vertexCount);
    if (unlit) glEnable(GL_LIGHTING);
    return GFX_OK;
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

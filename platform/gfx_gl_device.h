// platform/gfx_gl_device.h: inside platform/ only, for the gfx_gl_*.cpp
// files: the OpenGL device class and the surface and texture records they
// share. platform/gfx_gl.h stays the entry the backends use.
//
// The fixed-function device on OpenGL 2.1 (compatibility profile) with
// framebuffer objects, shared by the windowed and the headless backend.
// Every call runs on the main thread with the backend's context current;
// nothing is allocated after a texture or the device is created.
// gfx_gl_states.cpp maps render states, texture-stage states and transforms
// onto GL; gfx_gl_textures.cpp holds the texture pool and render targets;
// gfx_gl_draw.cpp draws, clears, presents and makes and resets the device;
// gfx_gl_targets.cpp reads render targets back; gfx_gl_fixed.cpp holds the
// fixed-function lighting, material and fog.
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
#pragma once
#include "platform/gfx_gl.h"

#include "platform/gfx_texels.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <memory>
#include <mutex>
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

// A vertex or index buffer: the bytes on the CPU, the GL buffer made and
// filled on the main thread at the first draw after an unlock. State
// changes under the pool lock, as a texture's.
struct GfxBuffer {
    TextureState state;
    GfxBufferKind kind;
    int32_t bytes;
    uint8_t* data;
    bool locked;
    bool dirty;          // unlocked since GL last took the bytes
    uint32_t maxIndex;   // index buffers: the largest index, found at unlock
    GLuint name;         // main thread only; 0 until first drawn
};

// The skinning programs (gfx_gl_skin.cpp): made on the main thread at the
// first skinned draw; a program that fails to build stays 0 and its draws
// are refused.
struct GlSkinState {
    GLuint programs[4][2];        // by bones per vertex - 1, then lit
    GLint constantsAt[4][2];
    GLint fogRangeAt[4][2];
    bool built;
    int32_t bones;                // 0: none set
    int32_t lit;
    float constants[GFX_SKIN_CONSTANT_MAX][4];
};

// Indexed by GfxPrimitive.
extern const GLenum GL_PRIMITIVE_MODES[3];

// Its members are defined in the files named at the top, by job
// (gfx_gl_buffers.cpp: vertex and index buffers and indexed draws).
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
    // createTexture; a texture that is not a render target takes over adopt
    // (one level of A8R8G8B8) as its texels when given.
    GfxTexture* makeTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                            GfxPool pool, uint8_t* adopt);
    GfxTexture* createTextureFromTexels(int32_t width, int32_t height, GfxPool pool, uint8_t* bytes) override;
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
    void getTransform(GfxTransform which, float out[16]) override;
    void setVertexFormat(uint32_t fvf) override { vertexFormat = fvf; }
    GfxResult drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices, int32_t stride) override;
    void setMaterial(const GfxMaterial& material) override;
    void setLight(int32_t index, const GfxLight& light) override;
    void lightEnable(int32_t index, bool on) override;
    GfxBuffer* createBuffer(GfxBufferKind kind, int32_t bytes) override;
    void releaseBuffer(GfxBuffer* buffer) override;
    void* lockBuffer(GfxBuffer* buffer) override;
    void unlockBuffer(GfxBuffer* buffer) override;
    void setStreamSource(GfxBuffer* vertices, int32_t stride) override;
    void setIndices(GfxBuffer* indices) override;
    GfxResult drawIndexedPrimitive(GfxPrimitive type, int32_t baseVertex, int32_t startIndex,
                                   int32_t primitiveCount) override;
    void setSkinProgram(int32_t bonesPerVertex, int32_t lit) override;
    void setSkinConstants(int32_t first, const float* values, int32_t count) override;
    bool readBackBuffer(uint32_t* argb, int32_t width, int32_t height) override;
    bool readRenderTarget(GfxSurface* surface, uint32_t* argb, int32_t width, int32_t height) override;
    void simulateDeviceLoss() override { lost = true; }
    int32_t liveDefaultPoolTextures() override;

private:
    bool onMainThread() const { return std::this_thread::get_id() == mainThread; }
    // gfx_gl_draw.cpp: the back buffer and the pre-transformed vertex path.
    bool backBufferFits(const GfxPresentParams& params) const;
    bool createBackBuffer(const GfxPresentParams& params);
    void deleteBackBuffer();
    void loadScreenSpace();
    void loadWorldSpace();
    // gfx_gl_states.cpp: the old model's states onto GL's.
    void resetState();
    void applyUnitEnables();
    void applyCombine(int32_t stage, bool alpha);
    void applySampler(int32_t stage, GfxTexture* texture);
    void applyStageState(int32_t stage, GfxTextureStageState state);
    void applyRenderState(GfxRenderState state);
    void loadModelView();
    void loadProjection();
    // gfx_gl_fixed.cpp: lights, material sources and fog.
    void resetFixedState();
    void applyFixedRenderState(GfxRenderState state);
    void applyLights();
    void applyColorMaterial();
    // Around a pre-transformed draw: neither lit nor fogged.
    void beginScreenDraw();
    void endScreenDraw();
    // gfx_gl_textures.cpp: the pool, uploads and render targets.
    void bindTarget(GfxSurface* color, GfxSurface* depth);
    void bindStage(int32_t stage, GfxTexture* texture);
    GfxTexture* takeSlot(GfxPool pool);
    void freeSlot(GfxTexture* texture);
    void createGlTexture(GfxTexture* texture, int32_t width, int32_t height);
    void uploadDirtyLevels(GfxTexture* texture);
    void deleteGlObjects(GfxTexture* texture);
    void collectReleased();
    // gfx_gl_buffers.cpp.
    void uploadBuffer(GfxBuffer* buffer, GLenum target);
    void collectReleasedBuffers();
    void shutdownBuffers();
    // gfx_gl_skin.cpp: false when the program cannot be used.
    bool beginSkinnedDraw(uintptr_t at, int32_t stride);
    void endSkinnedDraw();
    void shutdownSkinning();
    // gfx_gl_draw.cpp: the vertex arrays of a format from a base address
    // (client memory, or an offset into the bound GL buffer).
    bool prepareDraw(int32_t stride);
    void pointVertexArrays(uintptr_t at, int32_t stride);
    // gfx_gl_fixed.cpp: the fog factors of count vertices from vertices on
    // (client memory), handed to GL as the draw's fog coordinates while fog
    // is on; source names a buffer whose factors may be reused, else null.
    void prepareVertexFog(const uint8_t* vertices, int32_t stride, int32_t count, const GfxBuffer* source);
    bool fogActive() const;

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

    GfxBuffer buffers[GFX_BUFFER_MAX] = {};
    int32_t releasedBuffers[GFX_BUFFER_MAX] = {};
    int32_t releasedBufferCount = 0;
    GfxBuffer* streamSource = nullptr;
    int32_t streamStride = 0;
    GfxBuffer* indexSource = nullptr;

    GlSkinState skin = {};

    // Per-vertex fog: GL interpolates 1 - factor as the fog coordinate
    // under a fog of start 0 and end 1, so the factor, not the depth, runs
    // linearly across a triangle. Grown only at a draw larger than any
    // before; the last buffer's factors are kept while nothing they depend
    // on changes.
    std::unique_ptr<float[]> fogCoords;
    int32_t fogCoordCapacity = 0;
    const GfxBuffer* fogSource = nullptr;
    const uint8_t* fogSourceBytes = nullptr;
    int32_t fogSourceCount = 0;
    int32_t fogSourceStride = 0;
    float fogSourceKey[6] = {};

    GfxTexture* stageTextures[GFX_TEXTURE_STAGE_MAX] = {};
    uint32_t stageStates[GFX_TEXTURE_STAGE_MAX][GFX_TSS_COUNT] = {};
    bool unitEnabled[GFX_TEXTURE_STAGE_MAX] = {};

    uint32_t renderStates[GFX_RS_COUNT] = {};
    GfxMaterial material = {};
    GfxLight lights[GFX_LIGHT_MAX] = {};
    bool lightOn[GFX_LIGHT_MAX] = {};
    bool lightsStale = false;        // positions wait for the view of the next draw
    GLenum colorMaterialMode = 0;    // what GL_COLOR_MATERIAL tracks now; 0 off
    float transforms[GFX_TS_COUNT][16] = {};
    uint32_t vertexFormat = 0;
    // Pre-transformed draws load a pixel mapping for the target of this size.
    bool screenSpaceLoaded = false;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    bool lost = false;
    bool inScene = false;
};

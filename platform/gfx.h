// platform/gfx.h: the graphics device, in the fixed-function model the game's
// drawing code is written in (render states, texture stages, transforms,
// textures and surfaces, scenes, present, lost device and reset).
//
// A backend ("system") creates one device. The OpenGL backend draws with
// OpenGL 2.1 (compatibility profile) into an off-screen back buffer of the
// asked size; in a window, present stretches it to the window's client area.
// The headless backend runs the same OpenGL code on an EGL surfaceless context
// (Mesa's software renderer) and never shows anything; tests read the back
// buffer back. The recording backend draws nothing and logs every call.
//
// Conventions kept from the model the game is written for: a colour is
// 0xAARRGGBB; pixel rows are numbered from the top; depth runs 0..1;
// matrices are row-major with row vectors (translation in elements 12..14);
// pre-transformed vertices put pixel centres at integer coordinates.
//
// Threads: only the main thread calls a device, except that a loader thread
// may create (not render targets), lock, unlock and release textures. Those
// calls touch only the texture's CPU copy of its texels and the device's
// fixed texture pool; the OpenGL device makes and fills its GL texture on the
// main thread when the texture is first bound. The caller hands a texture
// from one thread to the other with release/acquire, as the loader flags do.
#pragma once
#include <cstdint>

#include "platform/gfx_light.h"

enum GfxResult : int32_t {
    GFX_OK = 0,
    GFX_FAILED,
    GFX_DEVICE_LOST,        // present: the device was lost; draw nothing until reset
    GFX_DEVICE_NOT_RESET,   // cooperative level: lost and ready to be reset
    GFX_INVALID_CALL,       // reset while default-pool resources are still alive, and the like
};

enum GfxFormat : int32_t {
    GFX_FORMAT_UNKNOWN = 0,
    GFX_FORMAT_X8R8G8B8,
    GFX_FORMAT_A8R8G8B8,
    GFX_FORMAT_R5G6B5,
    GFX_FORMAT_X1R5G5B5,
    GFX_FORMAT_A1R5G5B5,
    GFX_FORMAT_A4R4G4B4,
    GFX_FORMAT_D16,
};

enum GfxPool : int32_t { GFX_POOL_DEFAULT = 0, GFX_POOL_MANAGED = 1, GFX_POOL_SYSTEM = 2 };
enum GfxUsage : uint32_t { GFX_USAGE_NONE = 0, GFX_USAGE_RENDER_TARGET = 1 };
enum GfxClearFlags : uint32_t { GFX_CLEAR_TARGET = 1, GFX_CLEAR_ZBUFFER = 2, GFX_CLEAR_STENCIL = 4 };

enum GfxRenderState : int32_t {
    GFX_RS_CULLMODE = 0,        // GfxCull
    GFX_RS_ZENABLE,
    GFX_RS_ZWRITEENABLE,
    GFX_RS_ZFUNC,               // GfxCompare
    GFX_RS_ALPHABLENDENABLE,
    GFX_RS_SRCBLEND,            // GfxBlend
    GFX_RS_DESTBLEND,           // GfxBlend
    GFX_RS_ALPHATESTENABLE,
    GFX_RS_ALPHAREF,
    GFX_RS_ALPHAFUNC,           // GfxCompare
    GFX_RS_FOGENABLE,
    GFX_RS_LIGHTING,
    GFX_RS_TEXTUREFACTOR,       // 0xAARRGGBB, the colour GFX_TA_TFACTOR reads
    // Fixed-function lighting and fog (platform/gfx_gl_fixed.cpp):
    GFX_RS_AMBIENT,             // 0xAARRGGBB, the global ambient light of lit draws
    GFX_RS_COLORVERTEX,         // lit draws may take material colours from the vertex colour
    GFX_RS_DIFFUSEMATERIALSOURCE,   // GfxMaterialSource
    GFX_RS_AMBIENTMATERIALSOURCE,   // GfxMaterialSource
    GFX_RS_NORMALIZENORMALS,    // normals rescaled to unit length after the world and view
    GFX_RS_SHADEMODE,           // GfxShade
    GFX_RS_FOGCOLOR,            // 0xAARRGGBB; fog replaces colour only, never alpha
    GFX_RS_FOGVERTEXMODE,       // GfxFogMode: computed per vertex, from the view-space depth
    GFX_RS_FOGSTART,            // the bits of a float: view-space depth where fog begins
    GFX_RS_FOGEND,              // the bits of a float: view-space depth of full fog
    GFX_RS_COUNT
};
// Where a lit draw takes a material colour: the material, or the vertex's
// diffuse colour (when the vertex has one and COLORVERTEX is on).
enum GfxMaterialSource : uint32_t { GFX_MCS_MATERIAL = 0, GFX_MCS_COLOR1 = 1 };
enum GfxShade : uint32_t { GFX_SHADE_FLAT = 1, GFX_SHADE_GOURAUD = 2 };
// Linear vertex fog: factor (end - d) / (end - start), clamped, with d the
// view-space depth; pre-transformed vertices are never fogged.
enum GfxFogMode : uint32_t { GFX_FOG_NONE = 0, GFX_FOG_LINEAR = 3 };
enum GfxCull : uint32_t { GFX_CULL_NONE = 1, GFX_CULL_CW = 2, GFX_CULL_CCW = 3 };
enum GfxCompare : uint32_t {
    GFX_CMP_NEVER = 1, GFX_CMP_LESS, GFX_CMP_EQUAL, GFX_CMP_LESSEQUAL,
    GFX_CMP_GREATER, GFX_CMP_NOTEQUAL, GFX_CMP_GREATEREQUAL, GFX_CMP_ALWAYS,
};
enum GfxBlend : uint32_t {
    GFX_BLEND_ZERO = 1, GFX_BLEND_ONE, GFX_BLEND_SRCCOLOR, GFX_BLEND_INVSRCCOLOR,
    GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA, GFX_BLEND_DESTALPHA, GFX_BLEND_INVDESTALPHA,
    GFX_BLEND_DESTCOLOR, GFX_BLEND_INVDESTCOLOR,
};

enum GfxTransform : int32_t { GFX_TS_WORLD = 0, GFX_TS_VIEW, GFX_TS_PROJECTION, GFX_TS_COUNT };

// Per texture stage. Stage 0 combines its texture with the diffuse colour;
// each later stage takes the one before as CURRENT. Processing stops at the
// first stage whose colour operation is DISABLE; a stage with no texture
// passes CURRENT on unchanged.
enum GfxTextureStageState : int32_t {
    GFX_TSS_COLOROP = 0,     // GfxTextureOp
    GFX_TSS_COLORARG1,       // GfxTextureArg
    GFX_TSS_COLORARG2,
    GFX_TSS_ALPHAOP,         // GfxTextureOp
    GFX_TSS_ALPHAARG1,
    GFX_TSS_ALPHAARG2,
    GFX_TSS_MAGFILTER,       // GfxTextureFilter (NONE samples as POINT)
    GFX_TSS_MINFILTER,
    GFX_TSS_MIPFILTER,       // NONE: level 0 only
    GFX_TSS_MIPMAPLODBIAS,   // the bits of a float, added to the mip level chosen
    GFX_TSS_ADDRESSU,        // GfxTextureAddress
    GFX_TSS_ADDRESSV,
    GFX_TSS_COUNT
};
// With a = ARG1, b = ARG2, channels 0..1, every result clamped to 0..1.
enum GfxTextureOp : uint32_t {
    GFX_TOP_DISABLE = 0,   // colour: this and later stages off; alpha: CURRENT
    GFX_TOP_SELECTARG1,    // a
    GFX_TOP_SELECTARG2,    // b
    GFX_TOP_MODULATE,      // a * b
    GFX_TOP_MODULATE2X,    // 2 a b
    GFX_TOP_MODULATE4X,    // 4 a b
    GFX_TOP_ADD,           // a + b
    GFX_TOP_ADDSIGNED,     // a + b - 0.5: a grey of one half leaves the other unchanged
    GFX_TOP_ADDSMOOTH,     // a + b - a b
    GFX_TOP_SUBTRACT,      // a - b
};
enum GfxTextureArg : uint32_t {
    GFX_TA_TEXTURE = 0,    // the stage's texel
    GFX_TA_DIFFUSE,        // the vertex colour
    GFX_TA_CURRENT,        // the stage before; the diffuse colour at stage 0
    GFX_TA_TFACTOR,        // GFX_RS_TEXTUREFACTOR
};
enum GfxTextureFilter : uint32_t { GFX_FILTER_POINT = 0, GFX_FILTER_LINEAR, GFX_FILTER_NONE };
enum GfxTextureAddress : uint32_t { GFX_ADDRESS_WRAP = 0, GFX_ADDRESS_MIRROR, GFX_ADDRESS_CLAMP, GFX_ADDRESS_BORDER };

enum GfxPrimitive : int32_t { GFX_PT_TRIANGLELIST = 0, GFX_PT_TRIANGLESTRIP, GFX_PT_TRIANGLEFAN };

// Vertex format bits. A vertex holds, in this order: the position (XYZ: three
// floats transformed by world, view and projection; or XYZRHW: x and y in
// back-buffer pixels, z the depth 0..1, then rhw, which the game always
// writes as 1 and is not used; drawn without transform or lighting), the normal (three floats), the diffuse colour (0xAARRGGBB; white
// when absent), the specular colour (carried, not added) and one set of
// texture coordinates (two floats) for stage 0.
enum GfxVertexFormat : uint32_t {
    GFX_FVF_XYZ = 1u << 0,
    GFX_FVF_XYZRHW = 1u << 1,
    GFX_FVF_NORMAL = 1u << 2,
    GFX_FVF_DIFFUSE = 1u << 3,
    GFX_FVF_SPECULAR = 1u << 4,
    GFX_FVF_TEX1 = 1u << 5,
    // A format of its own, not combined with the bits above: GfxSkinVertex,
    // drawn by indexed draws through the skinning program set.
    GFX_FVF_SKINNED = 1u << 6,
};

// A vertex of a skinned mesh: position, the first three blend weights (the
// program takes the vertex's last weight as 1 minus the ones before it),
// four palette indices (index k in byte k), normal, diffuse colour
// (0xAARRGGBB) and texture coordinates.
struct GfxSkinVertex {
    float x, y, z;
    float weights[3];
    uint32_t indices;
    float nx, ny, nz;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(GfxSkinVertex) == 52);

// The skinning programs' constant registers (four floats each):
//   0: (1, power, 0, 765.01)   w scales the index bytes into register offsets
//   1: the light direction, in the palette's (view) space
//   2..5: the projection, transposed (row k dotted with the position)
//   7: the ambient colour, 8: the diffuse colour
//   9 + 3k .. 11 + 3k: palette entry k, the first three columns of its
//     row-vector matrix as rows (so a position p goes to p . row)
// A lit program colours a vertex v4 x min(1, c7 + c8 x max(0, n . c1)), an
// unlit one with its vertex colour; both pass texture coordinates to stage
// 0, whose states then apply as for any draw.
constexpr int32_t GFX_SKIN_PALETTE_MAX = 28;
constexpr int32_t GFX_SKIN_CONSTANT_MAX = 9 + 3 * GFX_SKIN_PALETTE_MAX;

// The bytes of one vertex of a format, or 0 when the bits make no vertex
// (not exactly one position kind, or unknown bits).
constexpr int32_t gfxVertexSize(uint32_t fvf) {
    if (fvf == GFX_FVF_SKINNED) return (int32_t)sizeof(GfxSkinVertex);
    constexpr uint32_t known =
        GFX_FVF_XYZ | GFX_FVF_XYZRHW | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1;
    if ((fvf & ~known) != 0 || ((fvf & GFX_FVF_XYZ) != 0) == ((fvf & GFX_FVF_XYZRHW) != 0)) return 0;
    return ((fvf & GFX_FVF_XYZ) ? 12 : 16) + ((fvf & GFX_FVF_NORMAL) ? 12 : 0) + ((fvf & GFX_FVF_DIFFUSE) ? 4 : 0) +
           ((fvf & GFX_FVF_SPECULAR) ? 4 : 0) + ((fvf & GFX_FVF_TEX1) ? 8 : 0);
}

struct GfxDisplayMode {
    int32_t width;
    int32_t height;
    GfxFormat format;
};

// What a device is created and reset with.
struct GfxPresentParams {
    int32_t backBufferWidth;
    int32_t backBufferHeight;
    GfxFormat backBufferFormat;
    bool windowed;
    bool autoDepthStencil;
    GfxFormat depthStencilFormat;
    bool vsync;
};

// Limits every backend keeps: its textures come from a fixed pool.
constexpr int32_t GFX_TEXTURE_MAX = 1024;        // live textures per device; creating more fails
constexpr int32_t GFX_TEXTURE_LEVEL_MAX = 14;    // mip levels, so a side is at most 8192
constexpr int32_t GFX_TEXTURE_STAGE_MAX = 8;
constexpr int32_t GFX_LIGHT_MAX = 8;
constexpr int32_t GFX_DRAW_PRIMITIVE_MAX = 1 << 20;   // triangles one draw takes

// The mip levels a texture gets, or 0 when it cannot be made: sides 1..8192,
// a colour format, levels 0 (the whole chain down to 1x1) up to the whole
// chain; a render target lives in the default pool and has one level.
constexpr int32_t gfxTextureLevels(int32_t width, int32_t height, int32_t levels, uint32_t usage,
                                   GfxFormat format, GfxPool pool) {
    constexpr int32_t maxSide = 1 << (GFX_TEXTURE_LEVEL_MAX - 1);
    if (width < 1 || height < 1 || width > maxSide || height > maxSide) return 0;
    if (format <= GFX_FORMAT_UNKNOWN || format >= GFX_FORMAT_D16) return 0;
    int32_t chain = 1;
    for (int32_t side = width > height ? width : height; side > 1; side >>= 1) ++chain;
    if (usage & GFX_USAGE_RENDER_TARGET) {
        if (pool != GFX_POOL_DEFAULT) return 0;
        chain = 1;
    }
    if (levels < 0 || levels > chain) return 0;
    return levels == 0 ? chain : levels;
}

// Bytes per texel of a colour format; 0 for the others.
constexpr int32_t gfxFormatBytes(GfxFormat format) {
    switch (format) {
    case GFX_FORMAT_X8R8G8B8:
    case GFX_FORMAT_A8R8G8B8: return 4;
    case GFX_FORMAT_R5G6B5:
    case GFX_FORMAT_X1R5G5B5:
    case GFX_FORMAT_A1R5G5B5:
    case GFX_FORMAT_A4R4G4B4: return 2;
    default: return 0;
    }
}

// A locked texture level: its texels in the texture's format (a 32-bit
// format stores each texel as a little-endian 0xAARRGGBB, the 16-bit ones
// with red in the high bits), top row first.
struct GfxLockedRect {
    int32_t pitch;   // bytes from the start of one row to the next
    void* bits;
};

// Vertex and index buffers: bytes kept on the CPU, so loader threads may
// create, fill and release them like textures; the OpenGL device copies a
// buffer into GL on the main thread when it first draws from it, and again
// after it was unlocked. Indices are 32-bit.
enum GfxBufferKind : int32_t { GFX_BUFFER_VERTEX = 0, GFX_BUFFER_INDEX };
constexpr int32_t GFX_BUFFER_MAX = 2048;            // live buffers per device; creating more fails
constexpr int32_t GFX_BUFFER_BYTES_MAX = 1 << 28;   // one buffer's size

struct GfxBuffer;    // owned by the device; released with releaseBuffer
struct GfxTexture;   // owned by the device; released with releaseTexture
struct GfxSurface;   // a level of a texture, the back buffer or a depth buffer; owned by the device

class GfxDevice {
public:
    virtual ~GfxDevice() = default;

    virtual GfxResult clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) = 0;
    virtual GfxResult beginScene() = 0;
    virtual GfxResult endScene() = 0;
    virtual GfxResult present() = 0;
    virtual GfxResult testCooperativeLevel() = 0;
    // Fails with GFX_INVALID_CALL while default-pool textures are alive.
    virtual GfxResult reset(const GfxPresentParams& params) = 0;

    // Null when the shape is refused (gfxTextureLevels), the pool is full, a
    // render target is asked for off the main thread, or memory runs out.
    // Texels start as zero.
    virtual GfxTexture* createTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage,
                                      GfxFormat format, GfxPool pool) = 0;
    // A one-level A8R8G8B8 texture that takes over bytes (width * height * 4,
    // from malloc) as its texels: what createTexture(width, height, 1, 0,
    // A8R8G8B8, pool) and a write of the whole level make, without the
    // copy. The bytes are freed with the texture, or at once on null.
    virtual GfxTexture* createTextureFromTexels(int32_t width, int32_t height, GfxPool pool, uint8_t* bytes) = 0;
    virtual void releaseTexture(GfxTexture* texture) = 0;
    virtual GfxSurface* getSurfaceLevel(GfxTexture* texture, int32_t level) = 0;
    // Hands out a level's texels until unlockRect; drawing sees what was
    // written once the level is unlocked. GFX_INVALID_CALL for a render
    // target, a level it lacks or one already locked (unlock: not locked).
    virtual GfxResult lockRect(GfxTexture* texture, int32_t level, GfxLockedRect* out) = 0;
    virtual GfxResult unlockRect(GfxTexture* texture, int32_t level) = 0;

    virtual GfxSurface* getRenderTarget() = 0;         // the surface drawn into now
    virtual GfxSurface* getDepthStencilSurface() = 0;  // the depth buffer in use now
    virtual GfxSurface* getBackBuffer() = 0;
    virtual GfxResult setRenderTarget(GfxSurface* color, GfxSurface* depth) = 0;

    virtual void setRenderState(GfxRenderState state, uint32_t value) = 0;
    virtual void setTexture(int32_t stage, GfxTexture* texture) = 0;
    // Values outside a state's range are ignored and the state kept.
    virtual void setTextureStageState(int32_t stage, GfxTextureStageState state, uint32_t value) = 0;
    virtual void setTransform(GfxTransform which, const float matrix[16]) = 0;
    // The matrix in force (identity after a reset); an index out of range
    // leaves out untouched. Screen mapping checks read the camera back here.
    virtual void getTransform(GfxTransform which, float out[16]) = 0;

    // The layout of the vertices that the next draws read (GfxVertexFormat bits).
    virtual void setVertexFormat(uint32_t fvf) = 0;
    // Draws primitiveCount triangles from the caller's vertices, read at once:
    // a list takes 3 vertices a triangle, a strip or fan primitiveCount + 2.
    // GFX_INVALID_CALL for a format that makes no vertex or is GFX_FVF_SKINNED, a stride shorter
    // than the vertex, no vertices or a count out of range; a lost device
    // draws nothing and reports success.
    virtual GfxResult drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices,
                                      int32_t stride) = 0;

    // Material of lit draws (GFX_RS_LIGHTING on); COLORVERTEX and the
    // material sources may replace its diffuse and ambient colours by the
    // vertex colour.
    virtual void setMaterial(const GfxMaterial& material) = 0;
    // Lights 0..GFX_LIGHT_MAX-1 of lit draws. A light is given in world
    // space and takes the view transform in force when it is drawn with.
    // Specular light is not added. Index out of range: ignored.
    virtual void setLight(int32_t index, const GfxLight& light) = 0;
    virtual void lightEnable(int32_t index, bool on) = 0;

    // Null when the size is not 1..GFX_BUFFER_BYTES_MAX, the pool is full or
    // memory runs out. Bytes start as zero. Any thread.
    virtual GfxBuffer* createBuffer(GfxBufferKind kind, int32_t bytes) = 0;
    virtual void releaseBuffer(GfxBuffer* buffer) = 0;
    // The buffer's bytes until unlockBuffer; null when it is locked already.
    virtual void* lockBuffer(GfxBuffer* buffer) = 0;
    virtual void unlockBuffer(GfxBuffer* buffer) = 0;
    // The vertices (of the format of setVertexFormat, stride bytes apart) and
    // the indices that drawIndexedPrimitive reads; null unbinds.
    virtual void setStreamSource(GfxBuffer* vertices, int32_t stride) = 0;
    virtual void setIndices(GfxBuffer* indices) = 0;
    // Draws primitiveCount triangles from the indices starting at
    // startIndex, each index counted from baseVertex. GFX_INVALID_CALL
    // without both buffers, for a locked one, a format that makes no vertex,
    // a stride shorter than the vertex, a count or start beyond the indices,
    // or when the largest index of the buffer plus baseVertex lies beyond
    // the vertices; a lost device draws nothing and reports success.
    virtual GfxResult drawIndexedPrimitive(GfxPrimitive type, int32_t baseVertex, int32_t startIndex,
                                           int32_t primitiveCount) = 0;
    // The program GFX_FVF_SKINNED draws go through: bonesPerVertex 1..4 (the
    // weights read are bonesPerVertex - 1), lit 0 or 1; bonesPerVertex 0
    // sets none, and skinned draws are then refused with GFX_INVALID_CALL.
    virtual void setSkinProgram(int32_t bonesPerVertex, int32_t lit) = 0;
    // Writes count registers from first on (GFX_SKIN_CONSTANT_MAX in all);
    // registers out of range are ignored.
    virtual void setSkinConstants(int32_t first, const float* values, int32_t count) = 0;

    // Copies the back buffer, top row first, as 0xAARRGGBB; false when the
    // size differs from the back buffer's.
    virtual bool readBackBuffer(uint32_t* argb, int32_t width, int32_t height) = 0;
    // The same for a render-target texture's surface; false for any other
    // surface or a size that differs from it.
    virtual bool readRenderTarget(GfxSurface* surface, uint32_t* argb, int32_t width, int32_t height) = 0;
    // Makes the device behave as lost: the next present reports
    // GFX_DEVICE_LOST, the cooperative level GFX_DEVICE_NOT_RESET until reset.
    virtual void simulateDeviceLoss() = 0;
    virtual int32_t liveDefaultPoolTextures() = 0;
};

// The object a device comes from.
struct GfxBackend {
    const char* name;
    bool (*open)();                        // false: graphics cannot start at all
    void (*close)();                       // after destroyDevice
    bool (*getDisplayMode)(GfxDisplayMode* out);
    GfxDevice* (*createDevice)(const GfxPresentParams& params);   // null on failure
    void (*destroyDevice)(GfxDevice* device);
};

extern const GfxBackend* gGfxBackend;     // chosen at start-up
extern const GfxBackend GFX_OPENGL;       // draws for the SDL window
extern const GfxBackend GFX_HEADLESS;     // OpenGL on EGL, no window
extern const GfxBackend GFX_RECORDING;    // no drawing, a log of calls

// The recording backend's log: one line per device call, e.g.
// "clear 3 ff17f0ff 1.000000 0", "beginScene", "setRenderState 0 1",
// "drawPrimitiveUP 0 2 32". Calls from loader threads are logged too.
constexpr int GFX_RECORD_MAX = 4096;
struct GfxRecord {
    char lines[GFX_RECORD_MAX][64];
    int32_t count;        // stops growing at GFX_RECORD_MAX
    int32_t total;
};
extern GfxRecord gGfxRecord;
void gfxRecordClear();
int32_t gfxRecordFind(const char* prefix, int32_t from);   // index of the first line starting so, or -1
// The recording backend's failure switches, for start-up tests.
void gfxRecordingSetFailures(bool openFails, bool createDeviceFails);

// platform/gfx_recording.cpp: the recording backend: draws nothing and writes
// one line into gGfxRecord for each device call that draws, changes state or
// manages resources; the queries (get*, liveDefaultPoolTextures,
// readBackBuffer) and simulateDeviceLoss leave no line. Textures and surfaces
// are records from fixed pools (with texels, so locks work), and the device
// keeps the OpenGL one's rules for a lost device, validation and threads, so
// start-up, lost-device, loader and call-order tests run on it.
#include "platform/gfx.h"
#include "platform/gfx_texels.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>

GfxRecord gGfxRecord;
// Loader threads log too.
static std::mutex sRecordLock;

struct RecordingSwitches {
    bool openFails;
    bool createDeviceFails;
    bool open;
    GfxDevice* device;
};
static RecordingSwitches sRecording;

void gfxRecordClear() {
    std::lock_guard<std::mutex> hold(sRecordLock);
    gGfxRecord.count = 0;
    gGfxRecord.total = 0;
}

int32_t gfxRecordFind(const char* prefix, int32_t from) {
    size_t length = strlen(prefix);
    for (int32_t i = from < 0 ? 0 : from; i < gGfxRecord.count; ++i)
        if (strncmp(gGfxRecord.lines[i], prefix, length) == 0) return i;
    return -1;
}

void gfxRecordingSetFailures(bool openFails, bool createDeviceFails) {
    sRecording.openFails = openFails;
    sRecording.createDeviceFails = createDeviceFails;
}

__attribute__((format(printf, 1, 2))) static void recordLine(const char* format, ...) {
    std::lock_guard<std::mutex> hold(sRecordLock);
    ++gGfxRecord.total;
    if (gGfxRecord.count >= GFX_RECORD_MAX) return;
    va_list args;
    va_start(args, format);
    vsnprintf(gGfxRecord.lines[gGfxRecord.count++], sizeof gGfxRecord.lines[0], format, args);
    va_end(args);
}

enum RecordedSurfaceKind : int32_t { RECORDED_NONE = 0, RECORDED_BACK_BUFFER, RECORDED_DEPTH, RECORDED_LEVEL };

// Callers hold only the addresses of these records, as GfxTexture and
// GfxSurface handles, and never look inside.
struct RecordedSurface {
    RecordedSurfaceKind kind;
    int32_t texture;   // slot of the owning texture; -1 for the back buffer and depth
    int32_t level;
    bool renderTarget;
};

struct RecordedTexture {
    bool live;   // changed under the pool lock
    GfxPool pool;
    int32_t levels;
    GfxTexels texels;   // none for a render target
    RecordedSurface surfaces[GFX_TEXTURE_LEVEL_MAX];
};

struct RecordedBuffer {
    bool live;   // changed under the pool lock
    GfxBufferKind kind;
    int32_t bytes;
    uint8_t* data;
    bool locked;
    uint32_t maxIndex;
};

static GfxBuffer* bufferHandle(RecordedBuffer* buffer) { return reinterpret_cast<GfxBuffer*>(buffer); }
static RecordedBuffer* bufferRecord(GfxBuffer* buffer) { return reinterpret_cast<RecordedBuffer*>(buffer); }
static GfxTexture* textureHandle(RecordedTexture* texture) { return reinterpret_cast<GfxTexture*>(texture); }
static RecordedTexture* textureRecord(GfxTexture* texture) { return reinterpret_cast<RecordedTexture*>(texture); }
static GfxSurface* surfaceHandle(RecordedSurface* surface) { return reinterpret_cast<GfxSurface*>(surface); }
static RecordedSurface* surfaceRecord(GfxSurface* surface) { return reinterpret_cast<RecordedSurface*>(surface); }

class RecordingDevice final : public GfxDevice {
public:
    explicit RecordingDevice(const GfxPresentParams& params) { resetTargets(params); }
    // Loader threads are joined by now.
    ~RecordingDevice() override {
        for (RecordedTexture& texture : textures) gfxTexelsDestroy(&texture.texels);
        for (RecordedBuffer& buffer : buffers) delete[] buffer.data;
    }

    GfxResult clear(uint32_t flags, uint32_t argb, float z, uint32_t stencil) override {
        recordLine("clear %u %08x %f %u", flags, argb, (double)z, stencil);
        return GFX_OK;
    }
    GfxResult beginScene() override {
        recordLine("beginScene");
        if (inScene) return GFX_INVALID_CALL;
        inScene = true;
        return GFX_OK;
    }
    GfxResult endScene() override {
        recordLine("endScene");
        if (!inScene) return GFX_INVALID_CALL;
        inScene = false;
        return GFX_OK;
    }
    GfxResult present() override {
        recordLine("present");
        return lost ? GFX_DEVICE_LOST : GFX_OK;
    }
    GfxResult testCooperativeLevel() override {
        recordLine("testCooperativeLevel");
        return lost ? GFX_DEVICE_NOT_RESET : GFX_OK;
    }
    // Refused while default-pool textures live; a refused reset leaves the
    // device lost, like the OpenGL one.
    GfxResult reset(const GfxPresentParams& params) override {
        recordLine("reset %d %d", params.backBufferWidth, params.backBufferHeight);
        if (liveDefaultPoolTextures() > 0 || params.backBufferWidth < 1 || params.backBufferHeight < 1) {
            lost = true;
            return GFX_INVALID_CALL;
        }
        resetTargets(params);
        lost = false;
        return GFX_OK;
    }

    // Render targets only on the main thread, as on the OpenGL device.
    GfxTexture* createTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                              GfxPool pool) override {
        return makeTexture(width, height, levels, usage, format, pool, nullptr);
    }
    // Recorded as the createTexture it stands for.
    GfxTexture* createTextureFromTexels(int32_t width, int32_t height, GfxPool pool, uint8_t* bytes) override {
        GfxTexture* texture = makeTexture(width, height, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, pool, bytes);
        if (!texture) free(bytes);
        return texture;
    }
    GfxTexture* makeTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                            GfxPool pool, uint8_t* adopt) {
        recordLine("createTexture %d %d %d %u %d %d", width, height, levels, usage, (int)format, (int)pool);
        int32_t levelCount = gfxTextureLevels(width, height, levels, usage, format, pool);
        bool renderTarget = (usage & GFX_USAGE_RENDER_TARGET) != 0;
        if (levelCount == 0 || (renderTarget && std::this_thread::get_id() != mainThread)) return nullptr;
        int32_t slot = takeSlot(pool);
        if (slot < 0) return nullptr;
        RecordedTexture& texture = textures[slot];
        texture.levels = levelCount;
        texture.texels = GfxTexels{};
        for (int32_t level = 0; level < levelCount; ++level)
            texture.surfaces[level] = RecordedSurface{RECORDED_LEVEL, slot, level, level == 0 && renderTarget};
        if (adopt && !renderTarget) {
            gfxTexelsAdopt(&texture.texels, width, height, adopt);
        } else if (!renderTarget && !gfxTexelsCreate(&texture.texels, width, height, levelCount, format)) {
            std::lock_guard<std::mutex> hold(poolLock);
            freeSlot(&texture);
            return nullptr;
        }
        return textureHandle(&texture);
    }
    void releaseTexture(GfxTexture* handle) override {
        RecordedTexture* texture = textureRecord(handle);
        if (!texture) return;
        {
            std::lock_guard<std::mutex> hold(poolLock);
            if (!texture->live) return;
            if (texture->pool == GFX_POOL_DEFAULT) --defaultPoolTextures;
        }
        recordLine("releaseTexture tex%d", (int)(texture - textures));
        // Render targets live on the main thread, with the target binding.
        bool bound = colorTarget->kind == RECORDED_LEVEL && &textures[colorTarget->texture] == texture;
        if (bound && std::this_thread::get_id() == mainThread) colorTarget = &backBuffer;
        gfxTexelsDestroy(&texture->texels);
        for (RecordedSurface& surface : texture->surfaces) surface = RecordedSurface{};   // stale handles refused
        std::lock_guard<std::mutex> hold(poolLock);
        texture->live = false;
    }
    GfxSurface* getSurfaceLevel(GfxTexture* handle, int32_t level) override {
        RecordedTexture* texture = textureRecord(handle);
        if (!texture || !texture->live || level < 0 || level >= texture->levels) return nullptr;
        return surfaceHandle(&texture->surfaces[level]);
    }
    GfxResult lockRect(GfxTexture* handle, int32_t level, GfxLockedRect* out) override {
        RecordedTexture* texture = textureRecord(handle);
        if (!texture || !texture->live) return GFX_INVALID_CALL;
        recordLine("lockRect tex%d %d", (int)(texture - textures), (int)level);
        return gfxTexelsLock(&texture->texels, level, out);
    }
    GfxResult unlockRect(GfxTexture* handle, int32_t level) override {
        RecordedTexture* texture = textureRecord(handle);
        if (!texture || !texture->live) return GFX_INVALID_CALL;
        recordLine("unlockRect tex%d %d", (int)(texture - textures), (int)level);
        return gfxTexelsUnlock(&texture->texels, level);
    }

    GfxSurface* getRenderTarget() override { return surfaceHandle(colorTarget); }
    GfxSurface* getDepthStencilSurface() override { return surfaceHandle(depthTarget); }
    GfxSurface* getBackBuffer() override { return surfaceHandle(&backBuffer); }
    // A null colour keeps the current one, a null depth draws without depth.
    GfxResult setRenderTarget(GfxSurface* colorHandle, GfxSurface* depthHandle) override {
        RecordedSurface* color = colorHandle ? surfaceRecord(colorHandle) : colorTarget;
        RecordedSurface* depth = surfaceRecord(depthHandle);
        char colorName[16];
        if (color->kind == RECORDED_LEVEL)
            snprintf(colorName, sizeof colorName, "tex%d", (int)color->texture);
        else
            snprintf(colorName, sizeof colorName, "%s", color->kind == RECORDED_BACK_BUFFER ? "backbuffer" : "bad");
        recordLine("setRenderTarget %s %s", colorName, depth ? "depth" : "null");
        bool drawable = color->kind == RECORDED_BACK_BUFFER || (color->kind == RECORDED_LEVEL && color->renderTarget);
        if (!drawable || (depth && (depth->kind != RECORDED_DEPTH || !params.autoDepthStencil)))
            return GFX_INVALID_CALL;
        colorTarget = color;
        depthTarget = depth;
        return GFX_OK;
    }

    void setRenderState(GfxRenderState state, uint32_t value) override {
        recordLine("setRenderState %d %u", (int)state, value);
    }
    void setTexture(int32_t stage, GfxTexture* handle) override {
        RecordedTexture* texture = textureRecord(handle);
        if (texture)
            recordLine("setTexture %d tex%d", (int)stage, (int)(texture - textures));
        else
            recordLine("setTexture %d null", (int)stage);
    }
    void setTextureStageState(int32_t stage, GfxTextureStageState state, uint32_t value) override {
        recordLine("setTextureStageState %d %d %u", (int)stage, (int)state, value);
    }
    // The matrices are kept as the drawing device keeps them, so what reads
    // the camera back sees the same on both.
    void setTransform(GfxTransform which, const float* matrix) override {
        recordLine("setTransform %d", (int)which);
        if (which < 0 || which >= GFX_TS_COUNT || !matrix) return;
        memcpy(transforms[which], matrix, sizeof transforms[which]);
    }
    void getTransform(GfxTransform which, float out[16]) override {
        if (which < 0 || which >= GFX_TS_COUNT || !out) return;
        memcpy(out, transforms[which], sizeof transforms[which]);
    }
    void setVertexFormat(uint32_t fvf) override {
        recordLine("setVertexFormat %u", fvf);
        vertexFormat = fvf;
    }
    GfxResult drawPrimitiveUP(GfxPrimitive type, int32_t primitiveCount, const void* vertices,
                              int32_t stride) override {
        recordLine("drawPrimitiveUP %d %d %d", (int)type, (int)primitiveCount, (int)stride);
        int32_t size = gfxVertexSize(vertexFormat);
        if (size == 0 || !vertices || type < GFX_PT_TRIANGLELIST || type > GFX_PT_TRIANGLEFAN || primitiveCount < 1 ||
            primitiveCount > GFX_DRAW_PRIMITIVE_MAX || stride < size || vertexFormat == GFX_FVF_SKINNED)
            return GFX_INVALID_CALL;
        return GFX_OK;
    }

    void setMaterial(const GfxMaterial& material) override {
        recordLine("setMaterial %.3f %.3f %.3f %.3f", material.diffuse.r, material.diffuse.g, material.diffuse.b,
                   material.diffuse.a);
    }
    void setLight(int32_t index, const GfxLight& light) override {
        recordLine("setLight %d %d %.3f %.3f %.3f", (int)index, (int)light.type, light.direction[0],
                   light.direction[1], light.direction[2]);
    }
    void lightEnable(int32_t index, bool on) override { recordLine("lightEnable %d %d", (int)index, on ? 1 : 0); }
    GfxBuffer* createBuffer(GfxBufferKind kind, int32_t bytes) override {
        recordLine("createBuffer %d %d", (int)kind, (int)bytes);
        if ((kind != GFX_BUFFER_VERTEX && kind != GFX_BUFFER_INDEX) || bytes < 1 || bytes > GFX_BUFFER_BYTES_MAX)
            return nullptr;
        uint8_t* data = new (std::nothrow) uint8_t[(size_t)bytes]();
        if (!data) return nullptr;
        std::lock_guard<std::mutex> hold(poolLock);
        for (RecordedBuffer& buffer : buffers)
            if (!buffer.live) {
                buffer = RecordedBuffer{true, kind, bytes, data, false, 0};
                return bufferHandle(&buffer);
            }
        delete[] data;
        return nullptr;
    }
    void releaseBuffer(GfxBuffer* handle) override {
        RecordedBuffer* buffer = bufferRecord(handle);
        if (!buffer) return;
        {
            std::lock_guard<std::mutex> hold(poolLock);
            if (!buffer->live) return;
        }
        recordLine("releaseBuffer buf%d", (int)(buffer - buffers));
        // The bindings belong to the main thread.
        if (std::this_thread::get_id() == mainThread) {
            if (streamSource == buffer) streamSource = nullptr;
            if (indexSource == buffer) indexSource = nullptr;
        }
        delete[] buffer->data;
        std::lock_guard<std::mutex> hold(poolLock);
        *buffer = RecordedBuffer{};
    }
    void* lockBuffer(GfxBuffer* handle) override {
        RecordedBuffer* buffer = bufferRecord(handle);
        if (!buffer || !buffer->live || buffer->locked) return nullptr;
        recordLine("lockBuffer buf%d", (int)(buffer - buffers));
        buffer->locked = true;
        return buffer->data;
    }
    void unlockBuffer(GfxBuffer* handle) override {
        RecordedBuffer* buffer = bufferRecord(handle);
        if (!buffer || !buffer->live || !buffer->locked) return;
        recordLine("unlockBuffer buf%d", (int)(buffer - buffers));
        buffer->maxIndex = 0;
        if (buffer->kind == GFX_BUFFER_INDEX)
            for (int32_t i = 0; i + 4 <= buffer->bytes; i += 4) {
                uint32_t index;
                memcpy(&index, buffer->data + i, 4);
                if (index > buffer->maxIndex) buffer->maxIndex = index;
            }
        buffer->locked = false;
    }
    void setStreamSource(GfxBuffer* handle, int32_t stride) override {
        RecordedBuffer* buffer = bufferRecord(handle);
        recordLine("setStreamSource %s%d %d", buffer ? "buf" : "null", buffer ? (int)(buffer - buffers) : 0,
                   (int)stride);
        if (buffer && (!buffer->live || buffer->kind != GFX_BUFFER_VERTEX)) return;
        streamSource = buffer;
        streamStride = stride;
    }
    void setIndices(GfxBuffer* handle) override {
        RecordedBuffer* buffer = bufferRecord(handle);
        recordLine("setIndices %s%d", buffer ? "buf" : "null", buffer ? (int)(buffer - buffers) : 0);
        if (buffer && (!buffer->live || buffer->kind != GFX_BUFFER_INDEX)) return;
        indexSource = buffer;
    }
    GfxResult drawIndexedPrimitive(GfxPrimitive type, int32_t baseVertex, int32_t startIndex,
                                   int32_t primitiveCount) override {
        recordLine("drawIndexedPrimitive %d %d %d %d", (int)type, (int)baseVertex, (int)startIndex,
                   (int)primitiveCount);
        int32_t size = gfxVertexSize(vertexFormat);
        if (vertexFormat == GFX_FVF_SKINNED && skinBones == 0) return GFX_INVALID_CALL;
        if (!streamSource || !indexSource || streamSource->locked || indexSource->locked || size == 0 ||
            streamStride < size || type < GFX_PT_TRIANGLELIST || type > GFX_PT_TRIANGLEFAN || primitiveCount < 1 ||
            primitiveCount > GFX_DRAW_PRIMITIVE_MAX || startIndex < 0 || baseVertex < 0)
            return GFX_INVALID_CALL;
        int64_t indexCount = type == GFX_PT_TRIANGLELIST ? (int64_t)primitiveCount * 3 : (int64_t)primitiveCount + 2;
        int64_t vertexCount = (streamSource->bytes - size) / streamStride + 1;
        if (startIndex + indexCount > indexSource->bytes / 4 || (int64_t)baseVertex + indexSource->maxIndex >= vertexCount)
            return GFX_INVALID_CALL;
        return GFX_OK;
    }

    void setSkinProgram(int32_t bonesPerVertex, int32_t lit) override {
        recordLine("setSkinProgram %d %d", (int)bonesPerVertex, (int)lit);
        skinBones = bonesPerVertex >= 1 && bonesPerVertex <= 4 && (lit == 0 || lit == 1) ? bonesPerVertex : 0;
    }
    void setSkinConstants(int32_t first, const float* values, int32_t count) override {
        recordLine("setSkinConstants %d %d %.3f", (int)first, (int)count, values && count > 0 ? values[0] : 0.0f);
    }
    bool readBackBuffer(uint32_t*, int32_t, int32_t) override { return false; }
    bool readRenderTarget(GfxSurface*, uint32_t*, int32_t, int32_t) override { return false; }
    void simulateDeviceLoss() override { lost = true; }
    int32_t liveDefaultPoolTextures() override {
        std::lock_guard<std::mutex> hold(poolLock);
        return defaultPoolTextures;
    }


private:
    // The first free slot, taken for the caller; -1 when none is.
    int32_t takeSlot(GfxPool pool) {
        std::lock_guard<std::mutex> hold(poolLock);
        for (int32_t slot = 0; slot < GFX_TEXTURE_MAX; ++slot) {
            RecordedTexture& texture = textures[slot];
            if (texture.live) continue;
            texture.live = true;
            texture.pool = pool;
            if (pool == GFX_POOL_DEFAULT) ++defaultPoolTextures;
            return slot;
        }
        return -1;
    }
    // Under the pool lock.
    void freeSlot(RecordedTexture* texture) {
        if (texture->pool == GFX_POOL_DEFAULT) --defaultPoolTextures;
        texture->live = false;
    }

    void resetTargets(const GfxPresentParams& newParams) {
        params = newParams;
        for (float(&matrix)[16] : transforms) {
            memset(matrix, 0, sizeof matrix);
            matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
        }
        colorTarget = &backBuffer;
        depthTarget = params.autoDepthStencil ? &depthBuffer : nullptr;
        vertexFormat = 0;
        streamSource = nullptr;
        indexSource = nullptr;
        inScene = false;
    }

    GfxPresentParams params = {};
    float transforms[GFX_TS_COUNT][16] = {};
    std::thread::id mainThread = std::this_thread::get_id();
    std::mutex poolLock;   // slot liveness and the default-pool count, from any thread
    uint32_t vertexFormat = 0;
    RecordedSurface backBuffer = {RECORDED_BACK_BUFFER, -1, 0, true};
    RecordedSurface depthBuffer = {RECORDED_DEPTH, -1, 0, false};
    RecordedSurface* colorTarget = &backBuffer;
    RecordedSurface* depthTarget = nullptr;
    RecordedTexture textures[GFX_TEXTURE_MAX] = {};
    int32_t defaultPoolTextures = 0;
    RecordedBuffer buffers[GFX_BUFFER_MAX] = {};
    RecordedBuffer* streamSource = nullptr;
    int32_t streamStride = 0;
    int32_t skinBones = 0;
    RecordedBuffer* indexSource = nullptr;
    bool lost = false;
    bool inScene = false;
};

static bool recordingOpen() {
    sRecording.open = !sRecording.openFails;
    return sRecording.open;
}

static void recordingClose() { sRecording.open = false; }

static bool recordingDisplayMode(GfxDisplayMode* out) {
    *out = GfxDisplayMode{640, 480, GFX_FORMAT_X8R8G8B8};
    return true;
}

// One device at a time, after open, like the OpenGL backends.
static GfxDevice* recordingCreateDevice(const GfxPresentParams& params) {
    if (!sRecording.open || sRecording.createDeviceFails || sRecording.device) return nullptr;
    sRecording.device = new (std::nothrow) RecordingDevice(params);
    return sRecording.device;
}

static void recordingDestroyDevice(GfxDevice* device) {
    if (!device || device != sRecording.device) return;
    delete static_cast<RecordingDevice*>(device);
    sRecording.device = nullptr;
}

const GfxBackend GFX_RECORDING = {
    "recording", recordingOpen, recordingClose, recordingDisplayMode, recordingCreateDevice, recordingDestroyDevice,
};

// platform/gfx_gl_buffers.cpp: the OpenGL device's vertex and index
// buffers (a fixed pool, bytes on the CPU, GL buffers made and filled on
// the main thread at the first draw after an unlock), indexed draws and the
// material of lit draws.
#include "platform/gfx_gl_device.h"

#include <cstring>
#include <new>

GfxBuffer* GlDevice::createBuffer(GfxBufferKind kind, int32_t bytes) {
    if ((kind != GFX_BUFFER_VERTEX && kind != GFX_BUFFER_INDEX) || bytes < 1 || bytes > GFX_BUFFER_BYTES_MAX)
        return nullptr;
    if (onMainThread()) collectReleasedBuffers();
    uint8_t* data = new (std::nothrow) uint8_t[(size_t)bytes]();
    if (!data) return nullptr;
    std::lock_guard<std::mutex> hold(poolLock);
    for (GfxBuffer& buffer : buffers)
        if (buffer.state == TEXTURE_FREE) {
            buffer = GfxBuffer{TEXTURE_LIVE, kind, bytes, data, false, true, 0, 0};
            return &buffer;
        }
    delete[] data;
    return nullptr;
}

// Off the main thread the slot waits on the released list until the main
// thread deletes its GL buffer, as a texture does.
void GlDevice::releaseBuffer(GfxBuffer* buffer) {
    if (!buffer) return;
    {
        std::lock_guard<std::mutex> hold(poolLock);
        if (buffer->state != TEXTURE_LIVE) return;
        buffer->state = TEXTURE_RELEASED;
    }
    delete[] buffer->data;
    buffer->data = nullptr;
    bool main = onMainThread();
    if (main) {
        if (streamSource == buffer) setStreamSource(nullptr, 0);
        if (indexSource == buffer) setIndices(nullptr);
        glDeleteBuffers(1, &buffer->name);
        buffer->name = 0;
    }
    std::lock_guard<std::mutex> hold(poolLock);
    if (main)
        buffer->state = TEXTURE_FREE;
    else
        releasedBuffers[releasedBufferCount++] = (int32_t)(buffer - buffers);
}

void GlDevice::collectReleasedBuffers() {
    std::lock_guard<std::mutex> hold(poolLock);
    for (int32_t i = 0; i < releasedBufferCount; ++i) {
        GfxBuffer* buffer = &buffers[releasedBuffers[i]];
        if (streamSource == buffer) streamSource = nullptr;
        if (indexSource == buffer) indexSource = nullptr;
        glDeleteBuffers(1, &buffer->name);
        buffer->name = 0;
        buffer->state = TEXTURE_FREE;
    }
    releasedBufferCount = 0;
}

// Loader threads are joined by now.
void GlDevice::shutdownBuffers() {
    collectReleasedBuffers();
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    for (GfxBuffer& buffer : buffers)
        if (buffer.state == TEXTURE_LIVE) {
            glDeleteBuffers(1, &buffer.name);
            delete[] buffer.data;
            buffer = GfxBuffer{};
        }
}

void* GlDevice::lockBuffer(GfxBuffer* buffer) {
    if (!buffer || buffer->state != TEXTURE_LIVE || buffer->locked) return nullptr;
    buffer->locked = true;
    return buffer->data;
}

void GlDevice::unlockBuffer(GfxBuffer* buffer) {
    if (!buffer || buffer->state != TEXTURE_LIVE || !buffer->locked) return;
    if (buffer->kind == GFX_BUFFER_INDEX) {
        uint32_t largest = 0;
        int32_t count = buffer->bytes / 4;
        for (int32_t i = 0; i < count; ++i) {
            uint32_t index;
            memcpy(&index, buffer->data + (size_t)i * 4, 4);
            if (index > largest) largest = index;
        }
        buffer->maxIndex = largest;
    }
    buffer->dirty = true;
    buffer->locked = false;
}

void GlDevice::setStreamSource(GfxBuffer* vertices, int32_t stride) {
    if (vertices && (vertices->state != TEXTURE_LIVE || vertices->kind != GFX_BUFFER_VERTEX)) return;
    streamSource = vertices;
    streamStride = stride;
}

void GlDevice::setIndices(GfxBuffer* indices) {
    if (indices && (indices->state != TEXTURE_LIVE || indices->kind != GFX_BUFFER_INDEX)) return;
    indexSource = indices;
}

// Makes the GL buffer at first use, refills it after an unlock and leaves
// it bound. Main thread.
void GlDevice::uploadBuffer(GfxBuffer* buffer, GLenum target) {
    if (!buffer->name) {
        glGenBuffers(1, &buffer->name);
        buffer->dirty = true;
    }
    glBindBuffer(target, buffer->name);
    if (buffer->dirty) {
        glBufferData(target, buffer->bytes, buffer->data, GL_STATIC_DRAW);
        buffer->dirty = false;
    }
}

GfxResult GlDevice::drawIndexedPrimitive(GfxPrimitive type, int32_t baseVertex, int32_t startIndex,
                                         int32_t primitiveCount) {
    GfxBuffer* vertices = streamSource;
    GfxBuffer* indices = indexSource;
    int32_t size = gfxVertexSize(vertexFormat);
    if (!vertices || !indices || vertices->locked || indices->locked || size == 0 || streamStride < size ||
        type < GFX_PT_TRIANGLELIST || type > GFX_PT_TRIANGLEFAN || primitiveCount < 1 ||
        primitiveCount > GFX_DRAW_PRIMITIVE_MAX || startIndex < 0 || baseVertex < 0)
        return GFX_INVALID_CALL;
    int64_t indexCount = type == GFX_PT_TRIANGLELIST ? (int64_t)primitiveCount * 3 : (int64_t)primitiveCount + 2;
    int64_t vertexCount = (vertices->bytes - size) / streamStride + 1;
    if (startIndex + indexCount > indices->bytes / 4 || (int64_t)baseVertex + indices->maxIndex >= vertexCount)
        return GFX_INVALID_CALL;
    bool skinned = vertexFormat == GFX_FVF_SKINNED;
    if (skinned && skin.bones == 0) return GFX_INVALID_CALL;
    if (lost) return GFX_OK;
    prepareDraw(streamStride);
    // Before the upload, which clears the flag that says the bytes changed.
    if (skinned)
        prepareVertexFog(nullptr, streamStride, 0, nullptr);   // the program fogs per vertex itself
    else
        prepareVertexFog(vertices->data + (size_t)baseVertex * (size_t)streamStride, streamStride,
                         (int32_t)indices->maxIndex + 1, vertices);
    uploadBuffer(vertices, GL_ARRAY_BUFFER);
    uploadBuffer(indices, GL_ELEMENT_ARRAY_BUFFER);
    uintptr_t at = (uintptr_t)baseVertex * (uintptr_t)streamStride;
    if (skinned && !beginSkinnedDraw(at, streamStride)) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        return GFX_FAILED;
    }
    if (!skinned) pointVertexArrays(at, streamStride);
    glDrawElements(GL_PRIMITIVE_MODES[type], (GLsizei)indexCount, GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>((uintptr_t)startIndex * 4));
    if (skinned) endSkinnedDraw();
    endScreenDraw();
    // User-pointer draws read client memory.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return GFX_OK;
}

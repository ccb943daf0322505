// platform/gfx_gl_textures.cpp: the OpenGL device's texture pool: texture
// and surface slots, creation, lock and unlock on the CPU copy, the upload
// at first bind and before draws, release from any thread, and render
// targets.
#include "platform/gfx_gl_device.h"

#include <cstdlib>

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
    return makeTexture(width, height, levels, usage, format, pool, nullptr);
}

GfxTexture* GlDevice::createTextureFromTexels(int32_t width, int32_t height, GfxPool pool, uint8_t* bytes) {
    GfxTexture* texture = makeTexture(width, height, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, pool, bytes);
    if (!texture) free(bytes);
    return texture;
}

GfxTexture* GlDevice::makeTexture(int32_t width, int32_t height, int32_t levels, uint32_t usage, GfxFormat format,
                                  GfxPool pool, uint8_t* adopt) {
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
        if (adopt) {
            gfxTexelsAdopt(&texture->texels, width, height, adopt);
            return texture;
        }
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

void GlDevice::setTexture(int32_t stage, GfxTexture* texture) {
    if (stage < 0 || stage >= stageCount || (texture && texture->state != TEXTURE_LIVE)) return;
    bindStage(stage, texture);
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

// A null colour keeps the current one, as the old API does; a null depth
// draws without depth.
GfxResult GlDevice::setRenderTarget(GfxSurface* color, GfxSurface* depth) {
    if (!color) color = colorTarget;
    bool drawable = color->kind == SURFACE_BACK_BUFFER || (color->kind == SURFACE_TEXTURE_LEVEL && color->framebuffer);
    if (!drawable || (depth && (depth->kind != SURFACE_DEPTH || !depth->renderbuffer))) return GFX_INVALID_CALL;
    bindTarget(color, depth);
    return GFX_OK;
}

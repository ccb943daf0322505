// tests/engine/capturing_device.h: a graphics device that passes every call
// on to another one and keeps the sprite quads drawn, for tests of 2D
// drawing.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/sprites.h"
#include "platform/gfx.h"

// One sprite quad as drawn: corners in back-buffer pixels, texture
// coordinates, colour, the texture bound and stage 0's colour operation.
struct DrawnQuad {
    float left, top, right, bottom;
    float uLeft, vTop, uRight, vBottom;
    uint32_t argb;
    GfxTexture* texture;
    uint32_t colorOp;
    uint32_t destBlend;
};

class CapturingDevice : public GfxDevice {
public:
    explicit CapturingDevice(GfxDevice* inner) : d(inner) {}
    std::vector<DrawnQuad> quads;
    std::vector<std::pair<int32_t, uint32_t>> stageStates;   // stage 0: (state, value), in order
    uint32_t colorOp = GFX_TOP_MODULATE;                     // stage 0's, as it stands

    GfxResult clear(uint32_t f, uint32_t c, float z, uint32_t s) override { return d->clear(f, c, z, s); }
    GfxResult beginScene() override { return d->beginScene(); }
    GfxResult endScene() override { return d->endScene(); }
    GfxResult present() override { return d->present(); }
    GfxResult testCooperativeLevel() override { return d->testCooperativeLevel(); }
    GfxResult reset(const GfxPresentParams& p) override { return d->reset(p); }
    GfxTexture* createTexture(int32_t w, int32_t h, int32_t l, uint32_t u, GfxFormat f, GfxPool p) override {
        return d->createTexture(w, h, l, u, f, p);
    }
    GfxTexture* createTextureFromTexels(int32_t w, int32_t h, GfxPool p, uint8_t* bytes) override {
        return d->createTextureFromTexels(w, h, p, bytes);
    }
    void releaseTexture(GfxTexture* t) override { d->releaseTexture(t); }
    GfxSurface* getSurfaceLevel(GfxTexture* t, int32_t l) override { return d->getSurfaceLevel(t, l); }
    GfxResult lockRect(GfxTexture* t, int32_t l, GfxLockedRect* o) override { return d->lockRect(t, l, o); }
    GfxResult unlockRect(GfxTexture* t, int32_t l) override { return d->unlockRect(t, l); }
    GfxSurface* getRenderTarget() override { return d->getRenderTarget(); }
    GfxSurface* getDepthStencilSurface() override { return d->getDepthStencilSurface(); }
    GfxSurface* getBackBuffer() override { return d->getBackBuffer(); }
    GfxResult setRenderTarget(GfxSurface* c, GfxSurface* z) override { return d->setRenderTarget(c, z); }
    void setRenderState(GfxRenderState s, uint32_t v) override {
        if (s == GFX_RS_DESTBLEND) destBlend = v;
        d->setRenderState(s, v);
    }
    void setTexture(int32_t stage, GfxTexture* t) override {
        if (stage == 0) bound = t;
        d->setTexture(stage, t);
    }
    void setTextureStageState(int32_t stage, GfxTextureStageState s, uint32_t v) override {
        if (stage == 0) {
            stageStates.push_back({(int32_t)s, v});
            if (s == GFX_TSS_COLOROP) colorOp = v;
        }
        d->setTextureStageState(stage, s, v);
    }
    void setTransform(GfxTransform w, const float m[16]) override { d->setTransform(w, m); }
    void getTransform(GfxTransform w, float m[16]) override { d->getTransform(w, m); }
    void setVertexFormat(uint32_t fvf) override { d->setVertexFormat(fvf); }
    GfxResult drawPrimitiveUP(GfxPrimitive type, int32_t count, const void* vertices, int32_t stride) override {
        if (type == GFX_PT_TRIANGLELIST && stride == (int32_t)sizeof(SpriteVertex)) {
            const SpriteVertex* v = (const SpriteVertex*)vertices;
            // Vertex 4 is a quad's top-left corner, vertex 0 its bottom-right.
            for (int32_t q = 0; q + 1 < count; q += 2, v += 6)
                quads.push_back(
                    {v[4].x, v[4].y, v[0].x, v[0].y, v[4].u, v[4].v, v[0].u, v[0].v, v[0].diffuse, bound, colorOp, destBlend});
        }
        return d->drawPrimitiveUP(type, count, vertices, stride);
    }
    void setMaterial(const GfxMaterial& m) override { d->setMaterial(m); }
    void setLight(int32_t i, const GfxLight& l) override { d->setLight(i, l); }
    void lightEnable(int32_t i, bool on) override { d->lightEnable(i, on); }
    GfxBuffer* createBuffer(GfxBufferKind k, int32_t bytes) override { return d->createBuffer(k, bytes); }
    void releaseBuffer(GfxBuffer* b) override { d->releaseBuffer(b); }
    void* lockBuffer(GfxBuffer* b) override { return d->lockBuffer(b); }
    void unlockBuffer(GfxBuffer* b) override { d->unlockBuffer(b); }
    void setStreamSource(GfxBuffer* b, int32_t stride) override { d->setStreamSource(b, stride); }
    void setIndices(GfxBuffer* b) override { d->setIndices(b); }
    GfxResult drawIndexedPrimitive(GfxPrimitive type, int32_t base, int32_t start, int32_t count) override {
        return d->drawIndexedPrimitive(type, base, start, count);
    }
    void setSkinProgram(int32_t bones, int32_t lit) override { d->setSkinProgram(bones, lit); }
    void setSkinConstants(int32_t first, const float* values, int32_t count) override {
        d->setSkinConstants(first, values, count);
    }
    bool readBackBuffer(uint32_t* argb, int32_t w, int32_t h) override { return d->readBackBuffer(argb, w, h); }
    bool readRenderTarget(GfxSurface* s, uint32_t* argb, int32_t w, int32_t h) override {
        return d->readRenderTarget(s, argb, w, h);
    }
    void simulateDeviceLoss() override { d->simulateDeviceLoss(); }
    int32_t liveDefaultPoolTextures() override { return d->liveDefaultPoolTextures(); }

private:
    GfxDevice* d;
    GfxTexture* bound = nullptr;
    uint32_t destBlend = 0;
};

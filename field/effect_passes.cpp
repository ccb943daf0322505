#include "field/effect_passes.h"

#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/screen_mapping.h"
#include "field/effect_meshes.h"
#include "field/effect_objects.h"
#include "field/field.h"
#include "field/particles.h"

namespace {

void blend(GfxDevice* d, uint32_t source, uint32_t destination) {
    d->setRenderState(GFX_RS_SRCBLEND, source);
    d->setRenderState(GFX_RS_DESTBLEND, destination);
}

// The states the particle groups of the world passes and the overlay pass
// share: blended, unlit, no fog, no culling, effect vertices.
void particleStates(GfxDevice* d) {
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    d->setRenderState(GFX_RS_COLORVERTEX, 0);
    d->setRenderState(GFX_RS_AMBIENT, 0xFF101010u);
    d->setRenderState(GFX_RS_SHADEMODE, GFX_SHADE_GOURAUD);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
}

}  // namespace

// The 3D effect pass's opaque particles; its decals, gems, shelf icons,
// shots and confetti arrive with the rest of the pass.
void drawEffectObjects3D() {
    GfxDevice* d = gGfxDevice;
    gTextureCache = nullptr;
    if (!d) return;
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 1);
    d->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    d->setVertexFormat(EFFECT_VERTEX_FORMAT);
    // The particles' states.
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCALPHA);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    drawParticles(1, 0);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    gTextureCache = nullptr;
}

// The world effect pass's trails and particles; its circles, arcs, sprites,
// marks and snow arrive with the rest of the pass.
void drawWorldEffects() {
    if (gRun.trailDue == 1) {
        gRun.trailDue = 0;
        updateTrails();
    }
    GfxDevice* d = gGfxDevice;
    if (!d) return;
    particleStates(d);
    d->setRenderState(GFX_RS_ZENABLE, 1);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    // Method 4 darkens what lies behind it, method 0 adds.
    blend(d, GFX_BLEND_ZERO, GFX_BLEND_INVSRCCOLOR);
    drawParticles(4, 0);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    drawParticles(0, 0);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(2, 0);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
    drawParticles(3, 0);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    gTextureCache = nullptr;
}

void drawOverlayEffects() {
    GfxDevice* d = gGfxDevice;
    // Scenes without the world passes bind pictures without the cache: the
    // first particle's picture must reach the device.
    gTextureCache = nullptr;
    if (!d) return;
    setupScreenCamera();
    particleStates(d);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(1, 1);
    blend(d, GFX_BLEND_ONE, GFX_BLEND_ONE);
    drawParticles(0, 1);
    d->setRenderState(GFX_RS_ALPHAREF, 0);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    drawParticles(2, 1);
    d->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
    drawParticles(3, 1);
    blend(d, GFX_BLEND_SRCALPHA, GFX_BLEND_INVSRCCOLOR);
    gTextureCache = nullptr;
}

void drawSunGlare() {}
void drawLensFlare() {}
// The shelf item icons arrive with the 3D effect pass.
void drawCellItemIcon(int32_t, int32_t, int32_t, float) {}

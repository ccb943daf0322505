#include "engine/render_states.h"

#include "engine/device.h"

void set2DRenderStates() {
    gGfxDevice->setVertexFormat(GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1);
    gGfxDevice->setRenderState(GFX_RS_FOGENABLE, 0);
    gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
}

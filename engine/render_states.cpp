#include "engine/render_states.h"

#include "engine/device.h"

void set2DRenderStates() {
    gD3DDevice->setVertexFormat(GFX_FVF_XYZ | GFX_FVF_DIFFUSE | GFX_FVF_TEX1);
    gD3DDevice->setRenderState(GFX_RS_FOGENABLE, 0);
    gD3DDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gD3DDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gD3DDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gD3DDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    gD3DDevice->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
}

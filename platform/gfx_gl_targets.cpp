// platform/gfx_gl_targets.cpp: reading a render-target texture back, for
// tests that check what an effect drew off screen. Main thread.
#include "platform/gfx_gl_device.h"

// A render target's framebuffer holds its top row at GL row 0 (see
// gfx_gl_device.h), so rows come out top first, as from the back buffer.
bool GlDevice::readRenderTarget(GfxSurface* surface, uint32_t* argb, int32_t width, int32_t height) {
    if (!surface || !argb || surface->kind != SURFACE_TEXTURE_LEVEL || !surface->framebuffer) return false;
    if (width != surface->width || height != surface->height) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, surface->framebuffer);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, argb);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, colorTarget->framebuffer);
    return true;
}

// engine/render_states.h: the device states 2D drawing starts from (the
// scenes' screens and the overlay effects). Main thread.
#pragma once

// Untransformed coloured textured vertices, no fog, alpha blending by the
// source alpha, stage 0 modulating texture by colour in colour and alpha,
// linear filtering. The sprite batch sets its own vertex format when flushed.
void set2DRenderStates();

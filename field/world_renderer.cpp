#include "field/world_renderer.h"

float gMipmapLodBias = 0.0f;

// The world renderer arrives with the field's drawing.
void drawWorld3D() {}

#include "field/world_renderer.h"

// The world renderer arrives with the field's drawing.
void drawWorld3D() {}

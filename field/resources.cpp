#include "field/resources.h"

#include "engine/shell.h"

// Texture groups arrive with the texture registry; the render targets are
// released already, as a device reset needs.
void releaseAllTextures() { releaseRenderTargets(); }
void loadFieldResources() {}

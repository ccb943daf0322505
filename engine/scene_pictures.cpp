#include "engine/scene_pictures.h"

#include "engine/shell.h"

// The picture lists arrive with the texture registry; the render targets are
// already the shell's.
void loadSystemTextures() { createRenderTargets(); }
void releaseSystemTextures() {}
void loadTitleTextures() {}
void releaseEventTextures() {}

// field/resources.h: the field's models and pictures, and the full release
// of every texture group.
#pragma once

// Releases texture groups 0 to 29 and the off-screen render targets: before
// a device reset, on the return to the title and at shut-down.
void releaseAllTextures();
void loadFieldResources();

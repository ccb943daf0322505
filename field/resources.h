// field/resources.h: the field's models and pictures.
#pragma once

// Releases every texture group and the off-screen render targets.
void releaseAllTextures();
void loadFieldResources();

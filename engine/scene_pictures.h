// engine/scene_pictures.h: each scene's set of pictures, loaded into its
// texture group and released with it.
#pragma once

void loadSystemTextures();     // also (re)creates the off-screen render targets
void releaseSystemTextures();
void loadTitleTextures();
void releaseEventTextures();

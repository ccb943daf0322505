#include "engine/scene_hooks.h"

SceneHooks gSceneHooks;
OverlayKindEntry gOverlayKinds[OVERLAY_KIND_COUNT];

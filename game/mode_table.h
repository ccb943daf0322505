// game/mode_table.h: binds the scenes to the engine: the mode table, the
// overlay kinds and every hook of engine/scene_hooks.h. Installed first thing
// at start-up, before anything the engine runs can call a scene.
#pragma once

void installGameWiring();

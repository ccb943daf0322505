// The field's rows of the game's state registry.
#include "engine/state_table.h"
#include "field/effect_objects.h"
#include "field/field_camera.h"
#include "field/hud.h"
#include "field/map_collision.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"

static const StateRow ROWS[] = {
    resetRow("resources", resetFieldResources),
    resetRow("effect objects", resetEffectObjects),
    resetRow("map collision", resetMapCollision),
    resetRow("camera", resetFieldCamera),
    resetRow("world renderer", resetWorldRenderer),
    resetRow("stage light", resetStageLight),
    resetRow("hud", resetHudGlobals),
};
extern const StateTable FIELD_STATE;   // read by the game's registry
const StateTable FIELD_STATE = {"field", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};

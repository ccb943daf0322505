// The field's rows of the game's state registry. None of the field's words
// is in the run checksum. The loaded models, pictures and the map blocks'
// collision only reset; the records are snapshotted whole.
#include "engine/state_table.h"
#include "field/effect_banks.h"
#include "field/effect_meshes.h"
#include "field/effect_objects.h"
#include "field/field.h"
#include "field/field_state.h"
#include "field/hud.h"
#include "field/particles.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"

static const StateRow ROWS[] = {
    resetRow("field resources", resetFieldResources),
    stateRow<gEffectObjects, gTrailHistory>("effect objects", resetEffectObjects, nullptr),
    stateRow<gParticles, gEffectSetInstances>("particles", clearEffectPools, nullptr),
    resetRow("effect meshes", clearEffectMeshes),
    resetRow("map collision", resetMapCollision),
    stateRow<gEffectEditor>("effect editor", resetEffectEditor, nullptr),
    stateRow<gFieldCamera>("field camera", resetFieldCamera, nullptr),
    stateRow<gWorldDraw>("world drawing", resetWorldRenderer, nullptr),
    stateRow<gFlareState>("lens flare", resetLensFlare, nullptr),
    stateRow<gStageLight, gCharacterLight>("stage light", resetStageLight, nullptr),
    stateRow<gHudBalloon, gHudTimers, gHud>("hud", resetHudGlobals, nullptr),
};
const StateTable FIELD_STATE = {"field", ROWS, (int32_t)(sizeof ROWS / sizeof ROWS[0])};

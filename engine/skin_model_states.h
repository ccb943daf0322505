// engine/skin_model_states.h: the device states a skinned model's load
// sets. A load on the main thread sets them at once; a load on a loader
// thread, which must not touch the device, leaves them pending for the
// loader's end, so they are in force before the next frame's passes set
// their own, and never in the middle of a pass.
#pragma once
#include "engine/skin_models.h"

void applySkinningStates(GfxDevice* device, const SkinModelData& data);
// Sets the pending states of every model loaded since; main thread.
void applyLoadedModelStates();

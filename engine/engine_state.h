// engine/engine_state.h: the engine's rows of the game's state registry.
#pragma once
#include "engine/state_table.h"

// The loaders come first: a loader still running would write into the
// state reset after it.
extern const StateTable ENGINE_STATE;

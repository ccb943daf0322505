// story/place_visits.h: the town places the town map leads to that are only
// an event scene: the church (game mode 13), the plaza (14) and the tavern
// (15). Each plays the place's waiting place event, or its everyday event
// when none waits, then fades back to the town map. Ticks and draws run on
// the main thread; the event itself runs in place of the tick.
#pragma once
#include <cstdint>

#include "story/story.h"
#include "story/story_state.h"

// The town map runs these (and resetChurchVisit) before entering the place's mode.
void resetPlazaVisit();
void resetTavernVisit();

// The everyday event of a town map place (plaza by the day phase, tavern,
// church); 0 for a place without one. Pure.
int32_t defaultPlaceEvent(int32_t place, int32_t dayPhase, int32_t* major, int32_t* minor);

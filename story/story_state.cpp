#include "story/story_state.h"

EventNumber gEventNumber;

void resetEventNumber() { gEventNumber = EventNumber{}; }

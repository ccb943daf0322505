// story/place_events.h: the town's place events: which event script waits
// at a town map place now.
#pragma once
#include <cstdint>

// 1 and the event's numbers when a rule of the place's table fires now, else
// 0; place is a town map place (market 1, plaza 2, tavern 4, church 5; the
// others have no table). With commit the rule is consumed.
int32_t findPlaceEvent(int32_t place, int32_t* major, int32_t* minor, int32_t commit);

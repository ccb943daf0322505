#include "dungeon/field_events.h"

#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "dungeon/field_frame.h"
#include "dungeon/floor_objects.h"
#include "engine/loaders.h"

int32_t gEventStartArg;

static void startRequestedEvent(int32_t major, int32_t minor, int32_t loaderMode) {
    gSwitchRegistry.queued.pending = 0;
    gEventStartArg = 0;
    gEventNumber = EventNumber{major, minor};
    gEventReady = 2;
    startEventLoader(loaderMode);
}

int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode) {
    if (gEventReady != 0) return 0;
    startRequestedEvent(major, minor, loaderMode);
    return 1;
}

void updateQueuedEvent() {
    QueuedEvent& queued = gSwitchRegistry.queued;
    if (!queued.pending) return;
    placePlayer(queued.point.x, queued.point.z, gParty.facing);
    if (gEventReady == 0) startRequestedEvent(queued.major, queued.minor, queued.loaderMode);
}

// The fall recovery arrives with the field's falls.
void checkFallOut() {}

void resetFieldEventState() { gEventStartArg = 0; }

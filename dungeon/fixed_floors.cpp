#include "dungeon/fixed_floors.h"

#include "dungeon/enemies.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"

#include "engine/fades.h"
#include "engine/story_flags.h"

FloorScriptState gFloorScript;

// The fixed floors arrive with the bosses; until then every floor is an
// ordinary generated one.
void setupFloorDungeon0() {}
void setupFloorDungeon1() {}
void setupFloorDungeon2() {}
// Floor 20 of dungeon 3 opens on the golem with both arms on. The other
// fixed floors of dungeon 3 arrive with its bosses.
void setupFloorDungeon3() {
    constexpr int32_t GOLEM_FLOOR = 19;
    if (runningGameState().storyFlags[154] || gFloorIndex != GOLEM_FLOOR) return;
    spawnGolemGroup(-40.0f, -12.0f, -35.0f, KIND_GOLEM);
}
void setupFloorDungeon4() {}
void setupFloorDungeon5() {}
void resetSequenceTimer() { gFloorScript.sequenceTimer = 0; }

// The frame scripts arrive with the boss floors; until then a dungeon floor
// has no script of its own.
void runDungeon0Script() {}
void runDungeon1Script() {}
void runDungeon2Script() {}
void runDungeon3Script() {}
void runDungeon4Script() {}
void runDungeon5Script() {}

int32_t floorScriptStep() { return gFloorScript.state; }

// The guild's story flags: the guild calls (52), its two first-departure
// events seen (53, 54), and the run after them pending (55).
enum DepartureEventFlag : int32_t {
    FLAG_DEPARTURE_EVENT_A = 53,
    FLAG_DEPARTURE_EVENT_B = 54,
    FLAG_DEPARTURE_EVENTS_DONE = 55,
};

int32_t startDepartureEvent() {
    if (!storyFlag(FLAG_ADVENTURERS_GUILD_CALLS)) return 0;
    if (!storyFlag(FLAG_DEPARTURE_EVENT_A)) {
        setStoryFlag(FLAG_DEPARTURE_EVENT_A, 1);
        requestEvent(2, 7, 1);
        setBlackout();
        return 1;
    }
    if (!storyFlag(FLAG_DEPARTURE_EVENT_B)) {
        setStoryFlag(FLAG_DEPARTURE_EVENT_B, 1);
        setStoryFlag(FLAG_DEPARTURE_EVENTS_DONE, 1);
        setStoryFlag(FLAG_ADVENTURER_AVAILABLE, 1);
        requestEvent(2, 8, 1);
        setBlackout();
        return 1;
    }
    if (!storyFlag(FLAG_DEPARTURE_EVENTS_DONE)) return 0;
    setStoryFlag(FLAG_ADVENTURERS_GUILD_CALLS, 0);
    setStoryFlag(FLAG_DEPARTURE_EVENTS_DONE, 0);
    return 2;
}

void resetFixedFloors() {
    gFloorScript = FloorScriptState{};
}

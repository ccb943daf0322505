#include "adventurers/time_limit.h"

#include <cmath>
#include <numbers>

#include "adventurers/party.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "field/field.h"
#include "field/field_state.h"

int32_t gTimeOutStarted;
int32_t gTimeOutSpawns;

void runTimeLimit(PartyState& party) {
    uint8_t* flags = runningGameState().storyFlags;
    if (gTimeOutStarted > 0) {
        gTimeOutStarted++;
        if (gTimeOutStarted > 59 && party.hp > 0.0f && !flags[206]) {
            if (requestEvent(19, 3, 1)) flags[206] = 1;
        }
    }
    if (party.hp > 0.0f) gFloorTimeLimit -= isFloorConditionActive(25) ? 2 : 1;
    if (gFloorTimeLimit >= 0) return;
    gFloorTimeLimit = TIME_OUT_INTERVAL;
    int32_t live = 0;
    for (const Enemy& e : gEnemies)
        if (e.state == ENEMY_ALIVE && e.kind == TIME_OUT_ENEMY_KIND) live++;
    if (live >= TIME_OUT_ENEMY_MAX) return;
    const Vector3& p = party.positions[0];
    // A free spot 12 units away in a random direction, on the ground at
    // about the floor's height.
    for (int32_t attempt = 0; attempt < 20; attempt++) {
        float a = randomUnit() * 2.0f * std::numbers::pi_v<float>;
        float dx = 15.0f * std::sin(a);
        float dz = 15.0f * std::cos(a);
        float t;
        CollisionHit hit;
        if (castMapSegment(p.x, p.y + 0.2f, p.z, dx, 0.0f, dz, &t, &hit)) continue;
        float gx = p.x + 0.8f * dx;
        float gz = p.z + 0.8f * dz;
        CollisionHit ground;
        if (!findGroundUnder(gx, p.y + 0.2f, gz, &ground)) continue;
        if (ground.floorHeight < -0.5f || ground.floorHeight >= 0.5f) continue;
        spawnEnemy(gx, p.y, gz, TIME_OUT_ENEMY_KIND);
        if (gTimeOutStarted == 0) gTimeOutStarted = 1;
        gTimeOutSpawns++;
        break;
    }
}

void resetTimeLimitState() {
    gTimeOutStarted = 0;
    gTimeOutSpawns = 0;
}

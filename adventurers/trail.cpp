#include "adventurers/trail.h"

#include <cmath>

#include "adventurers/hero_attacks.h"
#include "field/field.h"
#include "field/field_state.h"

void runTrailAndGhosts(PartyState& party) {
    for (int32_t i = PARTY_TRAIL_LENGTH - 1; i > 0; i--) {
        party.trailPositions[i] = party.trailPositions[i - 1];
        party.trailMotions[i] = party.trailMotions[i - 1];
    }
    party.trailPositions[0] = party.positions[0];
    party.trailMotions[0] = party.motions[0];

    if (party.afterimageTimer > 0) {
        for (int32_t j = 0; j < PARTY_GHOST_COUNT; j++) {
            GhostImage& g = party.afterimages[j];
            g.position = party.trailPositions[3 + 2 * j];
            g.motion = party.trailMotions[3 + 2 * j];
            g.timer = 20;
        }
        if (--party.afterimageTimer == 0)
            for (GhostImage& g : party.afterimages) g.timer = 0;
    }

    bool fire = party.cloneShotTimer > 0 && --party.cloneShotTimer == 0;
    for (int32_t k = 0; k < PARTY_GHOST_COUNT; k++) {
        GhostImage& c = party.clones[k];
        if (c.timer <= 0) continue;
        if (fire) spawnHeroAttack(party, 3, k);
        c.motion = party.motions[0];
        int32_t slot = c.slot >= 0 && c.slot < PARTY_GHOST_COUNT ? c.slot : k;
        float heading = 2.0f * CLONE_ANGLE_OFFSETS[slot] + c.angleOffset;
        float distance = 3.0f + static_cast<float>(slot);
        c.position.x = party.positions[0].x + std::sin(heading) * distance;
        c.position.y = party.positions[0].y;
        c.position.z = party.positions[0].z + std::cos(heading) * distance;
        if (c.timer == 600) spawnEffectSet(nullptr, c.position.x, c.position.y, c.position.z, 4, 0.7f, -1, 0.0f, 0);
        c.timer--;
    }
}

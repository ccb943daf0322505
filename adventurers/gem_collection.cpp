#include "adventurers/gem_collection.h"

#include <cmath>

#include "adventurers/dungeon_control_steps.h"
#include "adventurers/party.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/save_file.h"
#include "engine/sound.h"

namespace {
constexpr int32_t SOUND_GEM = 332;
}

void collectGems() {
    PartyState& party = gParty;
    party.nearestPickup = -1;
    float c = 10.0f;
    bool collected = false;
    const Vector3& p = party.positions[0];
    AdventurerRecord& record = chosenAdventurerRecord();
    for (int32_t i = 0; i < PICKUP_POOL_SIZE; i++) {
        Pickup& q = gPickups[i];
        if (q.kind < 0 || q.state == PICKUP_RISING) continue;
        bool gem = q.kind <= PICKUP_GEM_LAST;
        if (gem && (party.gemQueue[PARTY_GEM_QUEUE - 1] != -1 || q.age < 31)) continue;
        float dx = q.x - p.x;
        float dy = q.y - p.y;
        float dz = q.z - p.z;
        float m = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(m < 1.5f && m < c)) continue;
        if (gem) {
            playSoundEffect(SOUND_GEM);
            q.kind = -1;
            if (party.hp > 0.0f) {
                int32_t gain = q.callerWord == 1 ? 1 : 10;
                if (isFloorConditionActive(2)) gain *= 2;
                if (runningGameState().storyFlags[13]) gain = 100;
                record.experience += gain;
            }
            collected = true;
        } else {
            party.nearestPickup = i;
            c = m;
        }
    }
    if (collected && record.experience >= record.nextLevelExp) levelUp(record);
}

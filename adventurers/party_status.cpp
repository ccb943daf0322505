#include "adventurers/party_status.h"

#include <cstdio>

#include "adventurers/bag.h"
#include "adventurers/balloon.h"
#include "adventurers/dungeon_control.h"
#include "adventurers/dungeon_control_steps.h"
#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "engine/debug_text.h"
#include "engine/screen_mapping.h"

namespace {

constexpr int32_t ITEM_CURE = 2504;
constexpr int32_t MEDICINE_FIRST = 4108;   // buffs 4108..4111

int32_t abilityBitsOf(int32_t model) {
    switch (model) {
    case MODEL_RERADO: return 0xc9;
    case MODEL_ZIREZUZ: return 0x01;
    case MODEL_ZAZURU: return 0x01;
    case MODEL_DODA: return 0x85;
    case MODEL_ZUZI: return 0xa2;
    case MODEL_DEDAR: return 0x90;
    case MODEL_ZOZE: return 0;
    default: return 0x20;
    }
}

// The fairy's balloon side: 1 when she is on the left half of the screen.
int32_t fairyBalloonSide(const PartyState& party) {
    ScreenPoint p;
    const Vector3& f = party.positions[2];
    mapWorldToScreen(f.x, f.y, f.z, &p);
    return p.x < 320.0f ? 1 : 0;
}

}  // namespace

void tickPartyStatus(PartyState& party) {
    party.abilityFlags |= abilityBitsOf(party.models[0]);

    countDown(party.levelGlowTimer);
    countDown(party.healGlowTimer);
    countDown(party.motions[0].whiteFlash);
    countDown(gHeroineCommentCooldown);

    bool ailing = false;
    for (int32_t& t : party.ailmentTimers) {
        if (t > 0) ailing = true;
        countDown(t);
    }
    if (ailing && tryItemEffect(ITEM_CURE, 5, 30))
        for (int32_t& t : party.ailmentTimers) t = 0;

    announceBrokenItem();

    int32_t ended = -1;
    for (int32_t k = 0; k < PARTY_BUFF_COUNT; k++)
        if (party.buffTimers[k] > 0 && --party.buffTimers[k] == 0) ended = k;
    if (ended >= 0) setBalloon(6, (MEDICINE_FIRST + ended) << 6, 2, fairyBalloonSide(party), 90);

    countDown(party.zazuruTimer);
    countDown(party.berserkTimer);
    countDown(party.darkSoulTimer);
    countDown(party.glideTimer);

    char line[32];
    std::snprintf(line, sizeof line, "MUTEKI %d  ", party.invincibility);
    printDebugText(44, 34, line);

    if (party.stunTimer == 0 && party.hp > 0.0f) {
        if (party.invincibility > -100) party.invincibility--;
        countDown(party.actionTimer);
    }
    countDown(party.dodgeTimer);

    party.pushFactor = 1.0f;

    for (int32_t k = 0; k < PARTY_MEMBER_COUNT; k++) {
        if (party.models[k] < 0) continue;
        float speed = 1.0f;
        if ((k == 0 && party.dashing) || party.darkSoulTimer > 0) speed = 2.0f;
        advanceMotion(party.motions[k], party.models[k], speed);
    }
}

void updateStatusOfPlayer() { tickPartyStatus(gParty); }

void runDelayedHeals(PartyState& party) {
    if (party.delayedHpTimer > 0 && --party.delayedHpTimer == 0) {
        party.healGlowTimer = 20;
        healHp(party.delayedHpAmount, 1);
    }
    if (party.delayedSpTimer > 0 && --party.delayedSpTimer == 0) {
        party.healGlowTimer = 20;
        healSp(party.delayedSpAmount, 1);
    }
}

void easeGauges() {
    PartyState& party = gParty;
    float hpStep = static_cast<float>(chosenMaxHp()) * 0.01f;
    if (party.hpShown < party.hp) {
        party.hpShown = party.hpShown + hpStep < party.hp ? party.hpShown + hpStep : party.hp;
        party.gaugeSteps++;
        party.gaugeRising = 1;
    } else if (party.hpShown > party.hp) {
        party.hpShown = party.hpShown - hpStep > party.hp ? party.hpShown - hpStep : party.hp;
        party.gaugeSteps++;
        party.gaugeRising = 0;
    } else {
        party.gaugeSteps = 0;
    }
    float spStep = static_cast<float>(chosenMaxSp()) * 0.01f;
    if (party.spShown < party.sp)
        party.spShown = party.spShown + spStep < party.sp ? party.spShown + spStep : party.sp;
    else if (party.spShown > party.sp)
        party.spShown = party.spShown - spStep > party.sp ? party.spShown - spStep : party.sp;
}

#include "adventurers/dungeon_control.h"
#include "engine/math.h"

#include <cmath>

#include "adventurers/action_routines.h"
#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "adventurers/bag.h"
#include "adventurers/balloon.h"
#include "adventurers/dungeon_control_steps.h"
#include "adventurers/gem_collection.h"
#include "adventurers/hero_attacks.h"
#include "adventurers/motion.h"
#include "adventurers/party_status.h"
#include "adventurers/shop_floor.h"
#include "adventurers/time_limit.h"
#include "adventurers/trail.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/device.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "field/field_state.h"
#include "shop/shop_state.h"
#include "story/story.h"

const int32_t SKILL_SP_COSTS[ADVENTURER_COUNT][SKILL_SLOTS] = {
    {5, 5, 5, 5, 0},     // Vuror
    {5, 5, 5, 5, 0},     // Rerado
    {5, 5, 5, 25, 5},    // Zirezuz
    {4, 5, 8, 10, 0},    // Zazuru
    {5, 20, 5, 5, 0},    // Zuzi
    {5, 8, 10, 5, 0},    // Doda
    {10, 20, 30, 5, 0},  // Dedar
    {5, 5, 5, 5, 0},     // Zoze (pays her maximum SP)
};

DungeonControlState gDungeonControl;

int32_t chosenAdventurer() { return gChosenAdventurer & 7; }

AdventurerRecord& chosenAdventurerRecord() { return runningGameState().adventurers[chosenAdventurer()]; }

int32_t chosenMaxHp() {
    const AdventurerRecord& a = chosenAdventurerRecord();
    return a.hpBase + a.hpBonus;
}

int32_t chosenMaxSp() {
    const AdventurerRecord& a = chosenAdventurerRecord();
    return a.spBase + a.spBonus;
}

namespace {

constexpr float CAMERA_TURN_STEP = 0.0628f;

enum AbilityFlag : int32_t {
    ABILITY_DASH_STEERS = 0x01,
    ABILITY_DASH_ATTACK_138 = 0x02,
    ABILITY_DASH_ATTACK_139 = 0x04,
    ABILITY_DASH_GUARD_30 = 0x08,
    ABILITY_DASH_FADE = 0x10,
    ABILITY_DASH_GLIDE = 0x20,
    ABILITY_DASH_FOLLOWS_PAD = 0x40,
    ABILITY_DASH = 0x80,
};

// Items read here.
constexpr int32_t ITEM_SPEED_SMALL = 2408;
constexpr int32_t ITEM_SPEED_LARGE = 2409;
constexpr int32_t ITEM_SURE_FOOTING = 2411;
constexpr int32_t ITEM_SP_REFILL = 2506;
constexpr int32_t ITEM_HALF_SP = 2507;
constexpr int32_t ITEM_ZOZE_WEAPON = 714;

constexpr uint16_t PAD_DIRECTIONS = BUTTON_RIGHT | BUTTON_LEFT | BUTTON_UP | BUTTON_DOWN;
constexpr uint16_t PAD_SKILLS = 0x3e00;

// Sound effects of the control.
constexpr int32_t SOUND_WARP = 709;
constexpr int32_t SOUND_DASH_CRASH = 319;
constexpr int32_t SOUND_HOP = 346;
constexpr int32_t SOUND_SPLASH = 322;
constexpr int32_t SOUND_FOOTSTEP = 358;

constexpr int32_t ZOZE_RANDOM_SHOTS[13] = {113, 118, 120, 122, 114, 117, 119, 121, 116, 115, 126, 123, 125};

bool onShopStage() { return gCurrentStage && gCurrentStage->stageCode <= SHOP_STAGE_LAST; }

bool onDungeonFloor() { return !onShopStage(); }


// Slippery under foot: floor condition 9 or the second ailment, unless the
// sure-footing item is worn.
bool slipperyGround(const PartyState& party) {
    bool slippery = isFloorConditionActive(9) || party.ailmentTimers[1] > 0;
    return slippery && !isItemEquipped(ITEM_SURE_FOOTING);
}

bool onGround(const PartyState& party) { return party.positions[0].y <= party.groundHeights[0]; }

bool inWater(const PartyState& party) { return party.ground[0].floorFlag == 1; }

// The surface code of the ground under member 0; -1 when unknown.
int32_t groundSurface(const PartyState& party) { return hitSurface(party.ground[0]); }

// The first of up, down, left, right among the bits.
int32_t firstDirection(int32_t bits) {
    for (int32_t bit : {BUTTON_UP, BUTTON_DOWN, BUTTON_LEFT, BUTTON_RIGHT})
        if (bits & bit) return bit;
    return 0;
}

int32_t oppositeDirection(int32_t bit) {
    switch (bit) {
    case BUTTON_RIGHT: return BUTTON_LEFT;
    case BUTTON_LEFT: return BUTTON_RIGHT;
    case BUTTON_UP: return BUTTON_DOWN;
    case BUTTON_DOWN: return BUTTON_UP;
    default: return 0;
    }
}

float dashHeading(int32_t bit) {
    switch (bit) {
    case BUTTON_DOWN: return PI;
    case BUTTON_LEFT: return PI / 2.0f;
    case BUTTON_RIGHT: return 3.0f * PI / 2.0f;
    default: return 0.0f;
    }
}

void runAttackRoutine(PartyState& party) {
    switch (party.models[0]) {
    case MODEL_RERADO: runReAttack(party); break;
    case MODEL_ZIREZUZ: runZiAttack(party); break;
    case MODEL_ZAZURU: runZaAttack(party); break;
    case MODEL_DODA: runDoAttack(party); break;
    case MODEL_ZUZI: runZuAttack(party); break;
    case MODEL_DEDAR: runDeAttack(party); break;
    case MODEL_ZOZE: runZoAttack(party); break;
    default: runVuAttack(party); break;
    }
}

using Routine = void (*)(PartyState&);

// The routine of skill id 0..4 by model; null where the model has none.
Routine skillRoutine(int32_t model, int32_t skill) {
    static const Routine VU[5] = {runVuSkill1, runVuSkill2, nullptr, nullptr, nullptr};
    static const Routine RE[5] = {runReSkill1, runReSkill2, runReSkill3, nullptr, nullptr};
    static const Routine ZI[5] = {runZiSkill1, runZiSkill2, runZiSkill3, runZiSkill4, runZiSkill5};
    static const Routine ZA[5] = {runZaSkill1, runZaSkill2, runZaSkill3, runZaSkill4, nullptr};
    static const Routine ZU[5] = {runZuSkill1, runZuSkill2, runZuSkill3, runZuSkill4, nullptr};
    static const Routine DO[5] = {runDoSkill1, runDoSkill2, runDoSkill3, runDoSkill4, nullptr};
    static const Routine DE[5] = {runDeSkill1, runDeSkill2, runDeSkill3, nullptr, nullptr};
    static const Routine ZO[5] = {runZoSkill1, nullptr, nullptr, nullptr, nullptr};
    const Routine* row = VU;
    switch (model) {
    case MODEL_RERADO: row = RE; break;
    case MODEL_ZIREZUZ: row = ZI; break;
    case MODEL_ZAZURU: row = ZA; break;
    case MODEL_ZUZI: row = ZU; break;
    case MODEL_DODA: row = DO; break;
    case MODEL_DEDAR: row = DE; break;
    case MODEL_ZOZE: row = ZO; break;
    default: break;
    }
    Routine r = row[skill];
    // The first two skills of a model without its own routine are Vuror's.
    if (!r && skill < 2) r = VU[skill];
    return r;
}

// Step 4: the warp trap's sequence; true while it runs (nothing else happens).
bool runWarp(PartyState& party) {
    if (gDungeonControl.warpTimer <= 0) return false;
    int32_t t = ++gDungeonControl.warpTimer;
    party.facing += 0.5f;
    if (t == 35) playSoundEffect(SOUND_WARP);
    if (t == 60) warpToRandomCell();
    if (t >= 30 && t < 60) {
        if (gWorldDraw.skillCountdown < 30) gWorldDraw.skillCountdown++;
    } else if (t >= 60 && gWorldDraw.skillCountdown > 0) {
        gWorldDraw.skillCountdown--;
    }
    if (t >= 60 && t <= 109) gFieldCamera.cameraReset = 1;
    if (t >= 120) gDungeonControl.warpTimer = 0;
    if (party.invincibility < 60) party.invincibility = 60;
    int32_t side = party.sideFacing;
    party.motions[0].direction = spriteDirectionFor(party.facing, gCamera.yaw, side);
    party.sideFacing = side;
    return true;
}

// Step 12: the entry and recovery hop.
void runHop(PartyState& party) {
    if (party.hopTimer <= 0 || party.actionState == ACTION_STUNNED) return;
    const Vector3& p = party.positions[0];
    if (party.hopTimer == 1) {
        party.invincibility = 5;
        party.velocity.y = 0.2f;
        setMotion(party.motions[0], 0);
    }
    if (party.hopTimer <= 14) {
        float push = static_cast<float>(gDungeonControl.hopPush) / 100.0f;
        party.velocity.x += std::sin(party.facing) * push;
        party.velocity.z += std::cos(party.facing) * push;
    }
    if (party.hopTimer == 10) playSoundEffect(SOUND_HOP);
    if (party.hopTimer > 10) setMotion(party.motions[0], 0);
    if (party.hopTimer >= 11 && party.hopTimer <= 24 && !gSEasyDisp) {
        if (inWater(party))
            spawnEffectObject(&party, p.x, p.y, p.z, 145, 0.15f, 1);
        else
            spawnEffectObject(&party, p.x, p.y, p.z, 43, 0.15f, 1);
    }
    party.hopTimer++;
    if (party.hopTimer >= gDungeonControl.hopLength) party.hopTimer = 0;
}

void splash(PartyState& party) {
    const Vector3& p = party.positions[0];
    party.splashArmed = 0;
    spawnEffectObject(&party, p.x, p.y, p.z, 145, 0.3f, 12);
    playSoundEffect(SOUND_SPLASH);
    if (gCurrentStage && gCurrentStage->smallwater) return;
    float water = party.ground[0].surfaceHeight;
    for (float scale : {0.5f, 0.8f, 1.1f, 1.4f}) {
        float r = randomUnit();
        float r2 = randomUnit();
        spawnEffectObject(&party, p.x + r - 0.5f, water, p.z + r2 - 0.5f, 17, scale, 1);
    }
}

// Step 14: splashes of member 0 in water.
void runWaterSplashes(PartyState& party, bool waterBefore) {
    if (!inWater(party)) return;
    const Vector3& p = party.positions[0];
    bool grounded = onGround(party);
    if (p.y < party.ground[0].surfaceHeight && party.velocity.y > 0.0f && !grounded && party.splashArmed == 1)
        splash(party);
    else if (!waterBefore && party.velocity.y < -0.2f)
        splash(party);
    if (grounded) party.splashArmed = 1;
}

// Step 15: friction by where member 0 is.
void applyFriction(PartyState& party) {
    float f;
    if (party.hopTimer > 0) {
        f = 0.97f;
    } else if (!onGround(party)) {
        f = 0.99f;
    } else if (gCurrentStage && gCurrentStage->windsnow && !isItemEquipped(ITEM_SURE_FOOTING)) {
        f = 0.95f;
    } else if (slipperyGround(party)) {
        f = 0.998f;
    } else {
        f = party.actionState == ACTION_SECOND_ATTACK ? 0.95f : 0.82f;
    }
    party.velocity.x *= f;
    party.velocity.z *= f;
    party.velocity.y *= 0.95f;
}

// Step 17: dust and footstep sounds while walking on the ground.
void runFootsteps(PartyState& party) {
    float vx = party.velocity.x;
    float vz = party.velocity.z;
    if (!onGround(party) || std::sqrt(vx * vx + vz * vz) <= 0.1f) return;
    const Vector3& p = party.positions[0];
    if (!gSEasyDisp && (party.tick % 16 == 0 || party.dashing)) {
        float ox = randomUnit() * 0.5f - 0.25f;
        float oz = randomUnit() * 0.5f - 0.25f;
        spawnEffectObject(&party, p.x + ox, p.y + 0.5f, p.z + oz, 14, 0.125f, 1);
    }
    if (party.motions[0].motion == 1 && party.motions[0].ticks % 16 == 10) playSoundEffect(SOUND_FOOTSTEP);
}

// Step 22: the mini-map's visited cells and the marks they uncover.
void visitMapCells(const PartyState& party) {
    bool all = isFloorConditionActive(19);
    if (!all && isFloorConditionActive(24)) return;
    const Vector3& p = party.positions[0];
    int32_t cols = gFloorGrid.roomsX < MAP_GRID_SIZE ? gFloorGrid.roomsX : MAP_GRID_SIZE;
    int32_t rows = gFloorGrid.roomsY < MAP_GRID_SIZE ? gFloorGrid.roomsY : MAP_GRID_SIZE;
    for (int32_t r = 0; r < rows; r++)
        for (int32_t c = 0; c < cols; c++) {
            float cx = -40.0f * static_cast<float>(c);
            float cz = -40.0f * static_cast<float>(r);
            if (all || (std::fabs(cx - p.x) <= 20.0f && std::fabs(cz - p.z) <= 20.0f))
                gFloorGrid.mapGrid[r][c].flags = 1;
        }
    for (int32_t i = 0; i < LAYOUT_CELL_MAX; i++) {
        int32_t c = gLayoutCells.cells[i].col;
        int32_t r = gLayoutCells.cells[i].row;
        if (c >= 0 && c < MAP_GRID_SIZE && r >= 0 && r < MAP_GRID_SIZE && gFloorGrid.mapGrid[r][c].flags)
            gLayoutCells.floorCellSeen[i] = 1;
    }
}

// Step 3 of the player's update on dungeon floors: items thrown away in the
// menu, and the floor's condition roll. The roll waits until the player
// steers: the banner it starts runs the frame alone and counts only then, so
// a banner started under the floor's countdown or its equip prompt would
// hold them, and the floor, for good.
void runFloorEntrySteps(PartyState& party) {
    const Vector3& p = party.positions[0];
    for (int32_t key = takeMenuUsedItem(); key != -1; key = takeMenuUsedItem())
        sprayDropsWithPlus(&party, p.x, p.y, p.z, (key >> 6) + PICKUP_ITEM_FIRST, 1, 0.7f, (key >> 4) & 1, 0, key & 0x0f);
    if (gDungeonControl.forcedInput == -1 && gConditionBanner.counter == 0 && gFloorConditionList.rollState == 0 &&
        playerControlFree()) {
        rollFloorConditions();
        if (!isBossFloor() && gFloorConditionList.count > 0) gConditionBanner.counter = 1;
    }
    advanceConditionNameSlide();
}

// Zoze's charge gauge (step 1 of the buttons); false while no attack may start.
bool runZozeGauge(PartyState& party) {
    if (party.models[0] != MODEL_ZOZE) {
        party.chargeSegments = 0;
        return true;
    }
    party.chargeSegments = 10;
    int32_t cap = 10 * party.chargeSegments;
    bool rechargeStarted = false;
    bool attackAllowed = true;
    if (party.chargeStage >= 1 && party.chargeStage <= 10) {
        attackAllowed = false;
        if (party.chargeStage < 10) party.chargeStage++;
        party.chargeAccumulator += 2.0f;
        if (party.chargeAccumulator >= 10.0f) {
            party.chargeAccumulator = 0.0f;
            party.chargeGauge += 10;
        }
        if (party.chargeGauge >= cap) {
            party.chargeGauge = cap;
            party.chargeStage = 11;
        }
    } else {
        if (party.chargeStage >= 11) {
            if (++party.chargeStage > 60) party.chargeStage = 0;
        }
        if (party.chargeGauge <= 0) {
            if (++party.chargeIdle >= 90) {
                party.chargeIdle = 0;
                party.chargeStage = 1;
                party.chargeAccumulator = 0.0f;
                rechargeStarted = true;
            }
        } else {
            party.chargeIdle = 0;
        }
    }
    if (party.randomShot == -1 || rechargeStarted) {
        int32_t weapon = chosenAdventurerRecord().equipment[0];
        if (weapon != -1 && weapon >> 6 == ITEM_ZOZE_WEAPON) party.randomShot = ZOZE_RANDOM_SHOTS[randomInt() % 13];
    }
    return attackAllowed && party.chargeGauge > 0;
}

}  // namespace

float playerSpeedLimit(const PartyState& party) {
    float s;
    if (onShopStage()) {
        s = 0.175f;
    } else {
        const CharaRecord& c = gCharaTable[chosenAdventurer()];
        s = party.dashing ? c.dashSpeed : c.walkSpeed;
    }
    if (isItemEquipped(ITEM_SPEED_SMALL)) s += 0.02f;
    if (isItemEquipped(ITEM_SPEED_LARGE)) s += 0.08f;
    if (isFloorConditionActive(11) || isFloorConditionActive(12) || party.buffTimers[0] > 0 ||
        party.buffTimers[3] > 0)
        s *= 1.3f;
    if (party.actionState == ACTION_STUNNED) s = 0.5f;
    if (party.actionState == ACTION_SKILL_FIRST || party.actionState == ACTION_SKILL_FIRST + 1)
        s = party.models[0] == MODEL_DEDAR ? 1.0f : 0.5f;
    if (inWater(party)) {
        float depth = party.ground[0].surfaceHeight - party.positions[0].y;
        depth = depth < 0.0f ? 0.0f : (depth > 1.0f ? 1.0f : depth);
        s = 0.3f - 0.1f * depth;
    }
    return s;
}

int32_t spriteDirectionFor(float facing, float cameraYaw, int32_t& sideFacing) {
    float turns = (facing + cameraYaw + PI / 8.0f) / (2.0f * PI) * 8.0f + 8.0f;
    int32_t d = static_cast<int32_t>(turns) % 8;
    if (d < 0) d += 8;
    if (d == 2 || d == 6) sideFacing = 1;
    if (d == 0 || d == 4) sideFacing = 0;
    if (sideFacing) {
        if (d == 1 || d == 3) d = 2;
        if (d == 5 || d == 7) d = 6;
    } else {
        if (d == 1 || d == 7) d = 0;
        if (d == 3 || d == 5) d = 4;
    }
    return d;
}

int32_t spendSp(PartyState& party, int32_t cost) {
    bool zoze = party.models[0] == MODEL_ZOZE;
    if (!zoze && isFloorConditionActive(1)) cost /= 2;
    if (cost < 1) cost = 1;
    int32_t half = cost / 2 > 1 ? cost / 2 : 1;
    if (party.sp >= static_cast<float>(half) && !zoze && tryItemEffect(ITEM_HALF_SP, 10, 10)) {
        party.sp -= static_cast<float>(half);
    } else {
        if (party.sp < static_cast<float>(cost)) return 0;
        party.sp -= static_cast<float>(cost);
    }
    party.spRestTimer = 60;
    int32_t most = chosenMaxSp();
    if (party.sp < static_cast<float>(most / 2) && tryItemEffect(ITEM_SP_REFILL, 5, 30))
        party.sp += static_cast<float>(most / 4 < 100 ? most / 4 : 100);
    return 1;
}

int32_t useSkill(PartyState& party) {
    int32_t adventurer = chosenAdventurer();
    int32_t slot = party.selectedSkill;
    if (slot < 0 || slot >= SKILL_SLOTS) return 0;
    int32_t cost = party.models[0] == MODEL_ZOZE ? chosenMaxSp() : SKILL_SP_COSTS[adventurer][slot];
    if (storyFlag(0)) cost = 1;
    if (!spendSp(party, cost)) return 0;
    int32_t skill = gSkillSlots[adventurer][slot];
    party.critical = 0;
    party.actionState = ACTION_SKILL_FIRST + skill;
    party.actionFrame = 0;
    return skill;
}

void checkSkillButtons(PartyState& party) {
    if (party.berserkTimer > 0 || party.darkSoulTimer > 0) return;
    int32_t pressed = party.input ? party.input->pressed : 0;
    for (int32_t slot = 0; slot < SKILL_SLOTS; slot++) {
        if (!(pressed & (BUTTON_SKILL_0 << slot))) continue;
        if (slot < gSkillCounts[chosenAdventurer()]) {
            party.selectedSkill = slot;
            useSkill(party);
        }
        return;
    }
}

void handleActionButtons(PartyState& party) {
    bool attackAllowed = runZozeGauge(party);
    int32_t pressed = party.input ? party.input->pressed : 0;
    int32_t held = party.input ? party.input->raw : 0;
    int32_t attackWord = party.models[0] == MODEL_ZAZURU ? held : pressed;
    if (attackWord & BUTTON_CONFIRM) {
        if (party.nearestPickup >= 0) pickUpNearest();
        if (!attackAllowed) return;
        if (!slipperyGround(party) && party.models[0] != MODEL_ZAZURU) {
            party.velocity.x = 0.0f;
            party.velocity.z = 0.0f;
        }
        party.critical = 0;
        party.actionState = ACTION_ATTACK;
        party.actionFrame = 0;
        party.hitFlags = 0;
        party.attackWord = 0;
        party.holdCharge = 0;
        return;
    }
    int32_t adventurer = chosenAdventurer();
    if (pressed & BUTTON_SUB) {
        int32_t open = gSkillCounts[adventurer];
        if (open >= 2) {
            party.selectedSkill = (party.selectedSkill + 1) % open;
            playSoundEffect(SOUND_CURSOR);
        }
    }
    if (pressed & PAD_SKILLS) checkSkillButtons(party);
    // A skill already started by its own button this tick is not paid twice.
    if ((pressed & BUTTON_CANCEL) && party.actionState == ACTION_FREE && party.berserkTimer <= 0 &&
        party.darkSoulTimer <= 0)
        useSkill(party);
}

void steerPlayer(PartyState& party) {
    gCamera.yaw = turnToward(gCamera.yaw, party.cameraYawTarget, CAMERA_TURN_STEP);
    getPadDirection(party);
    int32_t held = party.input ? party.input->raw : 0;
    int32_t pressed = party.input ? party.input->pressed : 0;
    int32_t heldDirections = held & PAD_DIRECTIONS;
    int32_t pressedDirections = pressed & PAD_DIRECTIONS;

    if (onDungeonFloor() && (party.abilityFlags & ABILITY_DASH)) {
        if (!party.dashing) {
            party.dashTicks = 0;
            if (pressedDirections & party.dashDirection) {
                party.dashing = 1;
                party.critical = 0;
                if (party.abilityFlags & ABILITY_DASH_ATTACK_138)
                    spawnHeroAttack(party, 138, -1);
                else if (party.abilityFlags & ABILITY_DASH_ATTACK_139)
                    spawnHeroAttack(party, 139, -1);
                if (party.abilityFlags & ABILITY_DASH_FADE) {
                    if (party.invincibility < -15) {
                        party.afterimageTimer = 15;
                        party.invincibility = 40;
                    }
                    party.actionTimer = 40;
                }
                if ((party.abilityFlags & ABILITY_DASH_GUARD_30) && party.invincibility < -30) {
                    party.afterimageTimer = 30;
                    party.invincibility = 30;
                }
            } else {
                if (party.dashWindow > 0 && --party.dashWindow == 0) party.dashDirection = 0;
                if (pressedDirections) {
                    party.dashDirection = firstDirection(pressedDirections);
                    party.dashWindow = 15;
                }
            }
        } else {
            if ((party.abilityFlags & ABILITY_DASH_FOLLOWS_PAD) && heldDirections)
                party.dashDirection = firstDirection(heldDirections);
            bool released = !(held & party.dashDirection) || (held & oppositeDirection(party.dashDirection));
            bool timedOut = false;
            if (party.abilityFlags & ABILITY_DASH_FADE) {
                party.dashTicks++;
                if (party.dashTicks > 39) timedOut = true;
                if (party.dashTicks >= 5) party.leaderAlpha = party.leaderAlpha > 64 ? party.leaderAlpha - 64 : 0;
            }
            if (released || timedOut) {
                party.dashing = 0;
                if (released && (party.abilityFlags & ABILITY_DASH_GLIDE)) {
                    party.glideTimer = 20;
                    party.glideAngle = party.facing;
                }
            }
        }
    } else {
        party.dashing = 0;
    }

    bool grounded = onGround(party);
    if (heldDirections) {
        float a = 0.1f;
        if (slipperyGround(party) || party.glideTimer > 0) a = 0.02f;
        if (grounded && std::fabs(party.ground[0].normalY) < 0.5f) a = 0.001f;
        if (!grounded) a = 0.03f;
        party.velocity.x += std::sin(party.facing) * a;
        party.velocity.z += std::cos(party.facing) * a;
    }
    if (party.glideTimer > 0) {
        party.velocity.x += std::sin(party.glideAngle) * 0.03f;
        party.velocity.z += std::cos(party.glideAngle) * 0.03f;
    }

    int32_t surface = groundSurface(party);
    bool walkable = grounded && surface != 1 && surface != 2 && std::fabs(party.ground[0].normalY) >= 0.05f;
    setMotion(party.motions[0], heldDirections && walkable ? 1 : 0);

    if (grounded)
        party.airTicks = 0;
    else if (party.airTicks > 0)
        party.airTicks++;
}

void updatePlayerAction() {
    PartyState& party = gParty;
    int32_t held = party.input ? party.input->raw : 0;
    int32_t pressed = party.input ? party.input->pressed : 0;

    bool moving = std::fabs(party.velocity.x) >= 0.01f || std::fabs(party.velocity.z) >= 0.01f;
    if (moving || party.actionState != ACTION_FREE) {
        party.spRestTimer = 60;
    } else if (party.spRestTimer > 0 && --party.spRestTimer == 0) {
        float most = static_cast<float>(chosenMaxSp());
        if (party.sp > most) party.sp = most;
    }

    if (party.tapWindow > 0 && ++party.tapWindow > 60) party.tapWindow = 0;
    if (party.actionState != ACTION_FREE) {
        party.dashing = 0;
        party.dashWindow = 0;
        party.dashDirection = 0;
    }

    if (party.dashing) {
        float h = dashHeading(party.dashDirection);
        float dx = 1.4f * std::sin(h);
        float dz = 1.4f * std::cos(h);
        const Vector3& p = party.positions[0];
        float t;
        CollisionHit hit;
        if (castMapSegment(p.x, p.y + 0.7f, p.z, dx, 0.0f, dz, &t, &hit)) {
            playDamageVoice(0);
            playSoundEffect(SOUND_DASH_CRASH);
            party.stunTimer = 60;
            setMotion(party.motions[0], 2);
            party.velocity = Vector3{-0.1f * dx, 0.3f, -0.1f * dz};
            party.actionState = ACTION_STUNNED;
            startCameraShake(8, 4, 4, 0.5f);
        }
    } else if (party.abilityFlags & ABILITY_DASH_FADE) {
        party.leaderAlpha = party.leaderAlpha + 64 < 255 ? party.leaderAlpha + 64 : 255;
    }

    if (onShopStage() && gShopSequence == SHOP_SEQUENCE_MORNING && gFieldTicks < 200 &&
        !storyFlag(FLAG_STORY_VISIT)) {
        party.facing = party.positions[0].x > party.positions[2].x ? -PI / 2.0f : PI / 2.0f;
        setMotion(party.motions[0], 6);
        return;
    }

    switch (party.actionState) {
    case ACTION_FREE:
        steerPlayer(party);
        if (onDungeonFloor()) handleActionButtons(party);
        if ((pressed & PAD_DIRECTIONS) && party.idleTicks > 30) party.tapWindow = 1;
        if (held == 0)
            party.idleTicks++;
        else
            party.idleTicks = 0;
        break;
    case ACTION_STUNNED:
        party.hopTimer = 0;
        countDown(party.stunTimer);
        if (party.stunTimer < 1 && party.hp > 0.0f) {
            party.actionFrame = 0;
            party.actionState = ACTION_FREE;
        }
        break;
    case ACTION_ATTACK: runAttackRoutine(party); break;
    case ACTION_SECOND_ATTACK:
        if (party.models[0] == MODEL_ZUZI) runZuAttack2(party);
        break;
    case ACTION_SKILL_FIRST:
    case ACTION_SKILL_FIRST + 1:
    case ACTION_SKILL_FIRST + 2:
    case ACTION_SKILL_FIRST + 3:
    case ACTION_SKILL_FIRST + 4: {
        Routine r = skillRoutine(party.models[0], party.actionState - ACTION_SKILL_FIRST);
        if (r) r(party);
        break;
    }
    case ACTION_PICK_UP:
        party.actionFrame++;
        if (party.actionFrame == 6 && party.nearestPickup >= 0) pickUpNearest();
        if (party.actionFrame >= 12) {
            party.actionFrame = 0;
            party.actionState = ACTION_FREE;
        }
        break;
    case ACTION_ITEM_USE:
        setMotion(party.motions[0], 4);
        if (++party.actionFrame >= 26) {
            party.actionFrame = 0;
            party.actionState = ACTION_FREE;
        }
        break;
    case ACTION_FACING_FAIRY:
        party.actionFrame++;
        party.facing = party.positions[0].x > party.positions[2].x ? -PI / 2.0f : PI / 2.0f;
        break;
    case ACTION_HELD_POSE: setMotion(party.motions[0], 6); break;
    default: break;
    }

    if (slipperyGround(party)) {
        party.slideVelocityX += (party.velocity.x - party.slideVelocityX) * 0.4f;
        party.slideVelocityZ += (party.velocity.z - party.slideVelocityZ) * 0.4f;
        party.velocity.x = party.slideVelocityX;
        party.velocity.z = party.slideVelocityZ;
    }
}

void updateDungeonPlayer() {
    PartyState& party = gParty;
    InputRecord& input = gInputState[0];
    party.input = &input;
    if (gDungeonControl.inputBlocked == 0) {
        input.raw = 0;
        input.pressed = 0;
        input.repeat = 0;
        gDungeonControl.inputBlocked = 1;
    } else if (gDungeonControl.forcedInput != -1) {
        input.raw = static_cast<uint16_t>(gDungeonControl.forcedInput);
        input.pressed = 0;
        input.repeat = 0;
    }

    easeGauges();
    countDown(party.hitCooldown);
    if (party.hitCounter > 0) {
        party.hitCounter++;
        if (party.hitCounter > 60) {
            party.hitCounter = 0;
        } else if (party.hitCounter < 30) {
            if (party.promptFade < 10) party.promptFade++;
        } else if (party.promptFade > 0) {
            party.promptFade--;
        }
    }

    bool dungeon = onDungeonFloor();
    if (dungeon) runFloorEntrySteps(party);

    if (runWarp(party)) return;
    runDelayedHeals(party);

    tickPartyStatus(party);
    updatePlayerAction();
    collectGems();

    if (dungeon && !isBossFloor()) runTimeLimit(party);

    party.velocity.y -= 0.03f;
    if (party.velocity.y < -2.0f) party.velocity.y = -2.0f;

    float limit = playerSpeedLimit(party);
    float speed = std::sqrt(party.velocity.x * party.velocity.x + party.velocity.z * party.velocity.z);
    if (speed >= limit && speed > 0.0f) {
        party.velocity.x *= limit / speed;
        party.velocity.z *= limit / speed;
    }

    int32_t side = party.sideFacing;
    party.motions[0].direction = spriteDirectionFor(party.facing, gCamera.yaw, side);
    party.sideFacing = side;

    const Vector3& p = party.positions[0];
    if (party.darkSoulTimer > 0 && !gSEasyDisp) {
        if (party.tick % 3 == 0) spawnEffect(&party, p.x, p.y, p.z, 24, 0.8f, -1, 0.0f, 1);
        if (party.tick % 32 == 0) spawnEffect(&party, p.x, p.y, p.z, 22, 0.7f, -1, 0.0f, 1);
    }

    runHop(party);

    bool waterBefore = inWater(party);
    moveAndCollide();
    runWaterSplashes(party, waterBefore);
    applyFriction(party);

    if (party.actionState >= 53 && party.actionState <= 58) party.invincibility = 5;
    moveFollowers();
    spawnAmbientEffects();

    runFootsteps(party);

    party.pushFactor = 1.0f;
    party.fadeIn = party.fadeIn + 0.05f < 1.0f ? party.fadeIn + 0.05f : 1.0f;
    gCamera.yaw = turnToward(gCamera.yaw, party.cameraYawTarget, CAMERA_TURN_STEP);
    party.tick++;

    runTrailAndGhosts(party);
    if (dungeon) visitMapCells(party);
}

void updateDungeonParty() {
    PartyState& party = gParty;
    int32_t adventurer = chosenAdventurer();
    bool quiet = floorScriptStep() != 0 || isBossFloor() || storyFlag(154) || storyFlag(176);
    if (!quiet && startVoiceFrame() == 10) {
        if (randomInt() % 2 == 0) {
            playVoice(RUN_FAIRY_VOICE);
        } else {
            const VoiceSet& v = START_VOICES[adventurer];
            playVoice(v.paths[randomInt() % v.count]);
        }
    }
    if (!quiet && startVoiceFrame() == 100)
        playVoice(RUN_HEROINE_VOICES[randomInt() % 2 == 0 ? 0 : 1]);

    if (gDungeonControl.heroineCommentDelay > 0 && --gDungeonControl.heroineCommentDelay == 0 && party.hp > 0.0f) {
        if (party.hp <= static_cast<float>(chosenMaxHp()) * 0.2f)
            playVoice(LOW_HEALTH_VOICE);
        else
            playVoice(REMARK_VOICES[randomInt() % 2 == 0 ? 0 : 1]);
    }

    updateDungeonPlayer();
    showActorMessage();
}

void resetFloorControl() {
    gDungeonControl.inputBlocked = 0;
    gDungeonControl.warpTimer = 0;
    gDungeonControl.heroineCommentDelay = 0;
    gDungeonControl.heroineCommentCooldown = 0;
    resetTimeLimitState();
}

void resetDungeonControlState() {
    gDungeonControl.forcedInput = -1;
    resetFloorControl();
    gDungeonControl.hopPush = 0;
    gDungeonControl.hopLength = 0;
}

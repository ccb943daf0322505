// field/field_models.h: what moves on the field in the world drawing: the
// props carried by attack and effect objects, the enemies (skinned models
// and motion sprites) and the party's sprites with their afterimages. The
// world renderer calls the three entry points at fixed places of its pass
// order once per drawn frame. Main thread only.
#pragma once
#include <cstdint>

struct Enemy;

// The model pass: props, opaque skinned enemies, the party, the customers
// and the opaque sprite enemies.
void drawFieldModels();
// Among the translucent passes: ice, then the translucent sprite enemies by
// height.
void drawSpriteEnemies();
// After the water and light layers: the fairy's glow, the afterimages and
// the translucent skinned enemies, drawn additively.
void drawPlayerCharacters();
void drawSkinnedEnemy(Enemy& enemy);
// Lit additive props: light 0 and lighting on, blend ONE/ONE.
void setAdditiveLitStates();

// The alpha of an opaque sprite enemy by its sink height before the alpha
// factor: 255, fading below -70; -1 below -75 (not drawn). Pure.
int32_t sinkAlpha(float sinkHeight);
// The party's size while a floor starts: -1 (not drawn) while the intro
// timer is above 90, else growing from 0 at 90 to 1 at 60 and after. Pure.
float partyGrowFactor(int32_t introTimer);
// The colour of a party member's sprite (Part of the party's look): the
// light level, member 0's alpha and the tint of its status and glows. Pure.
struct PartyTint {
    float lightLevel;
    int32_t alpha;          // 0..255
    int32_t member;
    int32_t status[3];      // member 0: non-zero while each state holds
    int32_t glowA;          // member 0's two glow timers
    int32_t glowB;
    int32_t pulseCounter;
};
uint32_t partyMemberColor(const PartyTint& tint);
// Ring j of an arrow (attack kinds 155 and 156) at age t: its offset in the
// arrow's model space. Pure.
void arrowRingOffset(int32_t kind, int32_t age, int32_t j, float* x, float* y);

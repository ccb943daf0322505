#include "adventurers/party.h"

#include <cstdio>

#include "dungeon/dungeon.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "field/field_state.h"
#include "platform/window.h"
#include "shop/shop.h"

CharaRecord gCharaTable[CHARA_ROW_COUNT];
PartyState gParty;

int32_t gChosenAdventurer;
int32_t gSkillCounts[ADVENTURER_COUNT];
int32_t gSkillSlots[ADVENTURER_COUNT][SKILL_SLOTS];

void resetPartyState() {
    gParty = PartyState{};
    gChosenAdventurer = 0;
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a) {
        gSkillCounts[a] = 0;
        for (int32_t& slot : gSkillSlots[a]) slot = 0;
    }
}

void recomputeAdventurerTotals() {
    gParty.equipEffectValue = 0.0f;
    for (int32_t& w : gParty.equipEffectWords) w = 0;
    for (uint8_t& f : gParty.equipEffectFlags) f = 0;
    gParty.equipEffectCount = 5;
    if (gChosenAdventurer < 0 || gChosenAdventurer >= ADVENTURER_COUNT) return;
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer];
    int32_t totals[4] = {a.attack, a.defence, a.magic, a.magicDefence};
    for (int32_t key : a.equipment) getItemStats(key, totals);
    for (int32_t i = 0; i < 4; i++) gParty.totals[i] = totals[i];
}

int32_t getExpForLevel(int32_t n) {
    // A level read from a file may be anything; the product must not overflow.
    if (n <= 0) return 0;
    if (n > ADVENTURER_LEVEL_MAX + 1) n = ADVENTURER_LEVEL_MAX + 1;
    return n * (n + 1) * 150;
}

void repairAdventurerLevels(GameState& game) {
    for (AdventurerRecord& a : game.adventurers) {
        bool levelBad = a.level < 0 || a.level > ADVENTURER_LEVEL_MAX;
        if (a.level < 0) a.level = 0;
        if (a.level > ADVENTURER_LEVEL_MAX) a.level = ADVENTURER_LEVEL_MAX;
        if (!levelBad && a.levelStartExp >= 0 && a.nextLevelExp > a.levelStartExp) continue;
        a.levelStartExp = getExpForLevel(a.level);
        a.nextLevelExp = getExpForLevel(a.level + 1);
    }
}

namespace {

constexpr int32_t LEVEL_UP_EFFECT = 33;
constexpr int32_t ATTACH_TO_OWNER = 5;
constexpr int32_t LEVEL_GLOW_TICKS = 20;

void refillAndGlow(const AdventurerRecord& r) {
    gParty.hp = static_cast<float>(r.hpBase + r.hpBonus);
    gParty.sp = static_cast<float>(r.spBase + r.spBonus);
    const Vector3& p = gParty.positions[0];
    spawnEffect(&gParty, p.x, p.y + 0.5f, p.z, LEVEL_UP_EFFECT, 0.3f, -1, 0.0f, ATTACH_TO_OWNER);
    gParty.levelGlowTimer = LEVEL_GLOW_TICKS;
}

}  // namespace

void levelUp(AdventurerRecord& r) {
    if (r.level >= ADVENTURER_LEVEL_MAX) {
        r.experience = r.levelStartExp;
        refillAndGlow(r);
    } else {
        r.levelStartExp = r.nextLevelExp;
        r.level++;
        r.nextLevelExp = getExpForLevel(r.level + 1);
        gHud.levelUpTimer = 1;
        recomputeLevelStats(runningGameState());
        recomputeAdventurerTotals();
        playVoice(LEVEL_UP_VOICE);
        refreshSkillUnlocks();
        refillAndGlow(r);
    }
    refreshSkillUnlocks();
}

void showDebugMessage(const char* text, int32_t value) {
    char line[256];
    snprintf(line, sizeof line, "%s %d", text ? text : "", value);
    showMessageBox(line, "system", MESSAGE_BOX_OK);
}

// The difference, the level, 100 and the level-1 value enter as floats; the
// product, quotient and sum are doubles. Kept: stored stats depend on this
// rounding. Values beyond the int range (only from extreme table rows or
// levels) stop at its ends instead of being undefined.
int32_t statForLevel(int32_t e, int32_t h, int32_t level) {
    float difference = static_cast<float>(static_cast<int64_t>(h) - e);
    double value = static_cast<double>(difference) * static_cast<double>(static_cast<float>(level)) /
                       static_cast<double>(100.0f) +
                   static_cast<double>(static_cast<float>(e));
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void resetAdventurerStats(AdventurerRecord& a, const CharaRecord& c, int32_t level) {
    a.level = level;
    a.attack = c.attack;
    a.defence = c.defence;
    a.magic = c.magic;
    a.magicDefence = c.magicDefence;
    a.hpBase = static_cast<int16_t>(c.hp);
    a.spBase = static_cast<int16_t>(c.sp);
    a.experience = 0;
    a.levelStartExp = 0;
    a.nextLevelExp = LEVEL_ONE_NEXT_EXP;
}

void resetAdventurerRecords(GameState& game, bool startLevels) {
    for (int32_t j = 0; j < ADVENTURER_COUNT; ++j) {
        const CharaRecord& c = gCharaTable[j];
        resetAdventurerStats(game.adventurers[j], c, startLevels && j != 0 ? c.startLevel : 0);
    }
}

void recomputeLevelStats(GameState& game) {
    for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
        AdventurerRecord& a = game.adventurers[k];
        const CharaRecord& c = gCharaTable[k];
        a.attack = statForLevel(c.attack, c.attack100, a.level);
        a.defence = statForLevel(c.defence, c.defence100, a.level);
        a.magic = statForLevel(c.magic, c.magic100, a.level);
        a.magicDefence = statForLevel(c.magicDefence, c.magicDefence100, a.level);
        // HP and SP live in 16-bit fields.
        a.hpBase = static_cast<int16_t>(statForLevel(c.hp, c.hp100, a.level));
        a.spBase = static_cast<int16_t>(statForLevel(c.sp, c.sp100, a.level));
    }
}

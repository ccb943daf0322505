#include "adventurers/bag.h"

#include "adventurers/adventurers_files.h"
#include "adventurers/balloon.h"
#include "adventurers/party.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "field/field.h"
#include "shop/shop.h"

namespace {

constexpr int32_t ITEM_BROKEN = 2501;          // the remains a broken item leaves
constexpr int32_t ITEM_EMERGENCY_HEAL = 2505;
constexpr int32_t ITEM_TRAP_GUARD = 2508;
constexpr int32_t ITEM_REVIVE = 2510;
constexpr int32_t MEDICINE_FIRST = 4101;       // 4101..4107 raise the maximum HP
constexpr int32_t MEDICINE_LAST_HP = 4107;
constexpr int32_t MEDICINE_LAST = 4111;        // 4108..4111 start a buff
constexpr int32_t MEDICINE_BUFF_TICKS = 3600;
constexpr int32_t HP_BONUS_MAX = 200;
constexpr int32_t CONDITION_HEARTY = 13;       // food counts double
constexpr int32_t CONDITION_POOR_APPETITE = 14;   // food counts half
constexpr int32_t SOUND_ITEM_BROKEN = 331;
constexpr int32_t SOUND_INTO_BAG = 332;
constexpr int32_t SOUND_GEM = 351;
constexpr int32_t SOUND_ITEM_USED = 381;
constexpr int32_t PICKUP_COIN_FIRST = 4;      // pickup kinds 0..3 are gems

}  // namespace

int32_t gBag[BAG_SIZE];
int32_t gBagCapacity;
int32_t gBagAtDeparture[BAG_SIZE];
int32_t gBrokenItemTimer;
int32_t gBrokenItemKey = ITEM_KEY_NONE;

int32_t bagCapacityForLevel(int32_t merchantLevel) {
    if (merchantLevel >= 39) return 35;
    if (merchantLevel >= 23) return 30;
    if (merchantLevel >= 16) return 25;
    return 20;
}

int32_t addToBag(int32_t key, int32_t capacity) {
    int32_t n = capacity < BAG_SIZE ? capacity : BAG_SIZE;
    for (int32_t i = 0; i < n; ++i) {
        if (gBag[i] != ITEM_KEY_NONE) continue;
        gBag[i] = key;
        return 1;
    }
    return 0;
}

bool isBagFull() {
    int32_t n = gBagCapacity < BAG_SIZE ? gBagCapacity : BAG_SIZE;
    int32_t used = 0;
    for (int32_t i = 0; i < n; ++i) used += gBag[i] != ITEM_KEY_NONE;
    // Items rising out of a chest are already on their way into the bag.
    for (const Pickup& p : gPickups) used += p.kind >= 0 && p.state == PICKUP_RISING && !p.frozen;
    return used >= gBagCapacity;
}

void emptyBag() {
    for (int32_t& key : gBag) key = ITEM_KEY_NONE;
}

void resetBagState() {
    emptyBag();
    gBagCapacity = BAG_SIZE;
    for (int32_t& key : gBagAtDeparture) key = ITEM_KEY_NONE;
    gBrokenItemTimer = 0;
    gBrokenItemKey = ITEM_KEY_NONE;
}

bool isItemEquipped(int32_t itemId) {
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    for (int32_t key : a.equipment)
        if (key != ITEM_KEY_NONE && key >> ITEM_KEY_ID_SHIFT == itemId) return true;
    return false;
}

// The equipment slot of the chosen adventurer that holds the item; null when none does.
static int32_t* equippedSlot(int32_t itemId) {
    AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    for (int32_t& key : a.equipment)
        if (key != ITEM_KEY_NONE && key >> ITEM_KEY_ID_SHIFT == itemId) return &key;
    return nullptr;
}

static const Vector3& leader() { return gParty.positions[0]; }

int32_t tryItemEffect(int32_t itemId, int32_t breakDivisor, int32_t hitStop) {
    int32_t* slot = equippedSlot(itemId);
    if (!slot) return 0;
    int32_t r = breakDivisor > 0 ? randomInt() % breakDivisor : 0;
    spawnEffectSet(nullptr, leader().x, leader().y + 2.0f, leader().z, 9, 1.2f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
    playSoundEffect(SOUND_ITEM_USED);
    setBalloon(4, *slot, 2, fairyBalloonSide(), 90);
    gRun.hitStopTimer = hitStop;
    if (r == 0) {
        gBrokenItemTimer = 1;
        gBrokenItemKey = *slot;
        *slot = ITEM_BROKEN << ITEM_KEY_ID_SHIFT;
    }
    return 1;
}

int32_t tryItemEffect2508() { return tryItemEffect(ITEM_TRAP_GUARD, 4, 30); }

void announceBrokenItem() {
    if (gBrokenItemTimer <= 0) return;
    if (++gBrokenItemTimer < 30) return;
    gBrokenItemTimer = 0;
    spawnEffectSet(nullptr, leader().x, leader().y + 2.0f, leader().z, 10, 1.3f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
    playSoundEffect(SOUND_ITEM_BROKEN);
    setBalloon(5, gBrokenItemKey, 2, fairyBalloonSide(), 90);
    gRun.hitStopTimer = 30;
}

void playDamageVoice(int32_t fatal) {
    int32_t who = gChosenAdventurer & 7;
    const DamageVoiceSet& set = fatal && who == 6 ? DEDAR_FATAL_VOICES : DAMAGE_VOICES[who];
    playVoice(set.paths[randomInt() % set.count]);
}

static int32_t maxHp() {
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    return a.hpBase + a.hpBonus;
}

static int32_t maxSp() {
    const AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    return a.spBase + a.spBonus;
}

void applyDamageToPlayer(int32_t amount) {
    PartyState& party = gParty;
    party.hp -= static_cast<float>(amount);
    if (party.berserkTimer <= 0 && party.darkSoulTimer <= 0) playDamageVoice(party.hp <= 0.0f ? 1 : 0);
    int32_t most = maxHp();
    if (party.hp <= 0.0f && tryItemEffect(ITEM_REVIVE, 1, 30)) party.hp = static_cast<float>(most);
    if (party.hp > 0.0f && party.hp < static_cast<float>(most / 2) && tryItemEffect(ITEM_EMERGENCY_HEAL, 5, 30))
        party.hp += static_cast<float>(most / 2 < 100 ? most / 2 : 100);
    if (party.hp > 0.0f) {
        if (gDungeonControl.heroineCommentCooldown == 0) gDungeonControl.heroineCommentDelay = 30;
        gDungeonControl.heroineCommentCooldown = 120;
    }
    party.holdCharge = 0;
}

int32_t healHp(int32_t amount, int32_t popup) {
    PartyState& party = gParty;
    if (popup) spawnNumberPopup(leader().x, leader().y + 0.5f, leader().z, amount, 1);
    float old = party.hp;
    if (party.hp > 0.0f) party.hp += static_cast<float>(amount);
    float most = static_cast<float>(maxHp());
    if (party.hp > most) party.hp = most;
    return static_cast<int32_t>(party.hp) - static_cast<int32_t>(old);
}

int32_t healSp(int32_t amount, int32_t popup) {
    PartyState& party = gParty;
    if (popup) spawnNumberPopup(leader().x, leader().y + 0.5f, leader().z, amount, 6);
    float old = party.sp;
    party.sp += static_cast<float>(amount);
    float most = static_cast<float>(maxSp());
    if (party.sp > most) party.sp = most;
    return static_cast<int32_t>(party.sp) - static_cast<int32_t>(old);
}

int32_t getMaxHpGain(int32_t key) {
    static const int32_t GAINS[] = {2, 3, 4, 5, 6, 7, 9};
    int32_t id = itemKeyId(key);
    return id >= MEDICINE_FIRST && id <= MEDICINE_LAST_HP ? GAINS[id - MEDICINE_FIRST] : 0;
}

// A food's value raised by its plus level: v + max(1, p v / 5).
static int32_t foodValue(int32_t key, int32_t v) {
    int32_t p = itemKeyPlus(key);
    if (p <= 0 || v <= 0) return v;
    int32_t raise = p * v / 5;
    return v + (raise > 1 ? raise : 1);
}

static const ItemDefinition* definitionOf(int32_t key) {
    int32_t row = key < 0 ? -1 : findItemDef(itemKeyId(key));
    return row < 0 ? nullptr : &gItemDefinitions[row];
}

int32_t getFoodHp(int32_t key) {
    const ItemDefinition* def = definitionOf(key);
    return def ? foodValue(key, def->attack) : 0;
}

int32_t getFoodSp(int32_t key) {
    const ItemDefinition* def = definitionOf(key);
    return def ? foodValue(key, def->defence) : 0;
}

// The random extra of a food value and the floor's appetite conditions.
static int32_t eatenValue(int32_t v, int32_t lowSpan, int32_t midSpan, int32_t highSpan) {
    int32_t span = v <= 19 ? lowSpan : v >= 40 ? highSpan : midSpan;
    v += randomInt() % (span + 1);
    if (isFloorConditionActive(CONDITION_HEARTY)) v *= 2;
    if (isFloorConditionActive(CONDITION_POOR_APPETITE)) v /= 2;
    return v;
}

int32_t useFood(int32_t key, int32_t* hpGain, int32_t* spGain) {
    PartyState& party = gParty;
    int32_t d = getFoodHp(key);
    int32_t s = getFoodSp(key);
    *hpGain = *spGain = 0;
    if (d != 0) {
        d = eatenValue(d, 3, 7, 9);
        int32_t old = static_cast<int32_t>(party.hp);
        if (party.hp > 0.0f) party.hp += static_cast<float>(d);
        float most = static_cast<float>(maxHp());
        if (party.hp < 1.0f) party.hp = 1.0f;
        if (party.hp > most) party.hp = most;
        *hpGain = static_cast<int32_t>(party.hp) - old;
    }
    if (s != 0) {
        s = eatenValue(s, 1, 2, 3);
        int32_t old = static_cast<int32_t>(party.sp);
        party.sp += static_cast<float>(s);
        float most = static_cast<float>(maxSp());
        if (party.sp < 0.0f) party.sp = 0.0f;
        if (party.sp > most) party.sp = most;
        *spGain = static_cast<int32_t>(party.sp) - old;
    }
    return (d != 0 ? 1 : 0) | (s != 0 ? 2 : 0);
}

int32_t useMedicine(int32_t key) {
    int32_t id = itemKeyId(key);
    if (id > MEDICINE_LAST_HP) {
        if (id > MEDICINE_LAST) return 0;
        gParty.buffTimers[id - MEDICINE_LAST_HP - 1] = MEDICINE_BUFF_TICKS;
        return id == MEDICINE_LAST_HP + 1 ? 0 : 30;
    }
    static const int32_t LOW[] = {2, 3, 4, 5, 6, 7, 9}, HIGH[] = {3, 4, 5, 7, 8, 9, 12};
    int32_t gain = 10;
    if (id >= MEDICINE_FIRST) {
        int32_t i = id - MEDICINE_FIRST;
        gain = LOW[i] + randomInt() % (HIGH[i] - LOW[i] + 1);
    }
    AdventurerRecord& a = runningGameState().adventurers[gChosenAdventurer & 7];
    int32_t old = maxHp();
    int32_t bonus = a.hpBonus + gain;
    a.hpBonus = static_cast<int16_t>(bonus > HP_BONUS_MAX ? HP_BONUS_MAX : bonus);
    int32_t most = maxHp();
    if (gParty.hp > 0.0f) {
        gParty.hp += static_cast<float>(gain);
        if (gParty.hp > static_cast<float>(most)) gParty.hp = static_cast<float>(most);
    }
    return most - old;
}

void pickUpItem(int32_t kind, int32_t itemFlags, int32_t plus) {
    if (kind < PICKUP_ITEM_FIRST) return;
    int32_t key = (kind - PICKUP_ITEM_FIRST) << ITEM_KEY_ID_SHIFT | itemFlags << 4 | plus;
    runningGameState().dayScore += 1;
    playVoice(PICKUP_VOICES[randomInt() % 2]);
    startItemGetPopup(key);
    if (addToBag(key, gBagCapacity)) playSoundEffect(SOUND_INTO_BAG);
}

void pickUpNearest() {
    PartyState& party = gParty;
    int32_t i = party.nearestPickup;
    if (i < 0 || i >= PICKUP_POOL_SIZE || gPickups[i].kind < 0) return;
    Pickup& p = gPickups[i];
    if (p.kind < PICKUP_COIN_FIRST) {   // a gem
        for (int32_t q = PARTY_GEM_QUEUE - 1; q > 0; q--) party.gemQueue[q] = party.gemQueue[q - 1];
        party.gemQueue[0] = p.kind;
        playSoundEffect(SOUND_GEM);
        p.kind = -1;
        return;
    }
    if (isBagFull()) {
        setBalloon(1, 0, 2, fairyBalloonSide(), 90);
        return;
    }
    pickUpItem(p.kind, p.itemFlags, p.plus);
    p.kind = -1;
}

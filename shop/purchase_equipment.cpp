#include "shop/purchase_equipment.h"
#include "engine/story_flags.h"

#include "engine/save_file.h"
#include "shop/counter.h"
#include "shop/item_db.h"
#include "shop/negotiation.h"
#include "shop/storage.h"


struct ItemStats {
    int32_t values[ITEM_STAT_COUNT];
    int32_t total;
};

static ItemStats statsOf(int32_t itemKey) {
    ItemStats stats{};
    getItemStats(itemKey, stats.values);
    for (int32_t v : stats.values) stats.total += v;
    return stats;
}

static bool anyStatHigher(const ItemStats& candidate, const ItemStats& worn) {
    for (int32_t i = 0; i < ITEM_STAT_COUNT; i++) {
        if (candidate.values[i] > worn.values[i]) return true;
    }
    return false;
}

// Both items go into the same equipment slot (their subcategories share it).
static bool sharesEquipSlot(int32_t a, int32_t b) {
    int32_t rowA = findItemDef(itemKeyId(a));
    int32_t rowB = findItemDef(itemKeyId(b));
    if (rowA < 0 || rowB < 0) return false;
    return isDifferentEquipSlot(gItemDefinitions[rowA].subcategoryId, gItemDefinitions[rowB].subcategoryId) == 0;
}

static bool belowOneAndAHalf(int32_t total, int32_t other) {
    return total < static_cast<double>(1.5f) * other;
}

static bool isAdventurerType(int32_t type) { return type >= ADVENTURER_TYPE_FIRST && type <= ADVENTURER_TYPE_LAST; }

// The order item an adventurer will equip when one is picked, else the
// counter item.
static int32_t purchasedKey() { return gCounter.orderPick != ITEM_KEY_NONE ? gCounter.orderPick : gCounter.itemKey; }

void equipAdventurerPurchase() {
    int32_t type = gCounter.customerType;
    if (!isAdventurerType(type)) return;
    int32_t adventurer = type - ADVENTURER_TYPE_FIRST;
    AdventurerRecord& record = runningGameState().adventurers[adventurer];
    int32_t key = purchasedKey();
    ItemStats bought = statsOf(key);
    // The first slot whose item it beats; failing that, the slot the
    // comparison panel showed.
    int32_t taker = -1;
    for (int32_t slot = 0; slot < EQUIPMENT_SLOTS; slot++) {
        int32_t worn = record.equipment[slot];
        if (worn != ITEM_KEY_NONE && canEquip(adventurer, slot, key) && sharesEquipSlot(key, worn)) {
            ItemStats saved = statsOf(record.savedEquipment[slot]);
            if (anyStatHigher(bought, saved) && belowOneAndAHalf(saved.total, bought.total)) {
                taker = slot;
                break;
            }
        }
        if (gCounter.adventurerTargetSlot != -1) {
            taker = gCounter.adventurerTargetSlot;
            break;
        }
    }
    if (taker < 0 || taker >= EQUIPMENT_SLOTS) return;
    record.equipment[taker] = record.savedEquipment[taker] = key | ITEM_KEY_POSSESSED;
}

void findAdventurerTargetSlot() {
    gCounter.adventurerTargetSlot = -1;
    int32_t type = gCounter.customerType;
    if (!isAdventurerType(type)) return;
    int32_t adventurer = type - ADVENTURER_TYPE_FIRST;
    const GameState& game = runningGameState();
    const AdventurerRecord& record = game.adventurers[adventurer];
    int32_t key = purchasedKey();
    ItemStats candidate = statsOf(key);
    int32_t best = -1;
    int32_t bestTotal = 0;
    bool comparable = false;
    for (int32_t slot = 0; slot < EQUIPMENT_SLOTS; slot++) {
        int32_t worn = record.equipment[slot];
        if (worn == ITEM_KEY_NONE) continue;
        if (itemKeyId(worn) == itemKeyId(key)) {
            comparable = true;
            if (itemKeyPlus(worn) >= itemKeyPlus(key)) continue;
        }
        if (!canEquip(adventurer, slot, key) || !sharesEquipSlot(key, worn)) continue;
        comparable = true;
        if (anyStatHigher(candidate, statsOf(worn)) && candidate.total > bestTotal) {
            best = slot;
            bestTotal = candidate.total;
        }
    }
    if (!comparable) {
        // Nothing like it is worn: the free slot it fills best.
        for (int32_t slot = 0; slot < EQUIPMENT_SLOTS; slot++) {
            if (getInitialEquipment(adventurer, slot) != -1 || !canEquip(adventurer, slot, key)) continue;
            int32_t total = candidate.total;
            int32_t worn = record.equipment[slot];
            if (worn != ITEM_KEY_NONE) {
                if (sharesEquipSlot(key, worn)) {
                    best = slot;
                    break;
                }
                total -= statsOf(worn).total;
            }
            if (total > bestTotal) {
                best = slot;
                bestTotal = total;
            }
        }
    }
    bool known = storyFlag(game, FLAG_ADVENTURER_AVAILABLE + adventurer) ||
                 storyFlag(game, FLAG_ADVENTURER_CARD + adventurer) ||
                 type == ADVENTURER_TYPE_FIRST || (game.trueCards[adventurer] != 0 && game.playMode != PLAY_MODE_SURVIVAL);
    if (known && best >= 0 && belowOneAndAHalf(statsOf(record.equipment[best]).total, bestTotal))
        gCounter.adventurerTargetSlot = best;
}
